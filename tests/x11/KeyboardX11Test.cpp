// The computer keyboard on a real X server (the xcb platform under Xvfb), with every core busy
// and a real JACK client listening: a held key is one note-on and one note-off, however long it
// is held and however late the window thread gets to its events. The key is held by xdotool
// through the server, so the server's own auto-repeat is what the window sees. On every layout
// the X server knows (US, French, German, Japanese, Dvorak), the eighteen keys play by where they
// sit on the keyboard, whatever letters the layout prints on them.
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

    // What a shell command against the test's display prints.
    QString Output(const QString& command)
    {
        QProcess process;
        process.start("sh", {"-c", command});
        EXPECT_TRUE(process.waitForStarted(5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)) << command.toStdString();
        return QString::fromLocal8Bit(process.readAllStandardOutput());
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

struct TLayoutCase {
    const char* Name;
    const char* Layout;   // setxkbmap's arguments
    const char* Query;    // what `setxkbmap -query` then says, for the layout and variant lines
};

class KeyboardLayoutX11Test : public KeyboardX11Test, public testing::WithParamInterface<TLayoutCase> {
protected:
    void TearDown() override
    {
        if (Fixture)
            Run("setxkbmap us");  // the next test starts on the server's own layout
        KeyboardX11Test::TearDown();
    }
};

// The X11 key codes of the keys a US layout labels A W S E D F T G Y H U J K O L P ; ' (the evdev
// codes + 8), in that order: C4 up to F5.
const int KeyCodesFromC4[] = {38, 25, 39, 26, 40, 41, 28, 42, 29, 43, 30, 44, 45, 32, 46, 33, 47, 48};

TEST_P(KeyboardLayoutX11Test, TheKeysPlayByWhereTheySit)
{
    Run(QStringLiteral("setxkbmap %1").arg(QLatin1String(GetParam().Layout)));
    // The server only changes its layout while a client is connected; the window is.
    QString query;
    for (const QString& line : Output("setxkbmap -query").split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("layout")) || line.startsWith(QLatin1String("variant")))
            query += line.simplified() + QLatin1Char(' ');
    ASSERT_EQ(query.trimmed().toStdString(), GetParam().Query);

    QString keys;
    std::vector<std::vector<uint8_t>> expected;
    for (size_t i = 0; i < std::size(KeyCodesFromC4); ++i) {
        keys += QStringLiteral(" %1").arg(KeyCodesFromC4[i]);
        const auto note = uint8_t(60 + i);
        expected.push_back({0x90, note, 0x78});
        expected.push_back({0x80, note, 0x28});
    }
    Run("xdotool key --delay 20" + keys);  // a number names a key code
    Settle(expected.size());
    EXPECT_EQ(Received(*Peer), expected);
    for (int key = 60; key <= 77; ++key)
        EXPECT_FALSE(Fixture->Keyboard().Sounding(key)) << key;
}

const TLayoutCase LayoutCases[] = {
    {"Us", "us", "layout: us"},
    {"French", "fr", "layout: fr"},
    {"German", "de", "layout: de"},
    {"JapaneseJis", "jp", "layout: jp"},
    {"Dvorak", "us dvorak", "layout: us variant: dvorak"},
};

INSTANTIATE_TEST_SUITE_P(Layouts, KeyboardLayoutX11Test, testing::ValuesIn(LayoutCases),
                         [](const testing::TestParamInfo<TLayoutCase>& info) { return std::string(info.param.Name); });

}  // namespace
