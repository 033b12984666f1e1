// Kelvane's window over the real ALSA sequencer, with the peer client as the synthesizer and
// as the keyboard that plays into the monitor. Under an X server (make test-alsa starts one in
// its virtual machine) the key presses are real X11 events typed by xdotool, and the second
// test runs the kelvane program itself.
#include "AlsaTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> IdentityRequest = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};

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

class AlsaWindowTest : public TAlsaTest {};

TEST_F(AlsaWindowTest, KeyDReachesThePeerAndThePeersSysexIsShown)
{
    UseAlsaService();
    TFixtureOptions options;
    options.Settings = SettingsFor(*Peer);
    options.UseRecordingService = false;
    Fixture = std::make_unique<TKelvaneFixture>(options);
    TKelvaneFixture& f = *Fixture;
    ASSERT_NE(f.Session().Output().DeviceHandle(), nullptr) << f.Messages.join('|').toStdString();
    ASSERT_NE(f.Session().Input().DeviceHandle(), nullptr) << "the peer's output did not open";
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
    QTest::qWait(200);
    EXPECT_EQ(Peer->Messages(), Wire({"90 40 78", "80 40 28"}));

    QTabBar* tabs = f.Find<QTabWidget>("PageMain")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    ASSERT_EQ(f.Find<QTabWidget>("PageMain")->currentIndex(), 2);
    ASSERT_EQ(Peer->Send(IdentityRequest), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText().isEmpty(); }, 20000));
    QTest::qWait(200);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText(), "f0 7e 7f 09 01 f7 ");
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（6バイト）"));
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
    settings.write(SettingsFor(*Peer).toUtf8());
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
    const QString pid = QString::number(kelvane.processId());
    QProcess search;
    search.start(Xdotool(), {"search", "--sync", "--onlyvisible", "--pid", pid});
    ASSERT_TRUE(search.waitForFinished(60000));
    const QString window = QString::fromUtf8(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).value(0);
    ASSERT_FALSE(window.isEmpty()) << "no window of the program";
    ASSERT_TRUE(TypeKey({"windowfocus", "--sync", window}));
    QTest::qWait(500);
    ASSERT_TRUE(TypeKey({"key", "d"}));
    EXPECT_TRUE(Peer->WaitForEvents(2, 30000));
    QTest::qWait(200);
    EXPECT_EQ(Peer->Messages(), Wire({"90 40 78", "80 40 28"}));

    // The monitor runs from the start; the program must take a message and go on.
    ASSERT_EQ(Peer->Send(IdentityRequest), 0);
    QTest::qWait(1000);
    EXPECT_EQ(kelvane.state(), QProcess::Running);
    if (!qEnvironmentVariableIsEmpty("KELVANE_SCREENSHOT")) {  // for a person to look at
        TypeKey({"key", "alt+c"});
        QTest::qWait(1000);
        QProcess::execute("import", {"-window", "root", qEnvironmentVariable("KELVANE_SCREENSHOT")});
    }
    kelvane.kill();
    kelvane.waitForFinished(30000);
}

}  // namespace
