// The raw editor's pacing through a real JACK server (dummy driver, 48 kHz, 256 frames a cycle):
// a dump of several system exclusive messages leaves at the packet interval inside a message and
// after the longer wait between messages, the whole memo or only the part selected. What the
// peer receives is compared byte for byte; the pacing is read from what each tick of the send
// timer set it to, and the JACK clock's frames between messages are held to a generous bound.
#include "GuiTest.h"
#include "HexText.h"
#include "JackTest.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int MessageBytes = 16 * 1024;
constexpr int Messages = 4;  // 64 KiB in all
constexpr int PacketBytes = 1024;
constexpr int PacketsPerMessage = MessageBytes / PacketBytes;
constexpr int IntervalMs = 5;
constexpr int WaitMs = 200;
constexpr int FramesPerMs = 48;

// Message k: F0, data that tells the messages and their places apart, F7.
QByteArray Dump()
{
    QByteArray dump;
    for (int k = 0; k < Messages; ++k) {
        QByteArray message(MessageBytes, '\0');
        message[0] = char(0xF0);
        for (int i = 1; i + 1 < MessageBytes; ++i)
            message[i] = char((i * 7 + k * 31 + i / 128) & 0x7F);
        message[MessageBytes - 1] = char(0xF7);
        dump += message;
    }
    return dump;
}

class RawSenderJackTest : public TJackTest {
protected:
    // The window with its output port on the peer's input, showing the Binary page, the dump in
    // the memo as a loaded file shows it.
    void OpenWindow()
    {
        UseJackService();
        TFixtureOptions options;
        options.Settings = QStringLiteral("[SystemExclusiveSend]\nInterval=%1\nPacketSize=%2\nWaitAfterMessage=%3\n")
                               .arg(IntervalMs)
                               .arg(PacketBytes)
                               .arg(WaitMs);
        options.UseRecordingService = false;
        options.OutDeviceName = QString::fromStdString(Peer->InputPortName());
        Fixture = std::make_unique<TKelvaneFixture>(options);
        ASSERT_TRUE(F().Session().Output().IsOpen()) << "the peer's input did not open";
        ASSERT_NO_FATAL_FAILURE(ShowPage(F(), 2));
        F().Find<QPlainTextEdit>("MemoMidiOut")->setPlainText(BytesToHexLines(DumpBytes, 256));
        Timer = Find<QTimer>(F().Sender(), "TimerMidiOut");
        // What each tick set the timer to for the next, read as the tick ends (the window's own
        // handler was connected first), however late a loaded machine lets it come.
        QObject::connect(Timer, &QTimer::timeout, Timer, [this] { Intervals.push_back(Timer->interval()); });
    }

    // Waits for the run to end and for everything it sent to have reached the peer: a marker
    // sent after the run arrives last.
    std::vector<TJackEvent> EventsOfTheRun()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !F().Sender().Sending(); }, 20000));
        const std::vector<uint8_t> marker = {0xB0, 0x7B, 0x00};
        F().Session().Output().PutShort(marker[0], marker[1], marker[2]);
        EXPECT_TRUE(Peer->WaitForLastEvent(marker, 5000));
        std::vector<TJackEvent> events = Peer->Events();
        if (!events.empty())
            events.pop_back();
        return events;
    }

    // Text positions of message k in the memo: its F0's first digit, and after its F7.
    qsizetype MessageStart(int k) const { return k == 0 ? 0 : BytesToHexLines(DumpBytes.left(k * MessageBytes), 256).size() + 1; }
    qsizetype MessageEnd(int k) const { return BytesToHexLines(DumpBytes.left((k + 1) * MessageBytes), 256).size(); }

    TKelvaneFixture& F() { return *Fixture; }

    const QByteArray DumpBytes = Dump();
    QTimer* Timer = nullptr;
    std::vector<int> Intervals;
};

// The packets of `messages` whole messages, in order, must have arrived intact, one event each;
// after each message's last packet the sender waited the longer time, and the JACK clock saw at
// least a quarter of it pass (a generous bound: a loaded machine only makes gaps longer, and the
// dummy driver's clock may fall somewhat behind).
void ExpectPacedMessages(const std::vector<TJackEvent>& events, const std::vector<int>& intervals,
                         const QByteArray& expected, int messages)
{
    const size_t packets = size_t(messages) * PacketsPerMessage;
    ASSERT_EQ(events.size(), packets);
    QByteArray joined;
    for (const TJackEvent& event : events) {
        EXPECT_EQ(event.Bytes.size(), size_t(PacketBytes));
        joined.append(reinterpret_cast<const char*>(event.Bytes.data()), qsizetype(event.Bytes.size()));
    }
    EXPECT_EQ(joined, expected);

    // One tick a packet and the tick that ends the run.
    ASSERT_EQ(intervals.size(), packets + 1);
    for (size_t i = 0; i < packets; ++i) {
        const bool endsMessage = (i + 1) % PacketsPerMessage == 0;
        EXPECT_EQ(intervals[i], endsMessage ? WaitMs : IntervalMs) << "after packet " << i;
    }
    for (size_t i = PacketsPerMessage; i < packets; i += PacketsPerMessage) {
        const jack_nframes_t gap = events[i].Frame - events[i - 1].Frame;
        EXPECT_GE(gap, jack_nframes_t(WaitMs / 4 * FramesPerMs)) << "between packets " << i - 1 << " and " << i;
    }
}

}  // namespace

TEST_F(RawSenderJackTest, ADumpOfSeveralMessagesWaitsAfterEachMessageAndNotInside)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    QTest::mouseClick(F().Find<QPushButton>("ButtonSend"), Qt::LeftButton);
    const std::vector<TJackEvent> events = EventsOfTheRun();
    ExpectPacedMessages(events, Intervals, DumpBytes, Messages);
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join("|").toStdString();
    EXPECT_TRUE(F().Messages.isEmpty()) << F().Messages.join("|").toStdString();
}

TEST_F(RawSenderJackTest, TheSelectedMessagesLeaveAloneWithTheirWait)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    // The second and third messages, selected from the end back to the start.
    auto* memo = F().Find<QPlainTextEdit>("MemoMidiOut");
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(int(MessageEnd(2)));
    cursor.setPosition(int(MessageStart(1)), QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    F().Find<QAction>("ActionSendSelection")->trigger();
    const std::vector<TJackEvent> events = EventsOfTheRun();
    ExpectPacedMessages(events, Intervals, DumpBytes.mid(MessageBytes, 2 * MessageBytes), 2);
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join("|").toStdString();
    EXPECT_TRUE(F().Messages.isEmpty()) << F().Messages.join("|").toStdString();
}
