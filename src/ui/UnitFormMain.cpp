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

// The settings file sits beside the program; an installed program's folder is not ours to
// write, so the same name then lives in the user's configuration folder.
QString SettingsFolder(const QString& programFolder)
{
    if (QFileInfo(programFolder).isWritable())
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
    // services, which may still be opening on their own thread (StartMidiService), and nothing
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
        ShowBox(NoOutputDeviceMessage);
        FEndRequested = true;
        return;
    }
    BuildOutDeviceMenu(settings.OutDeviceName);

    // Without an open port only the menu bar is usable.
    if (!MidiOutput->DeviceHandle()) {
        ShowBox(ChoosePortMessage);
        ui->PageMain->hide();
    }

    // Channel; this paints every parameter as possibly stale.
    RestoreChannel(settings.Channel);

    // Input device.
    RestoreInputDevice(settings.InDeviceName);
}

void TFormMain::BuildOutDeviceMenu(const QString& savedName)
{
    const unsigned count = MidiOutput->DeviceCount();
    for (unsigned k = 0; k <= count; ++k) {
        const int device = int(k) - 1;
        QString caption;
        try {
            MidiOutput->SetDeviceID(device);
            caption = QString::fromStdString(MidiOutput->ProductName());
        } catch (const EmidioutputError& error) {
            // The device could not even be described; it keeps its place in the list.
            caption = QStringLiteral("(%1)").arg(QString::fromUtf8(error.what()));
        }
        QAction* item = ui->MenuOutDevice->addAction(EscapeMnemonic(caption));
        item->setCheckable(true);
        item->setData(caption);
        OutDeviceItems.append(item);
        connect(item, &QAction::triggered, this, [this, item] {
            RunReported([&] { MenuOutDeviceItemClick(item); });
        });
    }
    for (int position = 0; position < OutDeviceItems.size(); ++position) {
        QAction* item = OutDeviceItems[position];
        if (item->data().toString() != savedName)
            continue;
        RunReported([&] {
            MidiOutput->SetDeviceID(position - 1);
            MidiOutput->Open();
        });
        item->setChecked(true);
        break;
    }
}

void TFormMain::MenuOutDeviceItemClick(QAction* item)
{
    const int position = int(OutDeviceItems.indexOf(item));
    // A click toggles the check mark before we see it; the item's own state is ours to set.
    const bool wasChecked = !item->isChecked();
    if (wasChecked) {
        item->setChecked(true);
        return;
    }
    item->setChecked(false);
    TWaitCursor wait;
    const int current = MidiOutput->DeviceID() + 1;
    if (current >= 0 && current < OutDeviceItems.size())
        OutDeviceItems[current]->setChecked(false);
    MidiOutput->Close();
    MidiOutput->SetDeviceID(position - 1);
    MidiOutput->Open();
    if (MidiOutput->DeviceHandle()) {
        item->setChecked(true);
        MarkParametersStale();
        ui->PageMain->show();
    } else {
        ShowBox(PortFailedMessage);
    }
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
    AssignPanelHints();
    const QString keyHint = QStringLiteral(
        "マウスを押すとノート・オン，離すとノート・オフを送ります。\r\n"
        "表示が乱れた場合は「音を消す」ボタンを押してください。\r\n"
        "パソコンのキーボードでも音を鳴らすことができます。キーA＝ノートC4です");
    for (auto* key : KeyShapes)
        if (key)
            key->setToolTip(keyHint);
    ui->ComboDrumList->setToolTip("表示する音の名前セットを選択します。データはnote.iniから読み込んでいます");
    ui->ButtonDrumFontSet->setToolTip("一覧表示のフォントと色を指定します");
    ui->ComboMidiInDevice->setToolTip("MIDI入力をモニターするポートを指定します。\r\n「MIDI入力なし」を選ぶと入力モニターを停止します。");
    ui->MemoMidiIn->setToolTip("MIDI入力ポートから入ってきたデータを16進数で表示します。\r\nこの欄のデータを変更することはできません");
    ui->ButtonInClear->setToolTip("MIDI入力の内容を消去します");
    ui->ButtonInSaveBinary->setToolTip("MIDI入力の内容をバイナリ・ファイルに保存します");
    ui->ButtonInSaveText->setToolTip("MIDI入力の内容をテキスト・ファイルに保存します");
    ui->LabelMidiOut->setToolTip("MIDI出力時には色が変わります");
    ui->MemoMidiOut->setToolTip("MIDI出力ポートへ出力したいデータを16進数で入力します。\r\n"
                                "他の画面で出力したデータはここには表示されません。\r\n"
                                "半角入力で大文字小文字可，空白や改行は影響しません");
    ui->ButtonSend->setToolTip("MIDI出力欄の内容をMIDI出力ポートに送信します");
    ui->ButtonOutClear->setToolTip("MIDI出力の内容を消去します");
    ui->ButtonOutSaveBinary->setToolTip("MIDI出力の内容をバイナリ・ファイルに保存します");
    ui->ButtonOutSaveText->setToolTip("MIDI出力の内容をテキスト・ファイルに保存します");
    ui->ButtonOutLoadBinary->setToolTip("MIDI出力の内容を消去して，バイナリ・ファイルの内容を読み込みます");
    ui->ButtonOutLoadText->setToolTip("MIDI出力の内容を消去して，テキスト・ファイルの内容を読み込みます");
    ui->SpinEditInterval->setToolTip("複数のデータを送る場合の間隔をミリ秒単位で指定します");
    ui->SpinEditPacketSize->setToolTip("ここに指定された数値より大きなデータを送る場合に，分割して送信します");
    ui->ButtonBinaryFontSet->setToolTip("MIDI入力，MIDI出力の表示フォントを指定します");
}
