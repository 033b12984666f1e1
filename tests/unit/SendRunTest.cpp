// The timed sender's pacing: which packets end a message, the wait after them, the bytes and the
// time left of a run, and sending only the selected part of the memo.
#include "HexText.h"
#include "SendRun.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// A system exclusive message of the given length, F7 nowhere but at its end.
QByteArray Message(int length)
{
    QByteArray bytes(length, '\x11');
    bytes[0] = char(0xF0);
    bytes[length - 1] = char(0xF7);
    return bytes;
}

// The delays a run keeps, packet after packet, from its start until nothing waits.
std::vector<int> Delays(const QList<QByteArray>& packets, int interval, int wait)
{
    TSendRun run;
    run.Replace(packets);
    std::vector<int> delays;
    while (!run.IsEmpty()) {
        delays.push_back(run.DelayBeforeNext(interval, wait));
        run.NextSent();
    }
    delays.push_back(run.DelayBeforeNext(interval, wait));  // before the tick that ends the run
    return delays;
}

struct TPacingCase {
    const char* Name;
    QString Text;
    int PacketSize;
    int Interval;
    int Wait;
    std::vector<int> Delays;
};

class SendPacing : public testing::TestWithParam<TPacingCase> {};

TEST_P(SendPacing, WaitsAfterEachMessageAndKeepsTheIntervalInside)
{
    const TPacingCase& c = GetParam();
    EXPECT_EQ(Delays(CutForSending(c.Text, c.PacketSize).Packets, c.Interval, c.Wait), c.Delays);
}

const TPacingCase PacingCases[] = {
    {"OneMessageOnePacket", "F0 7E 7F 09 01 F7", 128, 100, 500, {100, 500}},
    {"WaitZeroIsTheInterval", "F0 7E 7F 09 01 F7 F0 7E 7F 09 01 F7", 128, 100, 0, {100, 100, 100}},
    {"TwoMessagesOfTwoPackets", "F0 01 02 03 04 F7 F0 05 06 07 08 F7", 4, 20, 300, {20, 20, 300, 20, 300}},
    // The rest after the last F7 ends no message: the interval follows it.
    {"ShortMessagesAfterTheLastF7", "F0 01 F7 90 3C 7F 80 3C 00", 4, 20, 300, {20, 300, 20, 20}},
    // An F7 with no F0 before it still ends its section.
    {"LoneF7EndsASection", "90 3C 7F F7 80 3C 00", 128, 10, 50, {10, 50, 10}},
    {"WaitShorterThanTheInterval", "F0 01 F7 F0 02 F7", 128, 100, 5, {100, 5, 5}},
    {"PacketEndingExactlyAtF7", "F0 01 02 F7 F0 03 04 F7", 2, 10, 40, {10, 10, 40, 10, 40}},
};

INSTANTIATE_TEST_SUITE_P(Table, SendPacing, testing::ValuesIn(PacingCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SendPacing, A64KiBDumpWaitsOnlyBetweenMessages)
{
    // Four messages of 16 KiB in packets of 1024: 16 packets each, the wait after every 16th.
    QByteArray dump;
    for (int i = 0; i < 4; ++i)
        dump += Message(16 * 1024);
    const TSendPlan plan = CutForSending(BytesToHexLines(dump, 256), 1024);
    ASSERT_EQ(plan.Packets.size(), 64);
    const std::vector<int> delays = Delays(plan.Packets, 5, 800);
    for (size_t i = 1; i < delays.size(); ++i)
        EXPECT_EQ(delays[i], i % 16 == 0 ? 800 : 5) << "before packet " << i;
    EXPECT_EQ(delays[0], 5);  // the first packet leaves one interval after the start
}

TEST(SendRun, CountsBytesSentOfTheTotal)
{
    TSendRun run;
    EXPECT_TRUE(run.IsEmpty());
    EXPECT_EQ(run.TotalBytes(), 0);
    run.Replace({Bytes("F0010203"), Bytes("04F7"), Bytes("903C7F")});
    EXPECT_EQ(run.TotalBytes(), 9);
    EXPECT_EQ(run.WaitingPackets(), 3);
    EXPECT_EQ(run.Next(), Bytes("F0010203"));
    run.NextSent();
    EXPECT_EQ(run.SentBytes(), 4);
    EXPECT_EQ(run.WaitingBytes(), 5);
    EXPECT_EQ(run.Next(), Bytes("04F7"));

    // A send during the run: what waited gives way, what was sent still counts.
    run.Replace({Bytes("F07E7F0901F7")});
    EXPECT_EQ(run.SentBytes(), 4);
    EXPECT_EQ(run.TotalBytes(), 10);
    EXPECT_EQ(run.WaitingPackets(), 1);
    run.NextSent();
    EXPECT_TRUE(run.IsEmpty());
    EXPECT_EQ(run.SentBytes(), 10);
    EXPECT_EQ(run.TotalBytes(), 10);
    run.NextSent();  // nothing waits: nothing happens
    EXPECT_EQ(run.SentBytes(), 10);

    run.Clear();
    EXPECT_EQ(run.SentBytes(), 0);
    EXPECT_EQ(run.TotalBytes(), 0);
}

TEST(SendRun, KnowsWhetherAStopWouldCutAMessageShort)
{
    TSendRun run;
    run.Replace({Bytes("F00102"), Bytes("03F8"), Bytes("04F7"), Bytes("903C"), Bytes("7FF0"), Bytes("01F79080")});
    const std::vector<bool> expected = {true, true, false, false, true, false};
    for (size_t i = 0; i < expected.size(); ++i) {
        run.NextSent();
        EXPECT_EQ(run.InsideMessage(), expected[i]) << "after packet " << i;
    }
    run.Clear();
    EXPECT_FALSE(run.InsideMessage());
}

TEST(SendRun, TimeLeftFollowsTheWaitingPacketsAndThePacing)
{
    // Packets: message 1 in two, message 2 in two, then a program change.
    TSendRun run;
    run.Replace(CutForSending("F0 01 02 F7 F0 03 04 F7 C0 05", 2).Packets);
    ASSERT_EQ(run.WaitingPackets(), 5);
    // 10 to the first, then after each packet but the last: 10, 200, 10, 200.
    EXPECT_EQ(run.TimeLeft(10, 200), 10 + 10 + 200 + 10 + 200);
    EXPECT_EQ(run.TimeLeft(10, 0), 5 * 10);
    // What the timer says is left of its period stands for the first delay.
    EXPECT_EQ(run.TimeLeft(10, 200, 3), 3 + 10 + 200 + 10 + 200);
    run.NextSent();
    run.NextSent();  // message 1 sent: the wait comes next
    EXPECT_EQ(run.DelayBeforeNext(10, 200), 200);
    EXPECT_EQ(run.TimeLeft(10, 200), 200 + 10 + 200);
    // A change of pacing during the run counts at once.
    EXPECT_EQ(run.TimeLeft(50, 1000), 1000 + 50 + 1000);
    run.NextSent();
    run.NextSent();
    run.NextSent();
    EXPECT_EQ(run.TimeLeft(10, 200), 0);
}

TEST(SendRun, TheSlowestPacingOfAMebibyteTakesOverAnHour)
{
    TSendRun run;
    run.Replace(CutForSending(BytesToHexLines(Message(1024 * 1024), 256), 128).Packets);
    ASSERT_EQ(run.WaitingPackets(), 8192);
    EXPECT_EQ(run.TimeLeft(500, 0), 8192 * 500);
    EXPECT_EQ(DurationText(run.TimeLeft(500, 0)), "1:08:16");
    EXPECT_EQ(run.TotalBytes(), 1024 * 1024);
}

struct TDurationCase {
    qint64 Milliseconds;
    const char* Text;
};

class DurationTextTable : public testing::TestWithParam<TDurationCase> {};

TEST_P(DurationTextTable, RoundsUpToWholeSeconds)
{
    EXPECT_EQ(DurationText(GetParam().Milliseconds), GetParam().Text);
}

const TDurationCase DurationCases[] = {
    {-5, "0:00"}, {0, "0:00"}, {1, "0:01"}, {999, "0:01"}, {1000, "0:01"}, {1001, "0:02"},
    {59000, "0:59"}, {60000, "1:00"}, {3599000, "59:59"}, {3599001, "1:00:00"}, {36000000, "10:00:00"},
};

INSTANTIATE_TEST_SUITE_P(Table, DurationTextTable, testing::ValuesIn(DurationCases));

struct TSelectionCase {
    const char* Name;
    QString Text;
    qsizetype Anchor;
    qsizetype Position;
    int PacketSize;
    QList<QByteArray> Packets;
    int OddSections;
};

class SelectionSend : public testing::TestWithParam<TSelectionCase> {};

TEST_P(SelectionSend, CutsTheSelectedTextAsSendCutsTheMemo)
{
    const TSelectionCase& c = GetParam();
    const TSendPlan plan = CutSelectionForSending(c.Text, c.Anchor, c.Position, c.PacketSize);
    EXPECT_EQ(plan.Packets, c.Packets);
    EXPECT_EQ(plan.OddSections, c.OddSections);
}

const QString TwoMessages = "F0 41 10 42 12 40 00 7F 00 41 F7\nF0 7E 7F 09 01 F7\n90 3C 7F";

const TSelectionCase SelectionCases[] = {
    {"Everything", TwoMessages, 0, TwoMessages.size(), 128,
     {Bytes("F04110421240007F0041F7"), Bytes("F07E7F0901F7"), Bytes("903C7F")}, 0},
    {"SecondLine", TwoMessages, 33, 50, 128, {Bytes("F07E7F0901F7")}, 0},
    {"EndsEitherWay", TwoMessages, 50, 33, 128, {Bytes("F07E7F0901F7")}, 0},
    {"AcrossALineBreak", TwoMessages, 27, 42, 128, {Bytes("41F7"), Bytes("F07E7F")}, 0},
    {"CutIntoPackets", TwoMessages, 0, 32, 4, {Bytes("F0411042"), Bytes("1240007F"), Bytes("0041F7")}, 0},
    // Half a pair selected: an odd count leaves out the last section, as for the whole memo.
    {"HalfAPairAtTheEnd", TwoMessages, 33, 49, 128, {}, 1},
    {"OddAfterTheLastF7", TwoMessages, 33, 55, 128, {Bytes("F07E7F0901F7")}, 1},
    // What stands before the selection does not shift its pairs.
    {"StrayDigitBeforeIt", "9 F0 7E 7F 09 01 F7", 2, 19, 128, {Bytes("F07E7F0901F7")}, 0},
    {"Empty", TwoMessages, 10, 10, 128, {}, 0},
    {"BlanksOnly", TwoMessages, 2, 3, 128, {}, 0},
    {"EndsBeyondTheText", TwoMessages, 51, 1000, 128, {Bytes("903C7F")}, 0},
    {"NegativeIsTheStart", TwoMessages, -4, 2, 128, {Bytes("F0")}, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, SelectionSend, testing::ValuesIn(SelectionCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SelectionSend, TheWholeMemoSelectedIsSendItself)
{
    const QString text = "f0 7e 7f 09 01 f7\r\n9 03C 7F F0 4\r\n1 F7 0";
    for (int size : {1, 2, 128}) {
        const TSendPlan whole = CutForSending(text, size);
        const TSendPlan selected = CutSelectionForSending(text, text.size(), 0, size);
        EXPECT_EQ(selected.Packets, whole.Packets);
        EXPECT_EQ(selected.Sections, whole.Sections);
        EXPECT_EQ(selected.OddSections, whole.OddSections);
    }
}

}  // namespace
