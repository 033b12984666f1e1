#include "MainWindow.h"

#include "BinaryPage.h"
#include "ControllerPage.h"
#include "Dialogs.h"
#include "DrumPage.h"
#include "KeyRepeat.h"
#include "Monitor.h"
#include "Keyboard.h"
#include "Language.h"
#include "MidiMonitorWindow.h"
#include "OutputPortMenu.h"
#include "PortStatus.h"
#include "ProgramListDialog.h"
#include "RawSender.h"
#include "Session.h"
#include "Widgets.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QRegularExpression>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QTabBar>

#include <functional>

namespace {

// Key preview: sees every key event of the application before its receiver does, and hands
// those of the main window to it. Kept apart from the pages' event filters, which watch single
// controls.
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

// The pages' captions end in an ideographic space (U+3000).
const char* const ControllerPageCaption = QT_TRANSLATE_NOOP("TMainWindow", "メイン(&Z)　");
const char* const DrumPageCaption = QT_TRANSLATE_NOOP("TMainWindow", "ドラム(&X)　");
const char* const BinaryPageCaption = QT_TRANSLATE_NOOP("TMainWindow", "バイナリ(&C)　");
enum TPageIndex { ControllerPageIndex, DrumPageIndex, BinaryPageIndex };

const char* const VersionLine1 = QT_TRANSLATE_NOOP("TMainWindow", "Kelvane（ケルヴェイン）");
// %1: the project's version in CMakeLists.txt.
const char* const VersionLine2 = QT_TRANSLATE_NOOP("TMainWindow", "Ver.%1（2000/03/04）");
const char* const VersionCredits = "Qt 6, JACK, ALSA and FluidSynth inside.";

} // namespace

TMainWindow::TMainWindow(const QStringList& arguments, const QString& programPath, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMainWindow>()),
      FSession(std::make_unique<TSession>(arguments, programPath))
{
    ui->setupUi(this);
    // The face the layout was drawn for; Qt falls back to an installed Japanese font.
    QFont face(QStringLiteral("ＭＳ Ｐゴシック"));
    face.setPixelSize(12);
    setFont(face);
    FormCreate(arguments);
}

TMainWindow::~TMainWindow()
{
    qApp->removeEventFilter(KeyPreview);
    // The pages go first: they use the session's ports and state to the end.
    ui->PageMain->disconnect(this);
    delete ui->CentralWidget;
    FControllerPage = nullptr;
    FDrumPage = nullptr;
    FBinaryPage = nullptr;
    delete FMonitorWindow;  // it reads the session's record
    FMonitorWindow = nullptr;
}

void TMainWindow::AttachDialogs(TProgramListDialog* programList, QDialog* drumColor)
{
    FControllerPage->AttachProgramList(programList);
    // The monitor names a program change from the list the dialog shows, whatever bank came
    // before it, and follows the list when another is chosen there.
    const auto followList = [this, programList] {
        const QStringList names = programList->ProgramNames();
        FMonitorWindow->SetProgramNames([names](int, int, int program) { return names.value(program); });
    };
    followList();
    connect(programList, &TProgramListDialog::ProgramNamesChanged, this, followList);
    FDrumPage->AttachDrumColor(drumColor);
}

void TMainWindow::FormCreate(const QStringList& arguments)
{
    // Key preview: the window sees every key before the focused control.
    KeyPreview = new TKeyPreview([this](QObject* watched, QEvent* event) { return PreviewKey(watched, event); });
    KeyPreview->setParent(this);
    qApp->installEventFilter(KeyPreview);
    UseDetectableAutoRepeat();
    InstallHintFilter();
    InstallAccessibleButtons();

    // Caption; the session has placed the settings file.
    if (!arguments.isEmpty())
        setWindowTitle("Kelvane - " + arguments.first());
    QApplication::setApplicationDisplayName(FSession->ApplicationTitle());

    // The pages, in the window's font; the main page makes its keyboard.
    FControllerPage = new TControllerPage(*FSession, ui->PageMain);
    ui->PageMain->addTab(FControllerPage, tr(ControllerPageCaption));
    FDrumPage = new TDrumPage(*FSession, ui->PageMain);
    ui->PageMain->addTab(FDrumPage, tr(DrumPageCaption));
    FBinaryPage = new TBinaryPage(*FSession, ui->PageMain);
    ui->PageMain->addTab(FBinaryPage, tr(BinaryPageCaption));
    KeepPageAccessKeys();

    // The settings file, read once.
    const TMainSettings settings = FSession->ReadSettings();

    // Drum page: list, font, colours, custom colours, names.
    FDrumPage->Restore(settings);

    // The main page first.
    ui->PageMain->setCurrentIndex(ControllerPageIndex);
    connect(ui->PageMain, &QTabWidget::currentChanged, this, [this] { PageMainChange(); });
    connect(ui->MenuFileHint, &QAction::triggered, this, [this] { MenuFileHintClick(); });
    connect(ui->MenuFileVersion, &QAction::triggered, this, [this] { MenuFileVersionClick(); });
    connect(ui->MenuFileExit, &QAction::triggered, this, [this] { MenuFileExitClick(); });
    connect(ui->MenuFileMonitor, &QAction::triggered, this, [this] { MenuFileMonitorClick(); });

    // Hint display.
    ui->MenuFileHint->setChecked(settings.ShowHint);
    SetHintsShown(settings.ShowHint);

    // Input device list. The ports are made only now: making them waits for the MIDI
    // services, which may still be opening on their own thread (StartDeviceList), and nothing
    // before this step uses them.
    FSession->MakePorts();
    Status = new TPortStatus(*FSession, *statusBar(), this);
    Status->OnOutputGone = [this] {
        FControllerPage->Keyboard().DropNotes();
        if (PortMenu)
            PortMenu->Refresh();  // the port in use marked as not there
    };
    Status->OnOutputReturned = [this] {
        if (PortMenu)
            PortMenu->Refresh();
        // As for a port chosen from the menu: the synthesizer may hold other values.
        FControllerPage->MarkParametersStale();
        ui->PageMain->show();
    };
    Status->OnInputChanged = [this](bool absent) { FBinaryPage->Monitor().MarkDeviceInUse(absent); };
    FBinaryPage->Monitor().OnInputRestarted = [this] { Status->Refresh(); };
    FBinaryPage->ListInputDevices();

    // Binary page: font, interval, packet size, folders.
    FBinaryPage->Restore(settings);

    // The monitor window, hidden until asked for; its table follows the record from the start.
    FMonitorWindow = new TMidiMonitorWindow(*FSession, this);
    FMonitorWindow->Restore(settings.Monitor);

    // Window position and size.
    setGeometry(settings.Left, settings.Top, settings.Width, settings.Height);
    move(settings.Left, settings.Top);
    resize(settings.Width, settings.Height);

    // Controller panel values; the output port is still closed, so nothing is sent.
    FControllerPage->Restore(settings);
    FMonitorWindow->SetProgramNumberBase(FControllerPage->ProgramRangeOffset());
    // The monitor counts programs as the panel does.
    for (auto* range : FControllerPage->findChildren<QAbstractButton*>(QRegularExpression(QStringLiteral("^RadioProgramRange\\d$"))))
        connect(range, &QAbstractButton::toggled, this,
                [this] { FMonitorWindow->SetProgramNumberBase(FControllerPage->ProgramRangeOffset()); });

    // Output port.
    if (FSession->Output().DeviceCount() == 0) {
        ShowMessage(this, tr(NoOutputDeviceMessage));
        FEndRequested = true;
        return;
    }
    PortMenu = new TOutputPortMenu(*ui->MenuOutDevice, FSession->Output(), *this);
    // The synthesizer behind a new port may hold other values than the panel shows.
    PortMenu->OnPortOpened = [this] {
        FControllerPage->MarkParametersStale();
        ui->PageMain->show();
    };
    PortMenu->OnPortChosen = [this] { Status->Refresh(); };
    PortMenu->Build(settings.HasOutDeviceName ? settings.OutDeviceName : QString());
    Status->Refresh();

    // Without an open port only the menu bar is usable.
    if (!FSession->OutputOpen()) {
        ShowMessage(this, tr(ChoosePortMessage));
        ui->PageMain->hide();
    }

    // Channel; this paints every parameter as possibly stale.
    FControllerPage->RestoreChannel(settings.Channel);

    // Input device.
    FBinaryPage->RestoreInputDevice(settings.InDeviceName);
}

void TMainWindow::KeepPageAccessKeys()
{
    // English writes an access key inside the word; a page caption without the Japanese key's
    // letter ("Main" has no Z) keeps that key through a shortcut of its own, active while the
    // pages are, and says it in its hint.
    const char* const captions[] = {ControllerPageCaption, DrumPageCaption, BinaryPageCaption};
    for (int index = 0; index < int(std::size(captions)); ++index) {
        if (!QKeySequence::mnemonic(ui->PageMain->tabText(index)).isEmpty())
            continue;
        const QKeySequence key = QKeySequence::mnemonic(QString::fromUtf8(captions[index]));
        auto* shortcut = new QShortcut(key, ui->PageMain->tabBar());
        connect(shortcut, &QShortcut::activated, this, [this, index] { ui->PageMain->setCurrentIndex(index); });
        ui->PageMain->setTabToolTip(index, key.toString(QKeySequence::NativeText));
    }
}

void TMainWindow::MenuFileHintClick()
{
    // The action has toggled its own check mark already.
    SetHintsShown(ui->MenuFileHint->isChecked());
}

void TMainWindow::MenuFileVersionClick()
{
    ShowMessage(this, tr(VersionLine1) + "\n" + tr(VersionLine2).arg(QStringLiteral(KELVANE_VERSION)) + "\n\n"
                          + VersionCredits);
}

void TMainWindow::MenuFileMonitorClick()
{
    FMonitorWindow->show();
    FMonitorWindow->raise();
    FMonitorWindow->activateWindow();
}

void TMainWindow::MenuFileExitClick()
{
    close();
}

void TMainWindow::PageMainChange()
{
    // The other pages take no computer keys: a key held now would never get its note-off.
    if (ui->PageMain->currentIndex() != ControllerPageIndex)
        RunReported([&] { FControllerPage->Keyboard().ReleaseComputerKeys(); });
    FormResize();
}

bool TMainWindow::event(QEvent* event)
{
    // Without the focus the window sees no key releases (they go to the window or dialog that
    // has it), so a held computer key ends its note here.
    if (event->type() == QEvent::WindowDeactivate && FControllerPage)
        RunReported([&] { FControllerPage->Keyboard().ReleaseComputerKeys(); });
    return QMainWindow::event(event);
}

void TMainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainWindow::FormResize()
{
    switch (ui->PageMain->currentIndex()) {
    case DrumPageIndex:
        FDrumPage->LayOut();
        break;
    case BinaryPageIndex:
        FBinaryPage->LayOut();
        break;
    default:
        break;
    }
}

void TMainWindow::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TMainWindow::FormClose()
{
    // A run of the raw sender ends with the window: the ports close now.
    FBinaryPage->Sender().Stop();
    RunReported([&] {
        if (FSession->Input().IsOpen())
            FSession->Input().Close();
    });
    RunReported([&] {
        if (FSession->Output().IsOpen())
            FSession->Output().Close();
    });
    RunReported([&] { FSession->WriteSettings(CollectSettings()); });
    FMonitorWindow->close();
}

TMainSettings TMainWindow::CollectSettings() const
{
    TMainSettings s;
    // The normal placement, also when the window is maximised.
    // Top and Left are the frame's corner, as move() takes them; normalGeometry() is the inner area.
    const QPoint frame = geometry().topLeft() - pos();
    const QRect normal = isMaximized() ? normalGeometry().translated(-frame) : QRect(pos(), size());
    s.Top = normal.top();
    s.Left = normal.left();
    s.Height = normal.height();
    s.Width = normal.width();

    if (const std::optional<QString> port = PortMenu ? PortMenu->PortInUse() : std::nullopt) {
        s.OutDeviceName = *port;
        s.HasOutDeviceName = true;
    }
    s.ShowHint = ui->MenuFileHint->isChecked();
    FControllerPage->Collect(s);
    FDrumPage->Collect(s);
    FBinaryPage->Collect(s);
    FMonitorWindow->Collect(s.Monitor);
    return s;
}

bool TMainWindow::PreviewKey(QObject* watched, QEvent* event)
{
    // Act once per key event, when it reaches its first receiver in this window (Qt passes an
    // ignored key event on to the parents).
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    QWidget* focus = QApplication::focusWidget();
    if (focus ? watched != focus : watched != this)
        return false;
    // Only the main page takes computer keys.
    if (ui->PageMain->currentIndex() != ControllerPageIndex)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    RunReported([&] {
        if (event->type() == QEvent::KeyPress)
            FControllerPage->Keyboard().ComputerKeyDown(key);
        else
            FControllerPage->Keyboard().ComputerKeyUp(key);
    });
    return false;  // the key also reaches the focused control
}
