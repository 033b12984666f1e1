// Hexadecimal text of the Binary page: reading, writing and cutting into packets.
#include "HexText.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

struct THexCase {
    const char* Name;
    QString Text;
    QByteArray Expected;
    bool Odd;
};

class HexTextToBytesTable : public testing::TestWithParam<THexCase> {};

TEST_P(HexTextToBytesTable, PairsTheDigitsInOrder)
{
    const THexCase& c = GetParam();
    const THexBytes result = HexTextToBytes(c.Text);
    EXPECT_EQ(result.Bytes.toHex(' '), c.Expected.toHex(' '));
    EXPECT_EQ(result.OddDigitCount, c.Odd);
}

const THexCase HexCases[] = {
    {"Separated", "F0 7E 7F 09 01 F7", Bytes("F07E7F0901F7"), false},
    {"PairAcrossBlank", "9 03C", Bytes("903C"), false},
    {"NoSeparators", "F07E7F", Bytes("F07E7F"), false},
    {"Lowercase", "f0 7e 7f 09 01 f7", Bytes("F07E7F0901F7"), false},
    {"LineBreaksAndPunctuation", "90,3c;\r\n7f\tXYZ-80", Bytes("903C7F80"), false},
    {"BlanksOnly", "   \r\n ", {}, false},
    {"Empty", "", {}, false},
    {"LettersBeyondFAreSkipped", "G1H2", Bytes("12"), false},
    {"FullWidthDigitsAreNotDigits", "０１F0 ＦＦ 41", Bytes("F041"), false},
    {"JapaneseTextIsSkipped", "音色 F0 アイウ F7", Bytes("F0F7"), false},
    {"OddCount", "F0 7", {}, true},
    {"OddSingleDigit", "A", {}, true},
};

INSTANTIATE_TEST_SUITE_P(Table, HexTextToBytesTable, testing::ValuesIn(HexCases),
    [](const testing::TestParamInfo<THexCase>& info) { return std::string(info.param.Name); });

TEST(HexText, CountsHexDigitsOfBothCases)
{
    EXPECT_EQ(CountHexDigits("f0 7E 7f\r\nxyz 0"), 7);
    EXPECT_EQ(CountHexDigits("   "), 0);
    EXPECT_EQ(CountHexDigits("ＦＦ gG"), 0);
}

TEST(HexText, WritesLowercasePairs)
{
    const QByteArray bytes = Bytes("F0430A4C00007E00F7");
    EXPECT_EQ(BytesToHexLine(bytes), "f0 43 0a 4c 00 00 7e 00 f7");
    EXPECT_EQ(SysexMonitorLine(bytes), "f0 43 0a 4c 00 00 7e 00 f7 ");
    EXPECT_EQ(BytesToHexLine({}), "");
    EXPECT_EQ(SysexMonitorLine({}), "");
    EXPECT_EQ(ShortMonitorLine(0x90, 0x3C, 0x7F), "90 3c 7f");
    EXPECT_EQ(ShortMonitorLine(0xC0, 0x05, 0x00), "c0 05 00");
    // What is written reads back as the same bytes.
    EXPECT_EQ(HexTextToBytes(BytesToHexLine(bytes).toUpper()).Bytes, bytes);
}

struct TLinesCase {
    const char* Name;
    const char* Hex;
    int BytesPerLine;
    QString Text;
};

class BytesToHexLinesTable : public testing::TestWithParam<TLinesCase> {};

TEST_P(BytesToHexLinesTable, CutsAfterF7AndAtTheLineLength)
{
    const QByteArray bytes = Bytes(GetParam().Hex);
    const QString text = BytesToHexLines(bytes, GetParam().BytesPerLine);
    EXPECT_EQ(text, GetParam().Text);
    // Only where the lines break differs from the single line; the bytes read back the same.
    EXPECT_EQ(QString(text).replace(u'\n', u' '), BytesToHexLine(bytes));
    EXPECT_EQ(HexTextToBytes(text.toUpper()).Bytes, bytes);
}

const TLinesCase LinesCases[] = {
    {"Empty", "", 4, ""},
    {"OneShortMessage", "F07E7F0901F7", 8, "f0 7e 7f 09 01 f7"},
    {"OneLinePerMessage", "F07E7F0901F7F0430A4C00007E00F7", 16,
     "f0 7e 7f 09 01 f7\nf0 43 0a 4c 00 00 7e 00 f7"},
    {"ExactlyOneLineLong", "F0010203F7", 5, "f0 01 02 03 f7"},
    {"LongMessageInFixedLines", "F00102030405F7", 3, "f0 01 02\n03 04 05\nf7"},
    {"CountRestartsAfterF7", "F001F7F00203040506F7", 4, "f0 01 f7\nf0 02 03 04\n05 06 f7"},
    {"BytesAfterTheLastF7", "F0F7903C7F803C00", 4, "f0 f7\n90 3c 7f 80\n3c 00"},
    {"EndsWithF7NoBreakAfter", "F7F7", 4, "f7\nf7"},
    {"LengthBelowOneIsOne", "010203", 0, "01\n02\n03"},
    // 0F 70 written across a break reads as 0F70, which still pairs as 0F 70.
    {"DigitsFAnd7AcrossABreak", "000F7000", 2, "00 0f\n70 00"},
};
INSTANTIATE_TEST_SUITE_P(Table, BytesToHexLinesTable, testing::ValuesIn(LinesCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(HexText, LinesOfALoadedDumpSendTheSamePackets)
{
    // A dump of several messages, one longer than the line length: sent from its lines it
    // gives exactly the packets the single line gives.
    QByteArray dump;
    for (int size : {6, 300, 11, 1500, 2}) {
        QByteArray message(size, '\x11');
        message[0] = char(0xF0);
        message[size - 1] = char(0xF7);
        dump += message;
    }
    dump += Bytes("903C7F");
    for (int packetSize : {128, 1024})
        EXPECT_EQ(CutForSending(BytesToHexLines(dump, 256), packetSize).Packets,
                  CutForSending(BytesToHexLine(dump), packetSize).Packets);
}

struct TSendCase {
    const char* Name;
    QString Text;
    int PacketSize;
    QList<QByteArray> Packets;
    int OddSections;
};

class CutForSendingTable : public testing::TestWithParam<TSendCase> {};

TEST_P(CutForSendingTable, CutsAfterF7ThenIntoPackets)
{
    const TSendCase& c = GetParam();
    const TSendPlan plan = CutForSending(c.Text, c.PacketSize);
    EXPECT_EQ(plan.Packets, c.Packets);
    EXPECT_EQ(plan.OddSections, c.OddSections);
}

const TSendCase SendCases[] = {
    {"TwoSysexMessages", "F0 41 10 42 12 40 00 7F 00 41 F7 F0 7E 7F 09 01 F7", 1024,
        {Bytes("F04110421240007F0041F7"), Bytes("F07E7F0901F7")}, 0},
    {"ShortMessagesOverTwoLinesAreOnePacket", "90 3C 7F\r\n80 3C 00", 1024, {Bytes("903C7F803C00")}, 0},
    {"DigitsPairAcrossLines", "F0 7\r\nE 7F 09 01 F7", 128, {Bytes("F07E7F0901F7")}, 0},
    {"F7InsideOtherBytesIsNoCut", "0F70F7", 128, {Bytes("0F70F7")}, 0},
    {"F7AcrossBlankIsOneByte", "F 7 90 3C 7F", 128, {Bytes("F7"), Bytes("903C7F")}, 0},
    {"LowercaseF7Cuts", "f0 01 f7 f0 02 f7", 128, {Bytes("F001F7"), Bytes("F002F7")}, 0},
    {"RestAfterLastF7", "F0 01 F7 90 3C 7F", 128, {Bytes("F001F7"), Bytes("903C7F")}, 0},
    {"OddLastSectionLeftOut", "F0 01 F7 90 3C 7", 128, {Bytes("F001F7")}, 1},
    {"LoneDigitAfterF7LeftOut", "F0 01 F7 9", 128, {Bytes("F001F7")}, 1},
    {"OddOnlySection", "F0 7E 7F 09 01 F", 128, {}, 1},
    {"BlanksOnly", "  \r\n  ", 128, {}, 0},
    {"Empty", "", 128, {}, 0},
    {"SectionCutIntoPackets", "F0 01 02 03 04 F7", 4, {Bytes("F0010203"), Bytes("04F7")}, 0},
    {"EachSectionCutOnItsOwn", "F0 01 02 F7 F0 03 F7", 3, {Bytes("F00102"), Bytes("F7"), Bytes("F003F7")}, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, CutForSendingTable, testing::ValuesIn(SendCases),
    [](const testing::TestParamInfo<TSendCase>& info) { return std::string(info.param.Name); });

QString HexOfLength(int bytes)
{
    QString text;
    for (int i = 0; i < bytes; ++i)
        text += QStringLiteral("%1 ").arg(i % 0x7F, 2, 16, QLatin1Char('0'));  // never F7
    return text;
}

TEST(HexText, LongSectionsGiveFullPacketsAndTheRest)
{
    const TSendPlan odd = CutForSending(HexOfLength(2049), 1024);
    ASSERT_EQ(odd.Packets.size(), 3);
    EXPECT_EQ(odd.Packets[0].size(), 1024);
    EXPECT_EQ(odd.Packets[1].size(), 1024);
    EXPECT_EQ(odd.Packets[2].size(), 1);
    EXPECT_EQ(odd.Packets[0] + odd.Packets[1] + odd.Packets[2], HexTextToBytes(HexOfLength(2049)).Bytes);

    const TSendPlan exact = CutForSending(HexOfLength(2048), 1024);
    ASSERT_EQ(exact.Packets.size(), 2);
    EXPECT_EQ(exact.Packets[0].size(), 1024);
    EXPECT_EQ(exact.Packets[1].size(), 1024);
}

TEST(HexText, SectionsAreTheWholeMessages)
{
    const TSendPlan plan = CutForSending("F0 01 02 03 F7 F0 04 F7 90", 2);
    EXPECT_EQ(plan.Sections, QList<QByteArray>({Bytes("F0010203F7"), Bytes("F004F7"), Bytes("90")}));
}

TEST(HexText, PacketSizeBelowOneCountsAsOne)
{
    EXPECT_EQ(CutIntoPackets(Bytes("F001F7"), 0), QList<QByteArray>({Bytes("F0"), Bytes("01"), Bytes("F7")}));
    EXPECT_TRUE(CutIntoPackets({}, 128).isEmpty());
}

struct TBreakCase {
    const char* Name;
    QByteArray Text;
    QByteArray Expected;
};

class NormalizeLineBreaksTable : public testing::TestWithParam<TBreakCase> {};

TEST_P(NormalizeLineBreaksTable, MakesEveryBreakCrLf)
{
    EXPECT_EQ(NormalizeLineBreaks(GetParam().Text), GetParam().Expected);
}

const TBreakCase BreakCases[] = {
    {"CrLfStays", "a\r\nb\r\n", "a\r\nb\r\n"},
    {"LoneLf", "a\nb\n", "a\r\nb\r\n"},
    {"LoneCr", "a\rb\r", "a\r\nb\r\n"},
    {"LfThenCr", "a\n\rb", "a\r\n\r\nb"},
    {"CrCrLf", "a\r\r\nb", "a\r\n\r\nb"},
    {"NoBreaks", "f0 7e", "f0 7e"},
    {"Empty", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Table, NormalizeLineBreaksTable, testing::ValuesIn(BreakCases),
    [](const testing::TestParamInfo<TBreakCase>& info) { return std::string(info.param.Name); });

}  // namespace
