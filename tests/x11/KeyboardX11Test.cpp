// The computer keyboard on a real X server (the xcb platform under Xvfb), with every core busy
// and a real JACK client listening: a held key is one note-on and one note-off, however long it
// is held and however late the window thread gets to its events. The key is held by xdotool
// through the server, so the server's own auto-repeat is what the window sees.
#include "JackTest.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts the presses of one key that reach the application, repeats included.
class TPressCounter final : public QObject {
public:
    explicit TPressCounter(Qt::Key key) : Key(key) { qApp->installEventFilter(this); }
    ~TPressCounter() override { qApp->removeEventFilter(this); }
    int Presses() const { return Count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // One event is offered to each widget on its way up; count it at the window only.
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Key && watched->isWindowType())
            ++Count;
        return false;
    }

private:
    Qt::Key Key;
    int Count = 0;
};

std::vector<std::vector<uint8_t>> Received(const TJackPeer& peer)
{
    std::vector<std::vector<uint8_t>> bytes;
    for (const auto& event : peer.Events())
        bytes.push_back(event.Bytes);
    return bytes;
}

class KeyboardX11Test : public TJackTest {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs the xcb platform (run under xvfb-run with QT_QPA_PLATFORM=xcb)";
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "xdotool is not installed";
        TJackTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        UseJackService();
        TFixtureOptions options;
        options.UseRecordingService = false;
        options.OutDeviceName = QString::fromStdString(Peer->InputPortName());
        Fixture = std::make_unique<TKelvaneFixture>(options);
        ASSERT_TRUE(Fixture->Session().Output().IsOpen());
        Fixture->Main().show();
        Fixture->Main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Fixture->Main()));
        Run("xset r on");  // the server repeats held keys (its default; said here to be sure)
    }

    void TearDown() override
    {
        for (auto& process : Load) {
            process->kill();
            process->waitForFinished(5000);
        }
        Load.clear();
        TJackTest::TearDown();
    }

    // One CPU-bound process per core, as a busy desktop has.
    void LoadEveryCore()
    {
        for (int i = 0; i < QThread::idealThreadCount(); ++i) {
            auto process = std::make_unique<QProcess>();
            process->setStandardOutputFile(QProcess::nullDevice());
            process->start("yes", {});
            ASSERT_TRUE(process->waitForStarted(5000));
            Load.push_back(std::move(process));
        }
    }

    // Runs a shell command against the test's display while the window keeps taking events.
    void Run(const QString& command)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start("sh", {"-c", command});
        ASSERT_TRUE(process.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)) << command.toStdString();
        ASSERT_EQ(process.exitCode(), 0) << command.toStdString();
    }

    // Lets the window take what the server still holds for it, then waits for the peer.
    void Settle(size_t events)
    {
        (void)QTest::qWaitFor([&] { return Peer->EventCount() >= events; }, 10000);
        QTest::qWait(500);  // anything more would arrive now
    }

    std::vector<std::unique_ptr<QProcess>> Load;
};

TEST_F(KeyboardX11Test, HeldKeyOnABusyMachineIsOneNoteOnAndOneNoteOff)
{
    TPressCounter presses(Qt::Key_G);
    LoadEveryCore();
    Run("xdotool keydown g; sleep 2; xdotool keyup g");
    Settle(2);
    EXPECT_EQ(Received(*Peer), Wire({"90 43 78", "80 43 28"}));
    // Otherwise the test proved nothing: the server must have repeated the key.
    EXPECT_GT(presses.Presses(), 1);
    EXPECT_FALSE(Fixture->Keyboard().Sounding(67));
}

TEST_F(KeyboardX11Test, KeyHeldWhileAnotherWindowTakesTheFocusEndsItsNote)
{
    QWidget other;
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(700, 0, 100, 100);
    LoadEveryCore();
    Run("xdotool keydown g");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Peer->EventCount() >= 1; }, 10000));
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Run("sleep 1; xdotool keyup g");  // the release goes to the other window
    Fixture->Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Fixture->Main()));
    Settle(2);
    EXPECT_EQ(Received(*Peer), Wire({"90 43 78", "80 43 28"}));
    EXPECT_FALSE(Fixture->Keyboard().Sounding(67));
}

}  // namespace
