// Kelvane's window over the real ALSA sequencer, with the peer client as the synthesizer and
// as the keyboard that plays into the monitor. Under an X server (make test-alsa starts one in
// its virtual machine) the key presses are real X11 events typed by xdotool, and the second
// test runs the kelvane program itself.
#include "AlsaTest.h"
#include "GuiTest.h"
#include "MainWindow.h"
#include "MidiMonitorWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> IdentityRequest = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
// Sent after what a test checks: once it has arrived, anything extra would stand before it.
const std::vector<uint8_t> Marker = {0xB0, 0x7B, 0x00};

bool OnX11() { return QGuiApplication::platformName() == "xcb"; }

QString Xdotool() { return QStandardPaths::findExecutable("xdotool"); }

// Types keys through the X server (XTEST) into the focused window.
bool TypeKey(const QStringList& arguments)
{
    QProcess process;
    process.start(Xdotool(), arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

QString SettingsFor(const TAlsaPeer& peer)
{
    return QStringLiteral("[Midi]\nOutDeviceName=%1\nInDeviceName=%2\n")
        .arg(QString::fromStdString(peer.InputPortName()), QString::fromStdString(peer.OutputPortName()));
}

QString XdotoolOutput(const QStringList& arguments)
{
    QProcess process;
    process.start(Xdotool(), arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The mapped windows of a process, as the X server knows them.
QStringList WindowsOf(const QProcess& process)
{
    return XdotoolOutput({"search", "--onlyvisible", "--pid", QString::number(process.processId())})
        .split('\n', Qt::SkipEmptyParts);
}

QSize SizeOf(const QString& window)
{
    QSize size;
    for (const QString& line : XdotoolOutput({"getwindowgeometry", "--shell", window}).split('\n')) {
        if (line.startsWith("WIDTH="))
            size.setWidth(line.mid(6).toInt());
        if (line.startsWith("HEIGHT="))
            size.setHeight(line.mid(7).toInt());
    }
    return size;
}

// Where the Binary page's button that saves the monitor as .syx is, in a main window of this
// size: the program lays its window out from the same form, so one made here shows the spot.
QPoint SaveMonitorButtonIn(const QSize& size)
{
    TKelvaneFixture window;
    window.Main().resize(size);
    ShowPage(window, 2);
    QWidget* button = window.Find<QPushButton>("ButtonInSaveBinary");
    return button->mapTo(&window.Main(), button->rect().center());
}

class AlsaWindowTest : public TAlsaTest {};

TEST_F(AlsaWindowTest, KeyDReachesThePeerAndThePeersSysexIsShown)
{
    UseAlsaService();
    TFixtureOptions options;
    options.Settings = SettingsFor(*Peer);
    options.UseRecordingService = false;
    Fixture = std::make_unique<TKelvaneFixture>(options);
    TKelvaneFixture& f = *Fixture;
    ASSERT_TRUE(f.Session().Output().IsOpen()) << f.Messages.join('|').toStdString();
    ASSERT_TRUE(f.Session().Input().IsOpen()) << "the peer's output did not open";
    f.Main().show();
    f.Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.Main(), 30000));

    if (OnX11()) {
        ASSERT_FALSE(Xdotool().isEmpty()) << "xdotool is needed for real key events";
        ASSERT_TRUE(TypeKey({"key", "d"}));
    } else {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &f.Main();
        QTest::keyPress(target, Qt::Key_D);
        QTest::keyRelease(target, Qt::Key_D);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return Peer->Events().size() >= 2; }, 20000));
    f.Session().Output().PutShort(Marker[0], Marker[1], Marker[2]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Peer->Events().size() >= 3; }, 20000));
    EXPECT_EQ(Peer->Messages(), Wire({"90 40 78", "80 40 28", "B0 7B 00"}));

    QTabBar* tabs = f.Find<QTabWidget>("PageMain")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    ASSERT_EQ(f.Find<QTabWidget>("PageMain")->currentIndex(), 2);
    ASSERT_EQ(Peer->Send(IdentityRequest), 0);
    ASSERT_EQ(Peer->Send(Marker), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText().endsWith("b0 7b 00"); }, 20000));
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText(), "f0 7e 7f 09 01 f7 \nb0 7b 00");
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（9バイト）"));

    // The monitor window shows the same two messages with what they mean.
    f.Find<QAction>("MenuFileMonitor")->trigger();
    const TMonitorTableModel& model = f.Main().MonitorWindow().Model();
    QStringList incoming;
    for (int row = 0; row < model.rowCount(); ++row) {
        const auto cell = [&](int column) { return model.index(row, column).data().toString(); };
        if (cell(TMonitorTableModel::DirectionColumn) == QStringLiteral("入力"))
            incoming << cell(TMonitorTableModel::MeaningColumn) + " | " + cell(TMonitorTableModel::BytesColumn);
    }
    EXPECT_EQ(incoming, (QStringList{QStringLiteral("6バイト、ユニバーサル非リアルタイム、GMシステム・オン | f0 7e 7f 09 01 f7"),
                                     QStringLiteral("123 オール・ノート・オフ | b0 7b 00")}))
        << incoming.join('\n').toStdString();
    EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join('|').toStdString();
    EXPECT_TRUE(f.Messages.isEmpty()) << f.Messages.join('|').toStdString();
}

// The program as a user starts it: its own folder, its settings naming the peer's ports, and
// a key typed on the X display.
TEST_F(AlsaWindowTest, TheProgramPlaysKeyDToThePeerAndTakesItsSysex)
{
    if (!OnX11() || Xdotool().isEmpty())
        GTEST_SKIP() << "needs an X display and xdotool (make test-alsa runs it under Xvfb)";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath("kelvane");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + "/kelvane", program));
    for (const char* name : {"note.ini", "program.ini"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(KELVANE_SOURCE_DIR "/data/") + name, folder.filePath(name)));
    QFile settings(folder.filePath("kelvane.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    // No hints: a tooltip is a window of its own, and the test looks for the file dialog's.
    settings.write((SettingsFor(*Peer) + "[FormMain]\nShowHint=0\n").toUtf8());
    settings.close();

    QProcess kelvane;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KELVANE_MIDI_API", "alsa");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    kelvane.setProcessEnvironment(environment);
    kelvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kelvane.start(program, {});
    ASSERT_TRUE(kelvane.waitForStarted(30000));
    ASSERT_TRUE(Peer->WaitForSubscriber(60000)) << "the program did not open the peer's output";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !WindowsOf(kelvane).isEmpty(); }, 60000)) << "no window of the program";
    const QString window = WindowsOf(kelvane).value(0);
    const QPoint saveButton = SaveMonitorButtonIn(SizeOf(window));
    // Once the focus is there (--sync waits for it), the server has queued the program's focus
    // event ahead of the key's: the program reads them in that order, so it has the focus when
    // the key comes.
    ASSERT_TRUE(TypeKey({"windowfocus", "--sync", window}));
    ASSERT_TRUE(TypeKey({"key", "d"}));
    EXPECT_TRUE(Peer->WaitForEvents(2, 30000));

    // The monitor runs from the start: what the peer sends is there, and saved from the Binary
    // page as .syx it is the same bytes.
    ASSERT_EQ(Peer->Send(IdentityRequest), 0);
    ASSERT_TRUE(Peer->WaitUntilTaken(30000)) << "the program did not read the message";
    ASSERT_TRUE(TypeKey({"key", "alt+c"}));
    ASSERT_TRUE(TypeKey({"mousemove", "--window", window, QString::number(saveButton.x()),
                         QString::number(saveButton.y()), "click", "1"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return WindowsOf(kelvane).size() >= 2; }, 30000))
        << "no file dialog: the button is disabled until something is received, or the click missed it";
    QStringList windows = WindowsOf(kelvane);
    windows.removeAll(window);
    ASSERT_TRUE(TypeKey({"windowfocus", "--sync", windows.value(0)}));
    ASSERT_TRUE(TypeKey({"type", "monitor.syx"}));
    ASSERT_TRUE(TypeKey({"key", "Return"}));
    const QString saved = folder.filePath("monitor.syx");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(saved); }, 30000)) << "nothing saved";
    EXPECT_EQ(ReadFile(saved), QByteArray(reinterpret_cast<const char*>(IdentityRequest.data()),
                                          qsizetype(IdentityRequest.size())));
    // Long after the key went up: nothing more came of it.
    EXPECT_EQ(Peer->Messages(), Wire({"90 40 78", "80 40 28"}));
    EXPECT_EQ(kelvane.state(), QProcess::Running);
    if (!qEnvironmentVariableIsEmpty("KELVANE_SCREENSHOT"))  // for a person to look at
        QProcess::execute("import", {"-window", "root", qEnvironmentVariable("KELVANE_SCREENSHOT")});
    kelvane.kill();
    kelvane.waitForFinished(30000);
}

}  // namespace
