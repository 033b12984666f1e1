// What the monitor says a message means: every kind, running status, registered and
// non-registered parameter sequences (interrupted ones too), program names after a bank select,
// system exclusive makers and their well-known messages, Roland checksums right and wrong, and
// the extremes of length. Messages go through a record as a raw stream, so running status and
// the state before each message are those the monitor will use.
#include "Language.h"
#include "MessageMeaning.h"
#include "MidiNames.h"
#include "RecordDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// The program list of the tests: a name for every program, saying which bank it was asked with.
QString ProgramNames(int bankMsb, int bankLsb, int program)
{
    if (program == 127)
        return {};  // a list without that line
    QString name = QStringLiteral("P%1").arg(program);
    if (bankMsb >= 0 || bankLsb >= 0)
        name += QStringLiteral("@%1/%2").arg(bankMsb).arg(bankLsb);
    return name;
}

std::vector<std::string> Meanings(const TMessageRecord& record)
{
    TRecordDecoder decoder(record);
    decoder.SetOptions({ProgramNames, 0});
    std::vector<std::string> meanings;
    for (size_t i = 0; i < record.Count(); ++i)
        meanings.push_back(decoder.Meaning(i).toStdString());
    return meanings;
}

struct TMeaningCase {
    const char* Name;
    const char* Stream;  // hexadecimal, sent as one raw stream
    std::vector<std::string> Expected;  // the meaning of each message, in order
};

class StreamMeanings : public testing::TestWithParam<TMeaningCase> {};

TEST_P(StreamMeanings, SayWhatEachMessageDoes)
{
    TMessageRecord record;
    record.AppendStream(TDirection::In, 0, Bytes(GetParam().Stream));
    EXPECT_EQ(Meanings(record), GetParam().Expected);
}

const TMeaningCase MeaningCases[] = {
    // Notes, named as the keys name them.
    {"NoteOn", "903c64", {"C4 (60) ベロシティ 100"}},
    {"NoteOnWithVelocityZeroEndsTheNote", "903c00", {"C4 (60) ベロシティ 0（ノート・オフ）"}},
    {"NoteOffAtBothEnds", "800028 8f7f40", {"C-1 (0) ベロシティ 40", "G9 (127) ベロシティ 64"}},
    {"SharpOnChannel14", "9d3d7f", {"C#4 (61) ベロシティ 127"}},
    {"PolyphonicPressure", "a03c28", {"C4 (60) = 40"}},
    {"ChannelPressure", "d028", {"40"}},
    // Controllers by number and General MIDI name.
    {"Volume", "b00764", {"7 ボリューム = 100"}},
    {"SustainOnAndOff", "b0407f b0403f", {"64 サスティン = オン", "64 サスティン = オフ"}},
    {"UndefinedController", "b00305", {"3 = 5"}},
    {"LowByteOfModulation", "b02110", {"33 モジュレーション LSB = 16"}},
    {"ChannelModeMessages", "b07800 b07b00 b07e01 b07f00", {"120 オール・サウンド・オフ", "123 オール・ノート・オフ", "126 モノ・モード = 1", "127 ポリ・モード"}},
    {"LocalControl", "b07a00", {"122 ローカル・コントロール = オフ"}},
    // Pitch bend around its centre.
    {"PitchBend", "e00040 e00000 e07f7f e00140", {"0", "-8192", "+8191", "+1"}},
    // Program change, named from the list with the bank selected before it on its channel.
    {"ProgramWithoutBank", "c005", {"5 P5"}},
    {"ProgramAfterBankSelect", "b00001 b02002 c005",
     {"0 バンク・セレクト = 1", "32 バンク・セレクト LSB = 2", "5 P5@1/2（バンク 1:2）"}},
    {"ProgramAfterBankMsbOnly", "b00008 c010", {"0 バンク・セレクト = 8", "16 P16@8/-1（バンク 8:-）"}},
    {"BankOfAnotherChannel", "b10008 c005", {"0 バンク・セレクト = 8", "5 P5"}},
    {"ProgramTheListDoesNotName", "c07f", {"127"}},
    // System common and real-time by name.
    {"TimeCodeQuarterFrame", "f135", {"MIDIタイムコード 3 = 5"}},
    {"SongPosition", "f21001", {"ソング・ポジション 144"}},
    {"SongSelectAndTuneRequest", "f303f6", {"ソング・セレクト 3", "チューン・リクエスト"}},
    {"EndOfExclusiveAlone", "f7", {"エンド・オブ・エクスクルーシブ"}},
    {"UndefinedSystemCommon", "f4f5", {"未定義 (F4)", "未定義 (F5)"}},
    {"RealTime", "f8f9fafbfcfdfeff",
     {"タイミング・クロック", "未定義 (F9)", "スタート", "コンティニュー", "ストップ", "未定義 (FD)", "アクティブ・センシング",
      "システム・リセット"}},
    // Running status, and a real-time byte inside a message.
    {"RunningStatus", "903c64 3e64 4000",
     {"C4 (60) ベロシティ 100", "D4 (62) ベロシティ 100", "E4 (64) ベロシティ 0（ノート・オフ）"}},
    {"ClockInsideANote", "903cf864", {"タイミング・クロック", "C4 (60) ベロシティ 100"}},
    {"DataWithoutStatus", "3c64", {"2バイト"}},
    // Registered parameters: selected by 101/100, set by 6 and 38.
    {"PitchBendRange", "b06500 b06400 b00602 b02600",
     {"101 RPN MSB = 0", "100 RPN LSB = 0", "RPN 0 ピッチベンド・レンジ = 2", "RPN 0 ピッチベンド・レンジ = 2"}},
    {"PitchBendRangeSelectedLowByteFirst", "b06400 b06500 b0060c",
     {"100 RPN LSB = 0", "101 RPN MSB = 0", "RPN 0 ピッチベンド・レンジ = 12"}},
    {"PitchBendRangeWithCents", "b06500 b06400 b00602 b02632",
     {"101 RPN MSB = 0", "100 RPN LSB = 0", "RPN 0 ピッチベンド・レンジ = 2", "RPN 0 ピッチベンド・レンジ = 2.50"}},
    {"FineTuning", "b06500 b06401 b0067f b0267f",
     {"101 RPN MSB = 0", "100 RPN LSB = 1", "RPN 1 ファイン・チューン = +8064", "RPN 1 ファイン・チューン = +8191"}},
    {"CoarseTuning", "b06500 b06402 b00634", {"101 RPN MSB = 0", "100 RPN LSB = 2", "RPN 2 コース・チューン = -12"}},
    {"UnnamedRegisteredParameter", "b06500 b06409 b00605 b02603",
     {"101 RPN MSB = 0", "100 RPN LSB = 9", "RPN 9 = 5", "RPN 9 = 643"}},
    {"NonRegisteredParameter", "b06301 b06208 b00640",
     {"99 NRPN MSB = 1", "98 NRPN LSB = 8", "NRPN 1:8 = 64"}},
    {"NotesBetweenSelectionAndData", "b06500 903c64 b06400 b00602",
     {"101 RPN MSB = 0", "C4 (60) ベロシティ 100", "100 RPN LSB = 0", "RPN 0 ピッチベンド・レンジ = 2"}},
    // Interrupted sequences: data entry sets what the latest selection chose, as a synthesizer
    // reads it, with what was never seen shown as "-".
    {"RegisteredInterruptedByNonRegistered", "b06500 b06301 b00640",
     {"101 RPN MSB = 0", "99 NRPN MSB = 1", "NRPN 1:- = 64"}},
    {"DataBeforeTheLowByteOfTheSelection", "b06500 b00602", {"101 RPN MSB = 0", "RPN 0:- = 2"}},
    {"LowDataByteWithoutTheHighOne", "b06500 b06401 b02605",
     {"101 RPN MSB = 0", "100 RPN LSB = 1", "RPN 1 ファイン・チューン LSB = 5"}},
    {"NewSelectionForgetsTheOldHighDataByte", "b06500 b06400 b00602 b06401 b02605",
     {"101 RPN MSB = 0", "100 RPN LSB = 0", "RPN 0 ピッチベンド・レンジ = 2", "100 RPN LSB = 1",
      "RPN 1 ファイン・チューン LSB = 5"}},
    {"NullParameterSelectsNothing", "b06500 b06400 b0657f b0647f b00602",
     {"101 RPN MSB = 0", "100 RPN LSB = 0", "101 RPN MSB = 127", "100 RPN LSB = 127", "6 データ・エントリー = 2"}},
    {"ResetAllControllersSelectsNothing", "b06500 b06400 b07900 b00602",
     {"101 RPN MSB = 0", "100 RPN LSB = 0", "121 リセット・オール・コントローラー", "6 データ・エントリー = 2"}},
    {"SelectionIsPerChannel", "b06500 b06400 b10602", {"101 RPN MSB = 0", "100 RPN LSB = 0", "6 データ・エントリー = 2"}},
    {"DataIncrement", "b06500 b06400 b06001",
     {"101 RPN MSB = 0", "100 RPN LSB = 0", "96 データ・インクリメント（RPN 0 ピッチベンド・レンジ）"}},
    {"DataEntryWithNothingSelected", "b00602 b02601", {"6 データ・エントリー = 2", "38 データ・エントリー LSB = 1"}},
    // System exclusive: length, maker, and what the well-known messages do.
    {"GmSystemOn", "f07e7f0901f7", {"6バイト、ユニバーサル非リアルタイム、GMシステム・オン"}},
    {"Gm2SystemOn", "f07e7f0903f7", {"6バイト、ユニバーサル非リアルタイム、GM2システム・オン"}},
    {"IdentityRequest", "f07e7f0601f7", {"6バイト、ユニバーサル非リアルタイム、アイデンティティ・リクエスト"}},
    {"IdentityReply", "f07e10060241100302000001000000f7", {"16バイト、ユニバーサル非リアルタイム、アイデンティティ・リプライ Roland"}},
    {"OtherUniversalNonRealTime", "f07e7f7c00f7", {"6バイト、ユニバーサル非リアルタイム、サブID 7C 00"}},
    {"MasterVolume", "f07f7f0401007ff7", {"8バイト、ユニバーサル・リアルタイム、マスター・ボリューム = 16256"}},
    {"GsReset", "f041104212 40007f00 41f7",
     {"11バイト、Roland、GSリセット、DT1 アドレス 40 00 7F データ 00、チェックサム正しい"}},
    {"GsResetWithAWrongChecksum", "f041104212 40007f00 42f7",
     {"11バイト、Roland、GSリセット、DT1 アドレス 40 00 7F データ 00、チェックサム誤り（正しくは 41）"}},
    {"DataSetWhoseSumWraps", "f041104212 4001307f7f 11f7",
     {"12バイト、Roland、DT1 アドレス 40 01 30 データ 7F 7F、チェックサム正しい"}},
    {"DataSetWhoseChecksumIsZero", "f041104212 40000040 00f7",
     {"11バイト、Roland、DT1 アドレス 40 00 00 データ 40、チェックサム正しい"}},
    {"DataSetWithFourByteAddress", "f041106a12 0100200005 5af7",
     {"12バイト、Roland、DT1 アドレス 01 00 20 00 データ 05、チェックサム正しい"}},
    {"DataSetWithLongModelId", "f04110 00003b 12 1800000001 67f7",
     {"14バイト、Roland、DT1 アドレス 18 00 00 00 データ 01、チェックサム正しい"}},
    {"DataSetWithLongData", "f041104212 400100 0102030405060708090a0b0c0d0e0f1011 00f7",
     {"27バイト、Roland、DT1 アドレス 40 01 00 データ 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 …、チェックサム誤り（正しくは 26）"}},
    {"DataRequest", "f041104211 40007f 000001 40f7",
     {"13バイト、Roland、RQ1 アドレス 40 00 7F サイズ 00 00 01、チェックサム正しい"}},
    {"RolandMessageCutShort", "f04110421240 903c64",
     {"6バイト、Roland、DT1、F7なし", "C4 (60) ベロシティ 100"}},
    {"XgSystemOn", "f043104c00007e00f7", {"9バイト、Yamaha、XGシステム・オン"}},
    {"XgParameterChange", "f043104c02010040f7", {"9バイト、Yamaha、XG アドレス 02 01 00 データ 40"}},
    {"YamahaBulkDump", "f043007a0001020304f7", {"10バイト、Yamaha、バルク・ダンプ"}},
    {"Korg", "f0423060410001f7", {"8バイト、Korg"}},
    {"UnknownMaker", "f0150102f7", {"5バイト、メーカーID 15"}},
    {"UnknownThreeByteMaker", "f0007f7f0102f7", {"7バイト、メーカーID 00 7F 7F"}},
    {"NothingInside", "f0f7", {"2バイト"}},
};

INSTANTIATE_TEST_SUITE_P(Table, StreamMeanings, testing::ValuesIn(MeaningCases),
                         [](const testing::TestParamInfo<TMeaningCase>& info) { return std::string(info.param.Name); });

struct TKindCase {
    const char* Stream;
    TMessageKind Kind;
    TMessageGroup Group;
    int Channel;
    const char* KindText;
};

class Kinds : public testing::TestWithParam<TKindCase> {};

TEST_P(Kinds, GroupAndChannel)
{
    TMessageRecord record;
    record.AppendStream(TDirection::In, 0, Bytes(GetParam().Stream));
    ASSERT_EQ(record.Count(), 1u);
    const TRecordEntry entry = record.At(0);
    EXPECT_EQ(KindOf(entry), GetParam().Kind);
    EXPECT_EQ(GroupOf(KindOf(entry)), GetParam().Group);
    EXPECT_EQ(ChannelOf(entry), GetParam().Channel);
    EXPECT_EQ(KindName(KindOf(entry)).toStdString(), GetParam().KindText);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Kinds,
    testing::Values(TKindCase{"803c00", TMessageKind::NoteOff, TMessageGroup::Notes, 1, "ノート・オフ"},
                    TKindCase{"9f3c64", TMessageKind::NoteOn, TMessageGroup::Notes, 16, "ノート・オン"},
                    TKindCase{"a13c64", TMessageKind::PolyPressure, TMessageGroup::Pressures, 2, "ポリフォニック・プレッシャー"},
                    TKindCase{"b20764", TMessageKind::ControlChange, TMessageGroup::Controllers, 3, "コントロール・チェンジ"},
                    TKindCase{"c305", TMessageKind::ProgramChange, TMessageGroup::Program, 4, "プログラム・チェンジ"},
                    TKindCase{"d405", TMessageKind::ChannelPressure, TMessageGroup::Pressures, 5, "チャンネル・プレッシャー"},
                    TKindCase{"e50040", TMessageKind::PitchBend, TMessageGroup::PitchBend, 6, "ピッチベンド"},
                    TKindCase{"f07e7f0901f7", TMessageKind::SystemExclusive, TMessageGroup::SystemExclusive, 0, "システム・エクスクルーシブ"},
                    TKindCase{"f21001", TMessageKind::SystemCommon, TMessageGroup::SystemCommon, 0, "システム・コモン"},
                    TKindCase{"fe", TMessageKind::RealTime, TMessageGroup::RealTime, 0, "リアルタイム"},
                    TKindCase{"0102", TMessageKind::Stray, TMessageGroup::Other, 0, "ステータスのないデータ"}));

TEST(Meaning, EachDirectionHasItsOwnParameterSelection)
{
    TMessageRecord record;
    record.AppendStream(TDirection::In, 0, Bytes("b06500b06400"));
    record.AppendStream(TDirection::Out, 1, Bytes("b06500b06401"));
    record.AppendStream(TDirection::In, 2, Bytes("b00602"));
    record.AppendStream(TDirection::Out, 3, Bytes("b00640"));
    const std::vector<std::string> meanings = Meanings(record);
    EXPECT_EQ(meanings[4], "RPN 0 ピッチベンド・レンジ = 2");
    EXPECT_EQ(meanings[5], "RPN 1 ファイン・チューン = 0");
}

// A long message comes from the input port in pieces: each piece's row says what the whole
// message does.
TEST(Meaning, PiecesSpeakForTheirWholeMessage)
{
    TMessageRecord record;
    record.AppendSysex(TDirection::In, 0, Bytes("f041104212"));
    record.AppendSysex(TDirection::In, 1, Bytes("40007f0041f7"));
    const std::string gsReset = "11バイト、Roland、GSリセット、DT1 アドレス 40 00 7F データ 00、チェックサム正しい";
    EXPECT_EQ(Meanings(record), (std::vector<std::string>{gsReset, gsReset}));
}

TEST(Meaning, EmptyAndHeadlessSystemExclusivePieces)
{
    TMessageRecord record;
    record.AppendSysex(TDirection::In, 0, QByteArrayView());
    record.AppendSysex(TDirection::In, 1, Bytes("0102f7"));  // its start came before the clear
    EXPECT_EQ(Meanings(record), (std::vector<std::string>{"0バイト", "3バイト、F0なし"}));
}

TEST(Meaning, OneMebibyteDataSet)
{
    // F0 41 10 6A 12, a 4-byte address, data, the checksum, F7: 1 MiB in all.
    QByteArray message = Bytes("f041106a12") + Bytes("01000000");
    message.append(QByteArray((1 << 20) - message.size() - 2, '\x11'));
    int sum = 0;
    for (qsizetype i = 5; i < message.size(); ++i)
        sum += uint8_t(message[i]);
    message.append(char((128 - sum % 128) % 128));
    message.append(char(0xF7));
    ASSERT_EQ(message.size(), 1 << 20);

    TMessageRecord record;
    record.AppendSysex(TDirection::In, 0, message);
    EXPECT_EQ(Meanings(record)[0], "1048576バイト、Roland、DT1 アドレス 01 00 00 00 データ 11 11 11 11 11 11 11 11 11 11 11 "
                                   "11 11 11 11 11 …、チェックサム正しい");
    message[message.size() - 2] = char(message[message.size() - 2] ^ 1);
    record.AppendSysex(TDirection::In, 1, message);
    EXPECT_NE(Meanings(record)[1].find("チェックサム誤り"), std::string::npos);
}

// Far from the first entry, the meaning is the one a decoding from the start would give: the
// kept states are right, and reading out of order uses them correctly.
TEST(Meaning, StateFarIntoTheRecordMatchesDecodingFromTheStart)
{
    TMessageRecord record;
    record.AppendStream(TDirection::In, 0, Bytes("b06500b06400"));
    for (int i = 0; i < 20'000; ++i)
        record.AppendStream(TDirection::In, i, Bytes("b00602"));
    record.AppendStream(TDirection::In, 1, Bytes("b06401"));
    for (int i = 0; i < 10'000; ++i)
        record.AppendStream(TDirection::In, i, Bytes("b00640"));
    const std::vector<std::string> inOrder = Meanings(record);

    TRecordDecoder decoder(record);
    for (size_t entry : {size_t(25'000), size_t(3), size_t(20'001), size_t(8'192), size_t(20'002), size_t(20'001)})
        EXPECT_EQ(decoder.Meaning(entry).toStdString(), inOrder[entry]) << entry;
    EXPECT_EQ(inOrder[8'192], "RPN 0 ピッチベンド・レンジ = 2");
    EXPECT_EQ(inOrder[25'000], "RPN 1 ファイン・チューン = 0");

    // After a clear the decoder starts afresh.
    record.Clear();
    record.AppendStream(TDirection::In, 0, Bytes("b00602"));
    EXPECT_EQ(decoder.Meaning(0).toStdString(), "6 データ・エントリー = 2");
}

TEST(Meaning, ProgramNumbersAsThePanelShowsThem)
{
    TMessageRecord record;
    record.AppendStream(TDirection::In, 0, Bytes("c000"));
    TRecordDecoder decoder(record);
    decoder.SetOptions({ProgramNames, 1});
    EXPECT_EQ(decoder.Meaning(0).toStdString(), "1 P0");
}

TEST(Names, ControllerTableIsInPlace)
{
    EXPECT_EQ(ControllerName(0).toStdString(), "バンク・セレクト");
    EXPECT_EQ(ControllerName(91).toStdString(), "エフェクト1（リバーブ）");
    EXPECT_EQ(ControllerName(101).toStdString(), "RPN MSB");
    EXPECT_EQ(ControllerName(120).toStdString(), "オール・サウンド・オフ");
    EXPECT_EQ(ControllerName(127).toStdString(), "ポリ・モード");
    EXPECT_TRUE(ControllerName(102).isEmpty());
    EXPECT_TRUE(ControllerName(35).isEmpty());  // the low byte of an undefined controller
}

// The English interface: the same meanings from the translation.
TEST(Meaning, InEnglish)
{
    ASSERT_TRUE(UseLanguage(TLanguage::English));
    TMessageRecord record;
    record.AppendStream(TDirection::In, 0,
                        Bytes("903c64 b00764 b04000 b06500 b06400 b00602 c005 f041104212 40007f00 42f7 f8"));
    record.AppendSysex(TDirection::In, 1, Bytes("f07e7f0901f7"));
    const std::vector<std::string> meanings = Meanings(record);
    UseLanguage(TLanguage::Japanese);
    EXPECT_EQ(meanings, (std::vector<std::string>{
                            "C4 (60) velocity 100", "7 Volume = 100", "64 Sustain = off", "101 RPN MSB = 0",
                            "100 RPN LSB = 0", "RPN 0 Pitch bend range = 2", "5 P5",
                            "11 bytes, Roland, GS reset, DT1 address 40 00 7F data 00, checksum wrong (41 expected)",
                            "Timing clock", "6 bytes, Universal non-real-time, GM system on"}));
}

} // namespace
