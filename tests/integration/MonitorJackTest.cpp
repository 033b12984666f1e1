// The input monitor through a real JACK server (dummy driver, 48 kHz, 256 frames a cycle): a peer
// client sends to Kelvane's input and the window shows, counts and saves exactly those bytes.
#include "GuiTest.h"
#include "JackTest.h"
#include "MessageLog.h"
#include "Session.h"
#include "platform/InputReception.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class MonitorJackTest : public TJackTest {
protected:
    void SetUp() override
    {
        TJackTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) {
            ASSERT_NO_FATAL_FAILURE(OpenWindow());
        }
    }

    // Output on the peer's input (the pages need an open output port), input restored from the
    // settings to the peer's output, the Binary page showing.
    void OpenWindow()
    {
        UseJackService();
        TFixtureOptions options;
        options.Settings = QStringLiteral("[Midi]\nOutDeviceName=%1\nInDeviceName=%2\n")
                               .arg(QString::fromStdString(Peer->InputPortName()),
                                    QString::fromStdString(Peer->OutputPortName()));
        options.UseRecordingService = false;
        Fixture = std::make_unique<TKelvaneFixture>(options);
        TKelvaneFixture& f = *Fixture;
        ASSERT_TRUE(f.Session().Output().IsOpen()) << "the peer's input did not open";
        ASSERT_EQ(f.Find<TPortComboBox>("ComboMidiInDevice")->currentText().toStdString(), Peer->OutputPortName());
        ASSERT_TRUE(f.Session().Input().IsOpen()) << "the peer's output did not open";
        ASSERT_NO_FATAL_FAILURE(ShowPage(f, 2));
        EXPECT_TRUE(f.Messages.isEmpty()) << f.Messages.join('|').toStdString();
        ASSERT_TRUE(Peer->WaitUntilOutputConnected(3000)) << "Kelvane's input is not connected to the peer";
    }

    TKelvaneFixture& F() { return *Fixture; }

    // Sends, waits until the window shows that many lines, then until everything sent has been
    // taken, so that a stray line would show too.
    void SendAndWaitForLines(const std::vector<std::vector<uint8_t>>& messages, int lines)
    {
        for (const auto& message : messages)
            Peer->Send(message);
        ASSERT_TRUE(Peer->WaitUntilSent(3000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return MemoLines() >= lines; }, 5000))
            << "shown: " << F().Find<QPlainTextEdit>("MemoMidiIn")->toPlainText().toStdString();
        ASSERT_NO_FATAL_FAILURE(TakeAllSentBy(*Peer));
    }

    // Everything `peer` sent has gone through Kelvane's input (the server has run the cycles
    // that carried it, and the input hands each message on within its cycle), and the window
    // has handled every notification that brought, and what those left for later.
    void TakeAllSentBy(TJackPeer& peer)
    {
        ASSERT_TRUE(peer.WaitUntilRead(5000));
        QEventLoop loop;
        for (int pass = 0, quiet = 0; pass < 100000 && quiet < 3; ++pass)
            quiet = loop.processEvents() ? 0 : quiet + 1;
    }

    QString Memo() { return F().Find<QPlainTextEdit>("MemoMidiIn")->toPlainText(); }
    // Lines as the user sees and saves them (a paragraph of the memo may hold several).
    qsizetype MemoLines()
    {
        const QString text = Memo();
        return text.isEmpty() ? 0 : text.count('\n') + 1;
    }
};

}  // namespace

TEST_F(MonitorJackTest, NoteOnAndOffShowTwoLinesAndSaveExactly)
{
    ASSERT_NO_FATAL_FAILURE(SendAndWaitForLines(Wire({"90 3C 7F", "80 3C 00"}), 2));
    EXPECT_EQ(Memo(), "90 3c 7f\n80 3c 00");
    EXPECT_EQ(F().Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（6バイト）"));

    QTemporaryDir dir;
    QString answer;
    DialogHooks().File = [&](const TFileDialogRequest&) { return answer; };
    answer = dir.path() + "/in.syx";
    QTest::mouseClick(F().Find<QPushButton>("ButtonInSaveBinary"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(answer), QByteArray("\x90\x3C\x7F\x80\x3C\x00", 6));
    answer = dir.path() + "/in.txt";
    QTest::mouseClick(F().Find<QPushButton>("ButtonInSaveText"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(answer), QByteArray("90 3c 7f\r\n80 3c 00\r\n"));
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join('|').toStdString();
}

TEST_F(MonitorJackTest, SysexShowsOneLineEndingWithABlank)
{
    ASSERT_NO_FATAL_FAILURE(SendAndWaitForLines(Wire({"F0 7E 7F 09 01 F7"}), 1));
    EXPECT_EQ(Memo(), "f0 7e 7f 09 01 f7 ");
    EXPECT_EQ(F().Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（6バイト）"));
    EXPECT_EQ(F().Monitor().ReceivedBytes(), QByteArray("\xF0\x7E\x7F\x09\x01\xF7", 6));
}

TEST_F(MonitorJackTest, ClockAndActiveSensingNeverAppear)
{
    ASSERT_NO_FATAL_FAILURE(SendAndWaitForLines(Wire({"F8", "FE", "FA", "F8", "90 3C 7F", "FE", "F8", "FC"}), 3));
    EXPECT_EQ(Memo(), "fa 00 00\n90 3c 7f\nfc 00 00");
    EXPECT_EQ(F().Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（9バイト）"));
}

TEST_F(MonitorJackTest, ClearEmptiesMemoCountAndLabelAndTheMonitorGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(SendAndWaitForLines(Wire({"90 3C 7F"}), 1));
    ASSERT_TRUE(F().Find<QPushButton>("ButtonInClear")->isEnabled());
    QTest::mouseClick(F().Find<QPushButton>("ButtonInClear"), Qt::LeftButton);
    EXPECT_EQ(Memo(), "");
    EXPECT_TRUE(F().Monitor().ReceivedBytes().isEmpty());
    EXPECT_EQ(F().Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力"));
    EXPECT_FALSE(F().Find<QPushButton>("ButtonInClear")->isEnabled());
    EXPECT_FALSE(F().Find<QPushButton>("ButtonInSaveBinary")->isEnabled());
    EXPECT_FALSE(F().Find<QPushButton>("ButtonInSaveText")->isEnabled());

    // The port was closed, opened and started again on the same JACK port.
    ASSERT_TRUE(Peer->WaitUntilOutputConnected(3000));
    ASSERT_NO_FATAL_FAILURE(SendAndWaitForLines(Wire({"80 3C 00"}), 1));
    EXPECT_EQ(Memo(), "80 3c 00");
    EXPECT_TRUE(F().Find<QPushButton>("ButtonInSaveText")->isEnabled());
}

// Another client goes away while the monitor listens to a later one: the port in use moves up
// the list, and a clear must restart it, not whatever now has the number it was opened by.
TEST_F(MonitorJackTest, ClearAfterAnEarlierDeviceLeavesRestartsTheDeviceInUse)
{
    auto earlier = std::make_unique<TJackPeer>("kelvane-earlier");
    TJackPeer later("kelvane-later");
    ASSERT_TRUE(earlier->IsOpen() && later.IsOpen()) << earlier->Error() << later.Error();
    QComboBox* combo = F().Find<TPortComboBox>("ComboMidiInDevice");
    OpenInputList(combo);
    const int index = combo->findText(QString::fromStdString(later.OutputPortName()));
    ASSERT_GT(index, 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    ASSERT_TRUE(later.WaitUntilOutputConnected(3000));
    later.Send({0x90, 0x3C, 0x7F});
    ASSERT_TRUE(later.WaitUntilSent(3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return MemoLines() == 1; }, 5000));

    earlier.reset();
    OpenInputList(combo);  // the device in use is now one up
    ASSERT_EQ(combo->findText(QString::fromStdString(later.OutputPortName())), index - 1);
    QTest::mouseClick(F().Find<QPushButton>("ButtonInClear"), Qt::LeftButton);
    EXPECT_EQ(Memo(), "");
    EXPECT_EQ(combo->currentText().toStdString(), later.OutputPortName());
    ASSERT_TRUE(later.WaitUntilOutputConnected(3000)) << "the device in use was not opened again";
    later.Send({0x80, 0x3C, 0x00});
    ASSERT_TRUE(later.WaitUntilSent(3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return MemoLines() == 1; }, 5000)) << "nothing arrived after the clear";
    ASSERT_NO_FATAL_FAILURE(TakeAllSentBy(later));
    EXPECT_EQ(Memo(), "80 3c 00");
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join('|').toStdString();
}

// A long message: the service joins the peer's pieces, the port delivers it in buffers of 4,096
// bytes, one line each, and the count holds every byte.
TEST_F(MonitorJackTest, LongSysexArrivesWholeInBufferLines)
{
    std::vector<uint8_t> message(20000);
    for (size_t i = 0; i < message.size(); ++i)
        message[i] = uint8_t(i * 5 % 128);
    message.front() = 0xF0;
    message.back() = 0xF7;
    for (size_t start = 0; start < message.size(); start += 4096)
        Peer->Send({message.begin() + std::ptrdiff_t(start),
                    message.begin() + std::ptrdiff_t(std::min(message.size(), start + 4096))});
    ASSERT_TRUE(Peer->WaitUntilSent(3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return F().Monitor().ReceivedBytes().size() >= qsizetype(message.size()); }, 5000));
    ASSERT_NO_FATAL_FAILURE(TakeAllSentBy(*Peer));
    EXPECT_EQ(F().Monitor().ReceivedBytes(), QByteArray(reinterpret_cast<const char*>(message.data()), qsizetype(message.size())));
    EXPECT_EQ(MemoLines(), 5);  // 4 × 4096 + 3616
    EXPECT_EQ(F().Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（20000バイト）"));
    EXPECT_TRUE(F().Messages.isEmpty());
}

// The window is busy while the queue fills, then what the service may keep waiting, then a
// burst of short messages and system exclusive messages (every eighth, five bytes). Short
// messages beyond what the service keeps are lost, each one reported; nothing else is, and
// what arrives keeps its order. System exclusive reception must go on: a message sent
// afterwards arrives whole.
TEST_F(MonitorJackTest, SysexSentAfterAnOverflowingMixedBurstArrivesWhole)
{
    const int held = 1024 + int(TInputReception::WaitingShortLimit);
    const int burst = 16000;
    std::vector<QByteArray> sent;
    for (int n = 0; n < held + burst; ++n) {
        std::vector<uint8_t> message = {0x90, uint8_t(n % 128), uint8_t(n / 128 % 128)};
        if (n >= held && n % 8 == 7)
            message = {0xF0, 0x7E, uint8_t(n % 128), uint8_t(n / 128 % 128), 0xF7};
        sent.emplace_back(reinterpret_cast<const char*>(message.data()), qsizetype(message.size()));
        Peer->Send(std::move(message));
    }
    ASSERT_TRUE(Peer->WaitUntilSent(60000));  // the window thread takes nothing meanwhile
    // The last cycles reach the port, and the window takes everything; by then the tail of
    // the burst may have found room again.
    qsizetype expectedAtLeast = 0;
    for (int n = 0; n < held + burst; ++n)
        if (n < held || sent[n][0] == char(0xF0))
            expectedAtLeast += sent[n].size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return F().Monitor().ReceivedBytes().size() >= expectedAtLeast; }, 30000))
        << F().Monitor().ReceivedBytes().size() << " bytes of at least " << expectedAtLeast << "; "
        << F().Messages.size() << " losses reported; the server reported " << Peer->Xruns() << " late cycles";
    ASSERT_NO_FATAL_FAILURE(TakeAllSentBy(*Peer));
    ASSERT_FALSE(F().Messages.isEmpty()) << "the burst did not overflow what the service keeps";
    EXPECT_EQ(F().Messages.front(), QStringLiteral("MIDIイン・オーバーフロー"));

    // What arrived is what was sent, in order, less some of the burst's short messages: as many
    // as were reported lost.
    const QByteArray& received = F().Monitor().ReceivedBytes();
    qsizetype at = 0;
    int lost = 0;
    for (int n = 0; n < held + burst; ++n) {
        const QByteArray& message = sent[n];
        if (received.mid(at, message.size()) == message) {
            at += message.size();
            continue;
        }
        ASSERT_TRUE(n >= held && message[0] == char(0x90)) << "message " << n << " lost or out of order: " << message.toHex(' ').constData() << " at " << at << " " << received.mid(at, 12).toHex(' ').constData();
        ++lost;
    }
    EXPECT_EQ(at, received.size());
    EXPECT_GT(lost, 0);
    EXPECT_EQ(F().Messages.size(), lost) << "every loss reported, and no other";

    const std::vector<uint8_t> after = {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
    const QByteArray afterBytes(reinterpret_cast<const char*>(after.data()), qsizetype(after.size()));
    for (int round = 0; round < 20; ++round) {  // more messages than there are buffers
        const qsizetype before = F().Monitor().ReceivedBytes().size();
        Peer->Send(after);
        ASSERT_TRUE(Peer->WaitUntilSent(3000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return F().Monitor().ReceivedBytes().size() >= before + 9; }, 5000))
            << "round " << round << ": the message never arrived";
        EXPECT_EQ(F().Monitor().ReceivedBytes().mid(before), afterBytes) << "round " << round;
        EXPECT_TRUE(QTest::qWaitFor([&] { return Memo().endsWith(QStringLiteral("\nf0 43 10 4c 00 00 7e 00 f7 ")); }, 5000))
            << "round " << round;
    }
}

// A JACK event may carry what a serial line sent: several messages, running status, real-time
// bytes inside a system exclusive message. Each message shows as its own line.
TEST_F(MonitorJackTest, SeveralMessagesInOneEventShowOneLineEach)
{
    ASSERT_NO_FATAL_FAILURE(SendAndWaitForLines(
        Wire({"90 3C 7F 3E 7F 80 3C 00", "F0 7E 7F FA 09 01 F7", "C0 05"}), 6));
    EXPECT_EQ(Memo(), "90 3c 7f\n90 3e 7f\n80 3c 00\nfa 00 00\nf0 7e 7f 09 01 f7 \nc0 05 00");
    EXPECT_TRUE(F().Messages.isEmpty());
}

// The record keeps when each message reached the device thread, not when the window got round to
// it: messages a peer sends at known frames, over several cycles, are as far apart in the record
// as their frames are (48 kHz: 20.8 µs a frame), even when the window takes them late, all at once.
TEST_F(MonitorJackTest, TheRecordTimesEachMessageByItsFrame)
{
    const std::vector<jack_nframes_t> offsets = {0, 40, 128, 255, 10, 200, 0};
    for (size_t i = 0; i < offsets.size(); ++i)
        Peer->SendAt({0x90, uint8_t(0x30 + i), 0x40}, offsets[i]);  // 10 and 0: later cycles
    ASSERT_TRUE(Peer->WaitUntilRead(5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the window late on purpose
    ASSERT_NO_FATAL_FAILURE(TakeAllSentBy(*Peer));

    const TMessageRecord& record = F().Session().Log().Record();
    const std::vector<jack_nframes_t> frames = Peer->SentFrames();
    ASSERT_EQ(frames.size(), offsets.size());
    ASSERT_EQ(record.Count(), offsets.size());
    EXPECT_GT(frames.back() - frames.front(), 256u) << "the messages span several cycles";
    for (size_t i = 1; i < offsets.size(); ++i) {
        const double frameMicroseconds = double(frames[i] - frames[0]) * 1e6 / 48000.0;
        // Inside the first cycle the times are exact to the microsecond but for JACK's estimate of
        // the period; across cycles JACK smooths when each cycle began.
        const double within = i < 4 ? 100.0 : 1000.0;
        EXPECT_NEAR(double(record.Time(i) - record.Time(0)), frameMicroseconds, within) << "message " << i;
    }
}
