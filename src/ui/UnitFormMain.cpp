#include "UnitFormMain.h"

#include "Dialogs.h"
#include "IniFile.h"
#include "KeyRepeat.h"
#include "SpinEdit.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Key preview: sees every key event of the application before its receiver does, and hands
// those of the main window to it. Kept apart from the window's own event filter, which
// watches single controls.
class TKeyPreview final : public QObject {
public:
    explicit TKeyPreview(std::function<bool(QObject*, QEvent*)> handler) : Handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            return Handler(watched, event);
        return false;
    }

private:
    std::function<bool(QObject*, QEvent*)> Handler;
};

// Each output-port item knows its device number; a port in use that has gone has none.
const char* const DeviceProperty = "device";
constexpr int VanishedDevice = -2;

const char* const VersionLine1 = "Kelvane（ケルヴェイン）";
// The number is the project's version in CMakeLists.txt.
const char* const VersionLine2 = "Ver." KELVANE_VERSION "（2000/03/04）";
const char* const VersionCredits = "Qt 6, RtMidi, JACK, ALSA and FluidSynth inside.";

// Restores the normal cursor however the handler ends.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString EscapeMnemonic(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

// The settings file sits beside a program run from its build folder. An installed program (its
// name lists in ../share/kelvane rather than beside it) keeps it in the user's configuration
// folder, even when its own folder could be written (by root, say), as does a program whose
// folder is not ours to write.
QString SettingsFolder(const QString& programFolder)
{
    const QDir program(programFolder);
    const bool installed = !QFileInfo::exists(program.filePath(QStringLiteral("note.ini")))
                           && QFileInfo::exists(program.filePath(QStringLiteral("../share/kelvane/note.ini")));
    if (!installed && QFileInfo(programFolder).isWritable())
        return programFolder;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + "/.config";
    const QString folder = config + "/kelvane/";
    QDir().mkpath(folder);
    return folder;
}

} // namespace

TFormMain::TFormMain(const QStringList& arguments, const QString& programPath, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TFormMain>())
{
    ui->setupUi(this);
    // The face the layout was drawn for; Qt falls back to an installed Japanese font.
    QFont face(QStringLiteral("ＭＳ Ｐゴシック"));
    face.setPixelSize(12);
    setFont(face);
    FormCreate(arguments, programPath);
}

TFormMain::~TFormMain()
{
    qApp->removeEventFilter(KeyPreview);
}

void TFormMain::AttachDialogs(TFormProgramList* programList, TFormDrumColor* drumColor)
{
    FormProgramList = programList;
    FormDrumColor = drumColor;
}

bool TFormMain::HintsShown() const
{
    return ui->MenuFileHint->isChecked();
}

void TFormMain::ShowBox(const QString& text)
{
    ShowMessage(this, text);
}

void TFormMain::FormCreate(const QStringList& arguments, const QString& programPath)
{
    // Key preview: the window sees every key before the focused control.
    KeyPreview = new TKeyPreview([this](QObject* watched, QEvent* event) { return PreviewKey(watched, event); });
    KeyPreview->setParent(this);
    qApp->installEventFilter(KeyPreview);
    UseDetectableAutoRepeat();
    InstallHintFilter();
    InstallAccessibleButtons();
    TimerMidiOut = new QTimer(this);
    TimerMidiOut->setTimerType(Qt::PreciseTimer);
    TimerMidiOut->setInterval(100);

    // The page control fills the window (its layout); the controller state comes first.
    ControlChange = std::make_unique<TControlChange>(*static_cast<TControlChangeHost*>(this));
    PacketQueue.clear();

    // Settings file and caption.
    const QFileInfo program(programPath);
    FProgramFolder = QDir::toNativeSeparators(program.absolutePath());
    if (!FProgramFolder.endsWith(QDir::separator()))
        FProgramFolder += QDir::separator();
    const QString folder = SettingsFolder(FProgramFolder);
    if (!arguments.isEmpty()) {
        const QString name = arguments.first();
        setWindowTitle("Kelvane - " + name);
        const QFileInfo named(name);
        const QString suffix = named.suffix();
        FApplicationTitle = suffix.isEmpty() ? named.fileName() : named.fileName().chopped(suffix.size() + 1);
        // A bare name goes into the program's folder; a path the user gave stands as it is.
        FSettingsPath = QDir::isAbsolutePath(name) ? name : folder + name;
    } else {
        const QString suffix = program.suffix();
        const QString base = suffix.isEmpty() ? program.fileName() : program.fileName().chopped(suffix.size() + 1);
        FSettingsPath = folder + base + ".ini";
    }
    QApplication::setApplicationDisplayName(FApplicationTitle);

    // The keyboard.
    CreateKeyboard();

    // The settings file, read once.
    const TIniFile file = TIniFile::Load(FSettingsPath);
    const TMainSettings settings = ReadSettings(file);

    // Drum page: list, font, colours, custom colours, pads, names.
    SetUpDrums(settings);

    // The main page first.
    ui->PageMain->setCurrentIndex(0);
    connect(ui->PageMain, &QTabWidget::currentChanged, this, [this] { PageMainChange(); });
    connect(ui->MenuFileHint, &QAction::triggered, this, [this] { MenuFileHintClick(); });
    connect(ui->MenuFileVersion, &QAction::triggered, this, [this] { MenuFileVersionClick(); });
    connect(ui->MenuFileExit, &QAction::triggered, this, [this] { MenuFileExitClick(); });
    ui->PanelDrum->installEventFilter(this);
    ui->PanelBinary->installEventFilter(this);

    // Hint display.
    ui->MenuFileHint->setChecked(settings.ShowHint);
    SetHintsShown(settings.ShowHint);

    // Input device list. The ports are made only now: making them waits for the MIDI
    // services, which may still be opening on their own thread (StartDeviceList), and nothing
    // before this step uses them.
    MidiOutput = new TMidiOutput(this);
    MidiInput = new TMidiInput(this);
    FillInputDeviceList();

    // Binary page: font, interval, packet size, folders.
    SetUpBinary(settings);

    // Window position and size.
    setGeometry(settings.Left, settings.Top, settings.Width, settings.Height);
    move(settings.Left, settings.Top);
    resize(settings.Width, settings.Height);

    // Controller panel values; the output port is still closed, so nothing is sent.
    SetUpPanel();
    RestorePanel(settings);

    // Hints.
    AssignHints();

    // Output port.
    if (MidiOutput->DeviceCount() == 0) {
        ShowBox(tr(NoOutputDeviceMessage));
        FEndRequested = true;
        return;
    }
    BuildOutDeviceMenu(settings.OutDeviceName);

    // Without an open port only the menu bar is usable.
    if (!MidiOutput->DeviceHandle()) {
        ShowBox(tr(ChoosePortMessage));
        ui->PageMain->hide();
    }

    // Channel; this paints every parameter as possibly stale.
    RestoreChannel(settings.Channel);

    // Input device.
    RestoreInputDevice(settings.InDeviceName);
}

void TFormMain::BuildOutDeviceMenu(const QString& savedName)
{
    FillOutDeviceMenu(QString());
    for (QAction* item : std::as_const(OutDeviceItems)) {
        if (item->data().toString() != savedName)
            continue;
        RunReported([&] {
            MidiOutput->SetDeviceID(item->property(DeviceProperty).toInt());
            MidiOutput->Open();
        });
        item->setChecked(true);
        break;
    }
    // Read afresh at each opening: a device plugged in (or a JACK client started) since then
    // can be chosen without a restart.
    connect(ui->MenuOutDevice, &QMenu::aboutToShow, this, [this] { RunReported([&] { RefreshOutDeviceMenu(); }); });
}

void TFormMain::RefreshOutDeviceMenu()
{
    QString inUse;
    for (QAction* item : std::as_const(OutDeviceItems))
        if (item->isChecked())
            inUse = item->data().toString();
    FillOutDeviceMenu(inUse);
}

void TFormMain::FillOutDeviceMenu(const QString& inUse)
{
    for (QAction* item : std::as_const(OutDeviceItems))
        delete item;
    OutDeviceItems.clear();
    const std::vector<std::string> names = MidiOutput->ReadDeviceNames();
    bool inUseListed = false;
    auto add = [&](const QString& caption, int device) {
        QAction* item = ui->MenuOutDevice->addAction(EscapeMnemonic(caption));
        item->setCheckable(true);
        item->setData(caption);
        item->setProperty(DeviceProperty, device);
        OutDeviceItems.append(item);
        connect(item, &QAction::triggered, this, [this, item] {
            RunReported([&] { MenuOutDeviceItemClick(item); });
        });
        if (!inUse.isEmpty() && caption == inUse && !inUseListed) {
            item->setChecked(true);
            inUseListed = true;
        }
    };
    for (size_t k = 0; k < names.size(); ++k)
        add(QString::fromStdString(names[k]), int(k) - 1);
    // The port in use has gone: it stays checked, at the end, until another is chosen; its
    // next send reports the failure.
    if (!inUse.isEmpty() && !inUseListed)
        add(inUse, VanishedDevice);
}

void TFormMain::MenuOutDeviceItemClick(QAction* item)
{
    // A click toggles the check mark before we see it; the item's own state is ours to set.
    const bool wasChecked = !item->isChecked();
    if (wasChecked) {
        item->setChecked(true);
        return;
    }
    item->setChecked(false);
    TWaitCursor wait;
    for (QAction* other : std::as_const(OutDeviceItems))
        other->setChecked(false);
    MidiOutput->Close();
    // The list may have changed since the menu was read: the number must still name this port.
    const QString name = item->data().toString();
    const int device = item->property(DeviceProperty).toInt();
    bool there = false;
    if (device != VanishedDevice) {
        try {
            MidiOutput->SetDeviceID(device);
            there = QString::fromStdString(MidiOutput->ProductName()) == name;
        } catch (const EMidiOutputError&) {
            // Gone since the menu was read; said below like any port that has gone.
        }
    }
    if (there)
        MidiOutput->Open();
    if (MidiOutput->DeviceHandle()) {
        item->setChecked(true);
        MarkParametersStale();
        ui->PageMain->show();
    } else {
        ShowBox(OutputFailureText(name, there ? MidiOutput->LastFailure().Kind() : TMidiFailure::PortGone));
    }
}

QString TFormMain::OutputFailureText(const QString& portName, TMidiFailure failure) const
{
    // The service's own text is English; the reason is said here, in the interface's language.
    QString reason;
    switch (failure) {
    case TMidiFailure::NoAudioOutput:
        reason = tr("音声出力を開けませんでした。別の出力は環境変数 KELVANE_AUDIO_DRIVER で選べます（例：jack、pulseaudio、alsa）");
        break;
    case TMidiFailure::PortBusy:
        reason = tr("%1 は他のプログラムが使用中です").arg(portName);
        break;
    case TMidiFailure::PortGone:
        reason = tr("%1 はもうありません").arg(portName);
        break;
    case TMidiFailure::NoServer:
        reason = tr("MIDIのサービス（JACKサーバーなど）が動いていません");
        break;
    case TMidiFailure::Other:
        break;
    }
    const QString text = tr(PortFailedMessage);
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

void TFormMain::MenuFileHintClick()
{
    // The action has toggled its own check mark already.
    SetHintsShown(ui->MenuFileHint->isChecked());
}

void TFormMain::MenuFileVersionClick()
{
    ShowBox(QString::fromUtf8(VersionLine1) + "\n" + QString::fromUtf8(VersionLine2) + "\n\n" + VersionCredits);
}

void TFormMain::MenuFileExitClick()
{
    close();
}

void TFormMain::PageMainChange()
{
    // The other pages take no computer keys: a key held now would never get its note-off.
    if (ui->PageMain->currentIndex() != 0)
        RunReported([&] { ReleaseComputerKeys(); });
    FormResize();
}

bool TFormMain::event(QEvent* event)
{
    // Without the focus the window sees no key releases (they go to the window or dialog that
    // has it), so a held computer key ends its note here.
    if (event->type() == QEvent::WindowDeactivate)
        RunReported([&] { ReleaseComputerKeys(); });
    return QMainWindow::event(event);
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFormMain::FormResize()
{
    switch (ui->PageMain->currentIndex()) {
    case 1:
        LayOutDrumPads();
        break;
    case 2:
        LayOutBinaryPage();
        break;
    default:
        break;
    }
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TFormMain::FormClose()
{
    RunReported([&] {
        if (MidiInput->DeviceHandle())
            MidiInput->Close();
    });
    RunReported([&] {
        if (MidiOutput->DeviceHandle())
            MidiOutput->Close();
    });
    RunReported([&] { WriteSettings(); });
}

bool TFormMain::PreviewKey(QObject* watched, QEvent* event)
{
    // Act once per key event, when it reaches its first receiver in this window (Qt passes an
    // ignored key event on to the parents).
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    QWidget* focus = QApplication::focusWidget();
    if (focus ? watched != focus : watched != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    RunReported([&] {
        if (event->type() == QEvent::KeyPress)
            FormKeyDown(key);
        else
            FormKeyUp(key);
    });
    return false;  // the key also reaches the focused control
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == ui->PanelDrum || watched == ui->PanelBinary)
            FormResize();
        return false;
    }
    bool handled = false;
    RunReported([&] { handled = TestNoteEvent(watched, event) || PanelEvent(watched, event); });
    return handled;
}

void TFormMain::AssignHints()
{
    // The fixed hints are in the form; the keys are made here, and so is their hint.
    const QString keyHint = tr("マウスを押すとノート・オン，離すとノート・オフを送ります。\n"
                               "表示が乱れた場合は「音を消す」ボタンを押してください。\n"
                               "パソコンのキーボードでも音を鳴らすことができます。キーA＝ノートC4です");
    for (auto* key : KeyShapes)
        if (key)
            key->setToolTip(keyHint);
}
