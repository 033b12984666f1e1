// Checksums of Roland data sets and Yamaha bulk dumps: which messages are checked, right or wrong,
// where they stand in the memo's text, how fixing changes only the sums, and that the editor's
// index, changed edit by edit, always agrees with a fresh reading of the whole text.
#include "ChecksumIndex.h"
#include "SysexChecksums.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <optional>

namespace {

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// A DX7 bank of 32 voices: count 20 00 (4096 data bytes), no address. The data is 05 and zeros,
// so its sum is 7B; with the count taken in it would be 5B.
QByteArray Dx7Bank(uint8_t sum)
{
    QByteArray bytes = Bytes("F043000920");
    bytes += QByteArray(1, '\0');
    bytes += char(0x05);
    bytes += QByteArray(4095, '\0');
    bytes += char(sum);
    bytes += char(0xF7);
    return bytes;
}

struct TMessageCase {
    const char* Name;
    QByteArray Bytes;
    // The verdict on the one message of the case, or none when it is not checked.
    std::optional<TChecksumVerdict> Verdict;
};

constexpr auto Roland = TChecksumMaker::Roland;
constexpr auto Yamaha = TChecksumMaker::Yamaha;

class ChecksumOfOneMessage : public testing::TestWithParam<TMessageCase> {};

TEST_P(ChecksumOfOneMessage, IsCheckedByItsMakersRule)
{
    const TMessageCase& c = GetParam();
    const QList<TChecksumMessage> found = FindChecksumMessages(c.Bytes);
    if (!c.Verdict) {
        EXPECT_TRUE(found.isEmpty());
        EXPECT_EQ(FixChecksums(c.Bytes).toHex(' '), c.Bytes.toHex(' '));
        return;
    }
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].Offset, 0);
    EXPECT_EQ(found[0].Length, c.Bytes.size());
    EXPECT_EQ(found[0].Verdict, *c.Verdict);
    // Fixing sets the byte before F7 and nothing else, and a fixed message reads as right.
    QByteArray fixed = c.Bytes;
    fixed[fixed.size() - 2] = char(c.Verdict->Expected);
    EXPECT_EQ(FixChecksums(c.Bytes).toHex(' '), fixed.toHex(' '));
    ASSERT_EQ(FindChecksumMessages(fixed).size(), 1);
    EXPECT_TRUE(FindChecksumMessages(fixed)[0].Verdict.Right());
}

const TMessageCase MessageCases[] = {
    {"GsReset", Bytes("F04110421240007F0041F7"), TChecksumVerdict{Roland, 0x41, 0x41}},
    {"GsResetWrongSum", Bytes("F04110421240007F0042F7"), TChecksumVerdict{Roland, 0x42, 0x41}},
    {"GsResetZeroSum", Bytes("F04110421240007F0000F7"), TChecksumVerdict{Roland, 0x00, 0x41}},
    // Master volume: a 3-byte address and a single data byte.
    {"OneDataByte", Bytes("F0411042124000047F3DF7"), TChecksumVerdict{Roland, 0x3D, 0x3D}},
    // A 4-byte address behind a 4-byte model ID (00 00 00 0E).
    {"FourByteAddressLongModel", Bytes("F041100000000E12180020067F43F7"), TChecksumVerdict{Roland, 0x43, 0x43}},
    {"FourByteAddressWrong", Bytes("F041100000000E12180020067F44F7"), TChecksumVerdict{Roland, 0x44, 0x43}},
    // 40 + 11 + 15 + 1A is 80: the sum is 00.
    {"SumIsZero", Bytes("F0411042124011151A00F7"), TChecksumVerdict{Roland, 0x00, 0x00}},
    // 40 + 01 + 00 + 4 x 7F passes 128 four times.
    {"SumWrapsSeveralTimes", Bytes("F0411042124001007F7F7F7F43F7"), TChecksumVerdict{Roland, 0x43, 0x43}},
    {"DeviceBroadcast", Bytes("F0417F421240007F0041F7"), TChecksumVerdict{Roland, 0x41, 0x41}},
    {"RolandNoF7", Bytes("F04110421240007F0041"), std::nullopt},
    {"RolandNoSum", Bytes("F0411042124000F7"), std::nullopt},
    {"RolandRequestIsNotADataSet", Bytes("F04110421140007F0000013FF7"), std::nullopt},
    {"RolandWithoutModelOrCommand", Bytes("F0411040007F0041F7"), std::nullopt},
    {"RealTimeByteInsideLeavesItAlone", Bytes("F04110421240007FF80041F7"), std::nullopt},
    {"NoteInsideLeavesItAlone", Bytes("F04110421240903C7F41F7"), std::nullopt},
    // XG: count 3, address 08 00 01, data 00 00 01; 03 + 08 + 01 + 01 + 73 is 80.
    {"YamahaXgBulk", Bytes("F043004C000308000100000173F7"), TChecksumVerdict{Yamaha, 0x73, 0x73}},
    {"YamahaXgBulkWrong", Bytes("F043004C000308000100000170F7"), TChecksumVerdict{Yamaha, 0x70, 0x73}},
    {"YamahaDeviceNumberKept", Bytes("F0430F4C000308000100000173F7"), TChecksumVerdict{Yamaha, 0x73, 0x73}},
    // Count 4 with no address: the four data bytes and the sum alone (1 + 2 + 3 + 4 + 76 is 80).
    {"YamahaWithoutAddressSumsDataOnly", Bytes("F043000300040102030476F7"), TChecksumVerdict{Yamaha, 0x76, 0x76}},
    {"YamahaWithoutAddressWrong", Bytes("F043000300040102030472F7"), TChecksumVerdict{Yamaha, 0x72, 0x76}},
    {"Dx7Bank", Dx7Bank(0x7B), TChecksumVerdict{Yamaha, 0x7B, 0x7B}},
    {"Dx7BankSummedWithItsCount", Dx7Bank(0x5B), TChecksumVerdict{Yamaha, 0x5B, 0x7B}},
    // A two-byte model (7F 03): count 2, address 0E 70 00, data 01 02.
    {"YamahaTwoByteModel", Bytes("F043007F0300020E700001027DF7"), TChecksumVerdict{Yamaha, 0x7D, 0x7D}},
    {"YamahaParameterChangeHasNoSum", Bytes("F043104C00007E00F7"), std::nullopt},
    {"YamahaCountDoesNotFit", Bytes("F043004C000908000100000173F7"), std::nullopt},
    {"YamahaAddressTooLong", Bytes("F043004C000101020304050010F7"), std::nullopt},
    {"YamahaNoF7", Bytes("F043004C000308000100000173"), std::nullopt},
    {"UniversalGmOn", Bytes("F07E7F0901F7"), std::nullopt},
    {"Korg", Bytes("F042304E0000F7"), std::nullopt},
    {"NotSystemExclusive", Bytes("903C7F12400041F7"), std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Table, ChecksumOfOneMessage, testing::ValuesIn(MessageCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Checksums, EveryMessageOfADumpIsFoundWhereItStands)
{
    const QByteArray dump = Bytes("F07E7F0901F7"  // 0: another maker, left alone
                                  "F04110421240007F0042F7"  // 6: wrong
                                  "903C7F"  // 17
                                  "F04110421240"  // 20: cut short by the next F0
                                  "F043004C000308000100000173F7"  // 26: right
                                  "F0411042124000047F00F7");  // 40: wrong
    const QList<TChecksumMessage> found = FindChecksumMessages(dump);
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0], (TChecksumMessage{6, 11, {Roland, 0x42, 0x41}}));
    EXPECT_EQ(found[1], (TChecksumMessage{26, 14, {Yamaha, 0x73, 0x73}}));
    EXPECT_EQ(found[2], (TChecksumMessage{40, 11, {Roland, 0x00, 0x3D}}));
    QByteArray fixed = dump;
    fixed[15] = char(0x41);
    fixed[49] = char(0x3D);
    EXPECT_EQ(FixChecksums(dump).toHex(' '), fixed.toHex(' '));
}

// The memo's text: where a wrong message stands, and its sum's digits.

TEST(ChecksumText, AWrongMessageIsFoundByThePositionsOfItsText)
{
    //                         0         1         2         3
    //                         0123456789012345678901234567890123
    const TChecksumIndex index("F0 41 10 42 12 40 00 7F 00 42 F7\n");
    ASSERT_EQ(index.WrongMessages().size(), 1u);
    const TWrongChecksum& w = index.WrongMessages()[0];
    EXPECT_EQ(w.Start, 0);
    EXPECT_EQ(w.End, 32);
    EXPECT_EQ(w.SumHigh, 27);
    EXPECT_EQ(w.SumLow, 28);
    EXPECT_EQ(w.Verdict, (TChecksumVerdict{Roland, 0x42, 0x41}));
    EXPECT_EQ(index.DigitCount(), 22);
}

TEST(ChecksumText, PairsAreReadAsSendingReadsThem)
{
    // Pairs across blanks and lines; the sum's digits apart.
    const TChecksumIndex apart("xx F0 4 110 42\n12 40 00 7F 00 4\n3F7");
    ASSERT_EQ(apart.WrongMessages().size(), 1u);
    EXPECT_EQ(apart.WrongMessages()[0].Start, 3);
    EXPECT_EQ(apart.WrongMessages()[0].End, 35);
    EXPECT_EQ(apart.WrongMessages()[0].SumHigh, 30);
    EXPECT_EQ(apart.WrongMessages()[0].SumLow, 32);
    // A stray digit before the message shifts every pair after it: nothing there is a data set
    // when it is sent, so nothing is marked.
    EXPECT_TRUE(TChecksumIndex("0 F0 41 10 42 12 40 00 7F 00 42 F7").WrongMessages().empty());
    // Without its F7 (still being typed) a message is not marked; with it, it is.
    EXPECT_TRUE(TChecksumIndex("F0 41 10 42 12 40 00 7F 00 42").WrongMessages().empty());
    EXPECT_TRUE(TChecksumIndex("F0 41 10 42 12 40 00 7F 00 42 F").WrongMessages().empty());
    EXPECT_EQ(TChecksumIndex("F0 41 10 42 12 40 00 7F 00 42 F7").WrongMessages().size(), 1u);
    // Full-width digits are no digits, as for sending: the sum is the 00 before them.
    const TChecksumIndex fullWidth("F0 41 10 42 12 40 00 7F 00 ４１ F7");
    ASSERT_EQ(fullWidth.WrongMessages().size(), 1u);
    EXPECT_EQ(fullWidth.WrongMessages()[0].SumHigh, 24);
    EXPECT_EQ(fullWidth.WrongMessages()[0].Verdict, (TChecksumVerdict{Roland, 0x00, 0x41}));
}

TEST(ChecksumText, MessagesInViewAreThoseWithACharacterThere)
{
    const QString line = "F0 41 10 42 12 40 00 7F 00 42 F7\n";  // 33 characters, wrong
    const TChecksumIndex index(line + "F0 7E 7F 09 01 F7\n" + line + line);  // at 0, 51, 84
    ASSERT_EQ(index.WrongMessages().size(), 3u);
    const auto starts = [&](qsizetype from, qsizetype to) {
        std::vector<qsizetype> result;
        for (const TWrongChecksum& w : index.WrongMessagesBetween(from, to))
            result.push_back(w.Start);
        return result;
    };
    EXPECT_EQ(starts(0, 1000), (std::vector<qsizetype>{0, 51, 84}));
    EXPECT_EQ(starts(31, 32), (std::vector<qsizetype>{0}));  // the F7's last digit
    EXPECT_EQ(starts(32, 51), (std::vector<qsizetype>{}));  // the line break and the other message
    EXPECT_EQ(starts(50, 52), (std::vector<qsizetype>{51}));
    EXPECT_EQ(starts(60, 90), (std::vector<qsizetype>{51, 84}));
    EXPECT_EQ(starts(90, 90), (std::vector<qsizetype>{}));
}

struct TFixCase {
    const char* Name;
    QString Text;
    QString Fixed;
};

class FixChecksumText : public testing::TestWithParam<TFixCase> {};

TEST_P(FixChecksumText, ChangesOnlyTheDigitsOfWrongSums)
{
    const TFixCase& c = GetParam();
    EXPECT_EQ(FixChecksums(c.Text), c.Fixed);
    EXPECT_TRUE(TChecksumIndex(c.Fixed).WrongMessages().empty());
    EXPECT_TRUE(TChecksumIndex(c.Fixed).FixEdits().isEmpty());
}

const TFixCase FixCases[] = {
    {"BothDigits", "F0 41 10 42 12 40 00 7F 00 00 F7", "F0 41 10 42 12 40 00 7F 00 41 F7"},
    {"OneDigitOnly", "F0 41 10 42 12 40 00 7F 00 47 F7", "F0 41 10 42 12 40 00 7F 00 41 F7"},
    {"NewLetterFollowsAnUppercaseF0", "F0 41 10 42 12 40 00 04 7F 00 F7", "F0 41 10 42 12 40 00 04 7F 3D F7"},
    {"NewLetterFollowsALowercaseF0", "f0 41 10 42 12 40 00 04 7f 00 f7", "f0 41 10 42 12 40 00 04 7f 3d f7"},
    {"ALetterKeepsItsCase", "F0 41 10 42 12 40 00 04 7F 3a F7", "F0 41 10 42 12 40 00 04 7F 3d F7"},
    {"LayoutKept", "F041104212\r\n40007F004\r\n  2F7 ", "F041104212\r\n40007F004\r\n  1F7 "},
    {"Yamaha", "F0 43 00 4C 00 03 08 00 01 00 00 01 70 F7", "F0 43 00 4C 00 03 08 00 01 00 00 01 73 F7"},
    {"OthersUntouched",
     "F0 7E 7F 09 01 F7\nF0 41 10 42 12 40 00 7F 00 00 F7\n90 3C 7F\nF0 41 10 42 12 40 00 7F 00 41 F7\n"
     "F0 43 10 4C 00 00 7E 00 F7\nF0 41 10 42 11 40 00 7F 00 00 01 00 F7\nF0 41 10 42 12 40 00 7F 00 1",
     "F0 7E 7F 09 01 F7\nF0 41 10 42 12 40 00 7F 00 41 F7\n90 3C 7F\nF0 41 10 42 12 40 00 7F 00 41 F7\n"
     "F0 43 10 4C 00 00 7E 00 F7\nF0 41 10 42 11 40 00 7F 00 00 01 00 F7\nF0 41 10 42 12 40 00 7F 00 1"},
    {"NothingWrong", "F0 41 10 42 12 40 00 7F 00 41 F7 音色", "F0 41 10 42 12 40 00 7F 00 41 F7 音色"},
    {"Empty", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Table, FixChecksumText, testing::ValuesIn(FixCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ChecksumText, FixEditsNameEachChangedCharacter)
{
    const TChecksumIndex index("F0 41 10 42 12 40 00 04 7F 00 F7\nf0 41 10 42 12 40 00 7f 00 47 f7");
    EXPECT_EQ(index.FixEdits(), (QList<TDigitEdit>{{27, u'3'}, {28, u'D'}, {61, u'1'}}));
}

// The index after a change agrees with a fresh reading of the new text, and the range it
// returns holds every difference between the old marks (moved by the change) and the new.
void ExpectAgreesWithFreshReading(const TChecksumIndex& before, const TChecksumIndex& after, qsizetype position,
                                  qsizetype removed, qsizetype added, TTextRange range)
{
    const TChecksumIndex fresh(after.Text());
    ASSERT_EQ(after.WrongMessages(), fresh.WrongMessages()) << "after a change at " << position;
    ASSERT_EQ(after.DigitCount(), fresh.DigitCount());
    ASSERT_EQ(after.FixEdits(), fresh.FixEdits());
    std::vector<TWrongChecksum> moved;
    for (TWrongChecksum w : before.WrongMessages()) {
        if (w.End <= position) {
            moved.push_back(w);
        } else if (w.Start >= position + removed) {
            const qsizetype shift = added - removed;
            w.Start += shift;
            w.End += shift;
            w.SumHigh += shift;
            w.SumLow += shift;
            moved.push_back(w);
        }
    }
    const auto inRange = [&](const TWrongChecksum& w) { return w.Start >= range.From && w.End <= range.To; };
    for (const TWrongChecksum& w : fresh.WrongMessages()) {
        if (std::find(moved.begin(), moved.end(), w) == moved.end()) {
            ASSERT_TRUE(inRange(w)) << "a new mark at " << w.Start << " outside " << range.From << ".." << range.To;
        }
    }
    for (const TWrongChecksum& w : moved) {
        if (std::find(fresh.WrongMessages().begin(), fresh.WrongMessages().end(), w) == fresh.WrongMessages().end()) {
            ASSERT_TRUE(inRange(w)) << "a lost mark at " << w.Start << " outside " << range.From << ".." << range.To;
        }
    }
}

struct TEditCase {
    const char* Name;
    QString Text;
    qsizetype Position;
    qsizetype Removed;
    QString Added;
    size_t WrongAfter;
};

class ChecksumIndexEdit : public testing::TestWithParam<TEditCase> {};

TEST_P(ChecksumIndexEdit, AgreesWithAFreshReading)
{
    const TEditCase& c = GetParam();
    const TChecksumIndex before(c.Text);
    TChecksumIndex after = before;
    const TTextRange range = after.Replace(c.Position, c.Removed, c.Added);
    ExpectAgreesWithFreshReading(before, after, c.Position, c.Removed, c.Added.size(), range);
    EXPECT_EQ(after.WrongMessages().size(), c.WrongAfter);
}

const QString Gs = "F0 41 10 42 12 40 00 7F 00 41 F7\n";  // right, 33 characters
const QString GsWrong = "F0 41 10 42 12 40 00 7F 00 42 F7\n";

const TEditCase EditCases[] = {
    {"TypingTheF7", "F0 41 10 42 12 40 00 7F 00 42 ", 30, 0, "F7", 1},
    {"TypingTheSumRight", GsWrong, 28, 1, "1", 0},
    {"BreakingTheSum", Gs + Gs + Gs, 33 + 28, 1, "3", 1},
    {"StrayDigitShiftsTheRest", Gs + GsWrong + GsWrong, 33, 0, "0", 0},
    {"StrayDigitRemoved", "0" + Gs + GsWrong + GsWrong, 0, 1, "", 2},
    {"LineBreakInsideAMessage", GsWrong + GsWrong, 33 + 14, 0, "\n", 2},
    {"MessageCutInTwo", GsWrong + GsWrong, 33 + 17, 0, "F0 ", 1},
    {"PasteOfSeveralMessages", Gs, 33, 0, GsWrong + Gs + GsWrong, 2},
    {"DeleteAll", GsWrong + GsWrong, 0, 66, "", 0},
    {"BeyondTheEndIsAtTheEnd", Gs, 500, 10, GsWrong, 1},
    {"ReplaceEverything", GsWrong, 0, 33, Gs + GsWrong, 1},
};

INSTANTIATE_TEST_SUITE_P(Table, ChecksumIndexEdit, testing::ValuesIn(EditCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Many messages over many checkpoints, then random edits of the kinds typing and pasting make:
// after every one the index must agree with a fresh reading.
TEST(ChecksumIndex, RandomEditsAgreeWithAFreshReading)
{
    const QStringList pieces = {Gs, GsWrong, "F0 43 00 4C 00 03 08 00 01 00 00 01 70 F7\n",
                                "F0 43 00 4C 00 03 08 00 01 00 00 01 73 F7\n", "F0 7E 7F 09 01 F7\n", "90 3C 7F\n",
                                "F0 41 10 42 12 40 00 04 7F 3D F7 ", "f0 41 10 00 00 00 0e 12 18 00 20 06 7f 40 f7\n"};
    QRandomGenerator random(20240611);  // fixed: a failure reproduces
    QString text;
    while (text.size() < 30000)
        text += pieces[random.bounded(pieces.size())];
    TChecksumIndex index(text);
    ASSERT_GT(index.WrongMessages().size(), 100u);

    const QStringList typed = {"0", "7", "F", "f", " ", "\n", "F7", "F0", "4", "12"};
    for (int round = 0; round < 3000; ++round) {
        const qsizetype size = index.Text().size();
        // Now and then at the very start, where both readings begin.
        const qsizetype position = random.bounded(round % 8 == 0 ? std::min<qsizetype>(size + 1, 40) : size + 1);
        qsizetype removed = 0;
        QString added;
        switch (random.bounded(4)) {
        case 0:  // a keystroke
            added = typed[random.bounded(typed.size())];
            break;
        case 1:  // a backspace or a deleted selection
            removed = std::min<qsizetype>(size - position, random.bounded(1, 80));
            break;
        case 2:  // a digit typed over
            removed = std::min<qsizetype>(size - position, 1);
            added = typed[random.bounded(4)];
            break;
        default:  // a paste
            removed = std::min<qsizetype>(size - position, random.bounded(3));
            added = pieces[random.bounded(pieces.size())];
            break;
        }
        const TChecksumIndex before = index;
        const TTextRange range = index.Replace(position, removed, added);
        ASSERT_NO_FATAL_FAILURE(ExpectAgreesWithFreshReading(before, index, position, removed, added.size(), range))
            << "round " << round;
    }
}

TEST(ChecksumIndex, AChangeReadsOnlyNearby)
{
    // 3,000 right data sets. A wrong sum typed in the middle, or a stray digit that shifts every
    // later pair, is found by reading a little of the text, not all of it.
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += Gs;
    TChecksumIndex index(text);
    EXPECT_EQ(index.LastReadLength(), 2 * text.size());
    const qsizetype middle = 1500 * Gs.size();

    const TTextRange sum = index.Replace(middle + 28, 1, u"2");
    ASSERT_EQ(index.WrongMessages().size(), 1u);
    EXPECT_EQ(index.WrongMessages()[0].Start, middle);
    EXPECT_LE(sum.From, middle);
    EXPECT_GE(sum.To, middle + Gs.size() - 1);
    EXPECT_LT(sum.To - sum.From, 10000);
    EXPECT_LT(index.LastReadLength(), 20000);

    index.Replace(middle + 33, 0, u"0");
    EXPECT_EQ(index.WrongMessages().size(), 1u);  // the wrong one before the digit stays
    EXPECT_LT(index.LastReadLength(), 20000);
    index.Replace(middle, 0, u"0 ");
    EXPECT_TRUE(index.WrongMessages().empty());
    EXPECT_LT(index.LastReadLength(), 20000);
    index.Replace(middle, 2, {});
    EXPECT_EQ(index.WrongMessages().size(), 1u);
    EXPECT_LT(index.LastReadLength(), 20000);
}

}  // namespace
