// The monitor's record: raw streams cut into messages, times kept to the microsecond over any
// span, system exclusive pieces joined into messages, the memo's files written from it, and its
// size.
#include "MessageRecord.h"
#include "StreamSplitter.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// What the splitter hands out, written down: "90 3c 7f" a short message, "~90 3e 7f" one with
// running status, "x f0 41" a system exclusive piece, "? 3c 7f" stray bytes.
class TWrittenSink : public TStreamSink {
public:
    void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2, bool impliedStatus) override
    {
        const char bytes[] = {char(status), char(data1), char(data2)};
        const int length = 1 + DataBytesAfter(status);
        Out.push_back((impliedStatus ? "~" : "") + QByteArray(bytes, length).toHex(' ').toStdString());
    }
    void Piece(QByteArrayView bytes, bool stray) override
    {
        Out.push_back((stray ? "? " : "x ") + bytes.toByteArray().toHex(' ').toStdString());
    }
    std::vector<std::string> Out;
};

struct TSplitCase {
    const char* Name;
    std::vector<const char*> Blocks;  // hexadecimal, fed one after another
    std::vector<std::string> Expected;
};

class StreamSplitting : public testing::TestWithParam<TSplitCase> {};

TEST_P(StreamSplitting, GivesTheMessagesAReceiverReads)
{
    TStreamSplitter splitter;
    TWrittenSink sink;
    for (const char* block : GetParam().Blocks)
        splitter.Feed(Bytes(block), sink);
    EXPECT_EQ(sink.Out, GetParam().Expected);
}

const TSplitCase SplitCases[] = {
    {"OneNote", {"903c7f"}, {"90 3c 7f"}},
    {"RunningStatus", {"903c7f3e7f403f"}, {"90 3c 7f", "~90 3e 7f", "~90 40 3f"}},
    {"RunningStatusAcrossBlocks", {"903c7f", "3e7f"}, {"90 3c 7f", "~90 3e 7f"}},
    {"MessageCutAcrossBlocks", {"903c", "7f"}, {"90 3c 7f"}},
    {"OneDataByteKinds", {"c005d040", "0607"}, {"c0 05", "d0 40", "~d0 06", "~d0 07"}},
    {"SystemCommon", {"f10af20102f303f6"}, {"f1 0a", "f2 01 02", "f3 03", "f6"}},
    {"SystemCommonCancelsRunningStatus", {"903c7ff6407f"}, {"90 3c 7f", "f6", "? 40 7f"}},
    {"RealTimeInsideANoteLeavesItWhole", {"90f83c fa7f"}, {"f8", "fa", "90 3c 7f"}},
    {"RealTimeKeepsRunningStatus", {"903c7ff83e7f"}, {"90 3c 7f", "f8", "~90 3e 7f"}},
    {"Sysex", {"f07e7f0901f7"}, {"x f0 7e 7f 09 01 f7"}},
    {"SysexInPackets", {"f0414210", "4212", "f7"}, {"x f0 41 42 10", "x 42 12", "x f7"}},
    {"RealTimeInsideSysexComesFirst", {"f041f842f7"}, {"f8", "x f0 41 42 f7"}},
    {"StatusEndsSysexWithoutF7", {"f04142903c7f"}, {"x f0 41 42", "90 3c 7f"}},
    {"SysexCancelsRunningStatus", {"903c7f", "f001f7", "3e7f"}, {"90 3c 7f", "x f0 01 f7", "? 3e 7f"}},
    {"DataWithNoStatus", {"3c7f"}, {"? 3c 7f"}},
    {"NoteCutShortByTheNextStatus", {"903c803c00"}, {"? 90 3c", "80 3c 00"}},
    {"RunningStatusMessageCutShort", {"903c7f3e", "b00700"}, {"90 3c 7f", "? 3e", "b0 07 00"}},
    {"LoneF7", {"f7"}, {"f7"}},
    {"UndefinedStatusBytes", {"f4f5f9fd"}, {"f4", "f5", "f9", "fd"}},
    {"SystemReset", {"ff"}, {"ff"}},
    {"EmptyBlock", {""}, {}},
};

INSTANTIATE_TEST_SUITE_P(Table, StreamSplitting, testing::ValuesIn(SplitCases),
                         [](const testing::TestParamInfo<TSplitCase>& info) { return std::string(info.param.Name); });

// The record's own text of an entry, for comparing with a table.
std::string Describe(const TMessageRecord& record, size_t index)
{
    const TRecordEntry e = record.At(index);
    std::string text = e.Direction == TDirection::Out ? "out " : "in ";
    if (e.Form == TEntryForm::Short) {
        const char bytes[] = {char(e.Status), char(e.Data1), char(e.Data2)};
        text += (e.ImpliedStatus ? "~" : "") + QByteArray(bytes, 3).toHex(' ').toStdString();
    } else {
        text += e.Form == TEntryForm::Stray ? "? " : e.ContinuesMessage ? "+ " : "x ";
        text += record.PieceBytes(e.Piece).toByteArray().toHex(' ').toStdString();
    }
    return text;
}

TEST(MessageRecord, KeepsEachEntryWithItsDirectionAndTime)
{
    TMessageRecord record;
    record.AppendShort(TDirection::In, 0, 0x90, 0x3C, 0x7F);
    record.AppendShort(TDirection::Out, 1'500, 0xC0, 0x05, 0x00);
    record.AppendSysex(TDirection::In, 2'000'001, Bytes("f07e7f0901f7"));
    record.AppendStream(TDirection::Out, 3'000'000, Bytes("b0077f0a40"));
    ASSERT_EQ(record.Count(), 5u);
    const std::vector<std::string> expected = {"in 90 3c 7f", "out c0 05 00", "in x f0 7e 7f 09 01 f7",
                                               "out b0 07 7f", "out ~b0 0a 40"};
    const std::vector<int64_t> times = {0, 1'500, 2'000'001, 3'000'000, 3'000'000};
    for (size_t i = 0; i < record.Count(); ++i) {
        EXPECT_EQ(Describe(record, i), expected[i]) << i;
        EXPECT_EQ(record.Time(i), times[i]) << i;
    }
}

// 32 bits of microseconds hold 35 minutes either way; an overnight record, a message stamped
// before the clear and times that step back (a sent message stamped after a received one that
// the window took later) must all read back exactly.
TEST(MessageRecord, TimesReadBackExactlyOverAnySpanAndOrder)
{
    const int64_t hour = 3'600'000'000;
    const std::vector<int64_t> times = {-2'000, 0, 17, 16, 35 * 60 * 1'000'000LL, 36 * 60 * 1'000'000LL,
                                        hour, 12 * hour + 1, 12 * hour - 40 * 60 * 1'000'000LL, 12 * hour + 2,
                                        30 * 24 * hour, 30 * 24 * hour + 999, 5};
    TMessageRecord record;
    for (int64_t time : times)
        ASSERT_TRUE(record.AppendShort(TDirection::In, time, 0xF8, 0, 0));
    for (size_t i = 0; i < times.size(); ++i)
        EXPECT_EQ(record.Time(i), times[i]) << i;
}

TEST(MessageRecord, MonotonicMomentsAsTimesSinceTheClear)
{
    TMessageRecord record;
    const auto cleared = std::chrono::steady_clock::time_point(std::chrono::seconds(1'000));
    record.Clear(QDateTime::currentDateTime(), cleared);
    EXPECT_EQ(record.SinceClear(cleared + std::chrono::microseconds(1'500)), 1'500);
    EXPECT_EQ(record.SinceClear(cleared - std::chrono::milliseconds(2)), -2'000);
    EXPECT_EQ(record.SinceClear(cleared + std::chrono::hours(30)), 30LL * 3'600'000'000);
}

TEST(MessageRecord, TimesOfManyEntriesAcrossBlocks)
{
    TMessageRecord record;
    const size_t count = 200'000;  // past the first block of entries
    for (size_t i = 0; i < count; ++i)
        record.AppendShort(TDirection::In, int64_t(i) * 10'007, 0x90, uint8_t(i % 128), 0x40);
    for (size_t i : {size_t(0), size_t(65'535), size_t(65'536), size_t(131'073), count - 1}) {
        EXPECT_EQ(record.Time(i), int64_t(i) * 10'007) << i;
        EXPECT_EQ(record.At(i).Data1, uint8_t(i % 128)) << i;
    }
}

// One message in pieces, as the input port hands a long one over, with a clock between them.
TEST(MessageRecord, PiecesOfOneMessageJoin)
{
    TMessageRecord record;
    record.AppendSysex(TDirection::In, 10, Bytes("f0410010"));
    record.AppendShort(TDirection::In, 11, 0xF8, 0, 0);  // real-time: the message goes on
    record.AppendSysex(TDirection::Out, 12, Bytes("f07e7f0901f7"));  // the other direction's own
    record.AppendSysex(TDirection::In, 13, Bytes("4212"));
    record.AppendSysex(TDirection::In, 14, Bytes("400000f7"));
    record.AppendSysex(TDirection::In, 15, Bytes("0102"));  // nothing open: a piece on its own

    EXPECT_EQ(Describe(record, 3), "in + 42 12");
    EXPECT_EQ(Describe(record, 4), "in + 40 00 00 f7");
    EXPECT_EQ(Describe(record, 5), "in x 01 02");
    for (size_t i : {3, 4})
        EXPECT_EQ(record.MessageStart(i), 0u);
    EXPECT_EQ(record.MessageStart(1), 1u);
    EXPECT_EQ(record.MessageStart(2), 2u);
    EXPECT_EQ(record.MessageStart(5), 5u);
    EXPECT_EQ(record.MessageBytes(0), Bytes("f04100104212400000f7"));
    EXPECT_EQ(record.MessageSize(0), 10);
    EXPECT_TRUE(record.MessageComplete(0));
    EXPECT_EQ(record.MessageBytes(2), Bytes("f07e7f0901f7"));
    EXPECT_FALSE(record.MessageComplete(5));
}

TEST(MessageRecord, AStatusByteEndsAnOpenMessage)
{
    TMessageRecord record;
    record.AppendSysex(TDirection::In, 0, Bytes("f04100"));
    record.AppendShort(TDirection::In, 1, 0x90, 0x3C, 0x7F);
    record.AppendSysex(TDirection::In, 2, Bytes("10f7"));
    EXPECT_EQ(record.MessageStart(2), 2u);
    EXPECT_FALSE(record.MessageComplete(0));
    EXPECT_EQ(record.MessageBytes(0), Bytes("f04100"));
}

TEST(MessageRecord, AStreamsPiecesJoinToo)
{
    TMessageRecord record;
    record.AppendStream(TDirection::Out, 0, Bytes("f041104212"));
    record.AppendStream(TDirection::Out, 5'000, Bytes("40007f0041f7903c7f"));
    ASSERT_EQ(record.Count(), 3u);
    EXPECT_EQ(record.MessageBytes(0), Bytes("f041104212") + Bytes("40007f0041f7"));
    EXPECT_EQ(record.Time(1), 5'000);
    EXPECT_EQ(Describe(record, 2), "out 90 3c 7f");
}

// A message sent on its own between two raw packets is a status on the wire: the next packet's
// data bytes take it as their running status.
TEST(MessageRecord, ASentShortMessageSetsTheStreamsRunningStatus)
{
    TMessageRecord record;
    record.AppendStream(TDirection::Out, 0, Bytes("903c7f"));
    record.AppendShort(TDirection::Out, 1, 0xB0, 0x07, 0x64);
    record.AppendStream(TDirection::Out, 2, Bytes("0a40"));
    EXPECT_EQ(Describe(record, 2), "out ~b0 0a 40");
}

// The memo's .syx and .txt files, written from the record: received messages only, three bytes
// for every short message, one line per piece with a blank after each pair, CR LF after each.
TEST(MessageRecord, WritesTheMemosFilesFromReceivedEntriesOnly)
{
    TMessageRecord record;
    record.AppendShort(TDirection::In, 0, 0x90, 0x3C, 0x7F);
    record.AppendShort(TDirection::Out, 1, 0x90, 0x40, 0x78);
    record.AppendShort(TDirection::In, 2, 0xC0, 0x05, 0x00);
    record.AppendShort(TDirection::In, 3, 0xFA, 0x00, 0x00);
    record.AppendSysex(TDirection::In, 4, Bytes("f07e7f0901f7"));
    record.AppendSysex(TDirection::In, 5, QByteArrayView());
    record.AppendStream(TDirection::Out, 6, Bytes("f0414210f7"));

    EXPECT_EQ(record.ReceivedLineCount(), 5u);
    EXPECT_EQ(record.ReceivedByteCount(), 15);
    EXPECT_EQ(record.ReceivedBytes(), Bytes("903c7f" "c00500" "fa0000" "f07e7f0901f7"));
    EXPECT_EQ(record.ReceivedText(), QByteArray("90 3c 7f\r\nc0 05 00\r\nfa 00 00\r\nf0 7e 7f 09 01 f7 \r\n\r\n"));

    QBuffer file;
    file.open(QIODevice::WriteOnly);
    ASSERT_TRUE(record.WriteReceivedText(file));
    EXPECT_EQ(file.data(), record.ReceivedText());
}

// A disk that fills up: every write fails.
class TFullDevice : public QIODevice {
public:
    TFullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(MessageRecord, WritingToAFullDeviceFails)
{
    TMessageRecord record;
    record.AppendShort(TDirection::In, 0, 0x90, 0x3C, 0x7F);
    TFullDevice full;
    EXPECT_FALSE(record.WriteReceivedBytes(full));
    EXPECT_FALSE(record.WriteReceivedText(full));
}

TEST(MessageRecord, ClearForgetsEverything)
{
    TMessageRecord record;
    record.AppendStream(TDirection::Out, 0, Bytes("903c7ff04142"));  // running status and an open message
    record.AppendSysex(TDirection::In, 1, Bytes("f04142"));
    const uint64_t generation = record.Generation();
    const QDateTime clearedAt = QDateTime::fromString(QStringLiteral("2024-05-01T12:00:00"), Qt::ISODate);
    record.Clear(clearedAt);
    EXPECT_EQ(record.Count(), 0u);
    EXPECT_EQ(record.ReceivedLineCount(), 0u);
    EXPECT_EQ(record.ReceivedByteCount(), 0);
    EXPECT_TRUE(record.ReceivedBytes().isEmpty());
    EXPECT_NE(record.Generation(), generation);
    EXPECT_EQ(record.ClearedAt(), clearedAt);

    record.AppendStream(TDirection::Out, 0, Bytes("3e7f"));  // no running status left
    record.AppendSysex(TDirection::In, 1, Bytes("10f7"));     // no message left open
    EXPECT_EQ(Describe(record, 0), "out ? 3e 7f");
    EXPECT_EQ(Describe(record, 1), "in x 10 f7");
}

TEST(MessageRecord, OneMebibyteMessageInOnePiece)
{
    QByteArray message(1 << 20, '\x11');
    message[0] = char(0xF0);
    message[message.size() - 1] = char(0xF7);
    TMessageRecord record;
    record.AppendSysex(TDirection::In, 0, QByteArrayView("\xF0\x01", 2));  // shares a block
    record.AppendSysex(TDirection::In, 1, message);
    record.AppendSysex(TDirection::In, 2, Bytes("f002f7"));
    EXPECT_EQ(record.MessageBytes(1), message);
    EXPECT_EQ(record.MessageBytes(2), Bytes("f002f7"));
    EXPECT_EQ(record.PieceBytes(record.At(0).Piece).toByteArray(), Bytes("f001"));
}

// The size that lets a monitor run overnight: 8 bytes a short message with its time, however
// the times are spread; a system exclusive piece its bytes and a small fixed cost.
TEST(MessageRecord, ShortMessagesTakeAtMostTwelveBytesEach)
{
    TMessageRecord record;
    const size_t count = 1'000'000;
    for (size_t i = 0; i < count; ++i)
        record.AppendShort(TDirection::In, int64_t(i) * 3'000'000, 0x90, 0x3C, 0x7F);  // 35 days
    EXPECT_LE(record.MemoryUsed(), count * 12);

    TMessageRecord sysex;
    for (size_t i = 0; i < 10'000; ++i)
        sysex.AppendSysex(TDirection::In, int64_t(i), Bytes("f07e7f0901f7"));
    EXPECT_LE(sysex.MemoryUsed(), 10'000 * (6 + 40) + (1 << 20) + 65'536 * 8);
}

} // namespace
