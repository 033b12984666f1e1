// The monitor's record as a Standard MIDI File: the file's exact bytes for every kind of event,
// and the same messages and times read back by mido, a reader written apart from Kelvane.
#include "MessageRecord.h"
#include "StandardMidiFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

std::string Hex(const QByteArray& bytes)
{
    return bytes.toHex(' ').toStdString();
}

struct TLengthCase {
    uint32_t Value;
    const char* Expected;
};

class VariableLengths : public testing::TestWithParam<TLengthCase> {};

TEST_P(VariableLengths, AsTheFileFormatWritesThem)
{
    EXPECT_EQ(Hex(VariableLength(GetParam().Value)), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, VariableLengths,
                         testing::Values(TLengthCase{0, "00"}, TLengthCase{0x40, "40"}, TLengthCase{0x7F, "7f"},
                                         TLengthCase{0x80, "81 00"}, TLengthCase{0x2000, "c0 00"},
                                         TLengthCase{0x3FFF, "ff 7f"}, TLengthCase{0x4000, "81 80 00"},
                                         TLengthCase{0x100000, "c0 80 00"}, TLengthCase{0x1FFFFF, "ff ff 7f"},
                                         TLengthCase{0x200000, "81 80 80 00"}, TLengthCase{0x8000000, "c0 80 80 00"},
                                         TLengthCase{0x0FFFFFFF, "ff ff ff 7f"}));

TEST(StandardMidiFile, TicksAreTheNearestMillisecond)
{
    const std::pair<int64_t, int64_t> cases[] = {{-5'000, 0}, {0, 0},       {499, 0},      {500, 1},
                                                 {1'499, 1},  {1'500, 2},   {1'000'000, 1'000}};
    for (const auto& [microseconds, tick] : cases)
        EXPECT_EQ(TickOfTime(microseconds), tick) << microseconds;
}

TEST(StandardMidiFile, HeaderTempoAndEndOfTrack)
{
    TMessageRecord record;
    EXPECT_EQ(Hex(StandardMidiFile(record)),
              "4d 54 68 64 00 00 00 06 00 00 00 01 01 f4 "  // format 0, one track, 500 ticks a quarter
              "4d 54 72 6b 00 00 00 0b "
              "00 ff 51 03 07 a1 20 "  // 500,000 microseconds a quarter: a tick is a millisecond
              "00 ff 2f 00");
}

struct TEventCase {
    const char* Name;
    std::function<void(TMessageRecord&)> Fill;
    std::string Events;  // the track's events between the tempo and the end of the track
    bool Incoming = true;
    bool Outgoing = true;
};

class FileEvents : public testing::TestWithParam<TEventCase> {};

TEST_P(FileEvents, AreWrittenExactly)
{
    TMessageRecord record;
    GetParam().Fill(record);
    const QByteArray file = StandardMidiFile(record, GetParam().Incoming, GetParam().Outgoing);
    const QByteArray events = file.sliced(22 + 7, file.size() - 22 - 7 - 4);
    EXPECT_EQ(Hex(events), GetParam().Events);
    // The track's length: the tempo, the events and the end of the track.
    EXPECT_EQ(file.sliced(18, 4).toHex().toLongLong(nullptr, 16), 7 + events.size() + 4);
}

const TEventCase EventCases[] = {
    {"NoteOnAndOff",
     [](TMessageRecord& r) {
         r.AppendShort(TDirection::In, 0, 0x90, 0x3C, 0x64);
         r.AppendShort(TDirection::In, 1'500, 0x80, 0x3C, 0x40);
     },
     "00 90 3c 64 02 80 3c 40"},
    {"ProgramChangeHasOneDataByte", [](TMessageRecord& r) { r.AppendShort(TDirection::In, 0, 0xC0, 0x05, 0x00); },
     "00 c0 05"},
    {"StatusWrittenEveryTime", [](TMessageRecord& r) { r.AppendStream(TDirection::Out, 0, Bytes("903c643e64")); },
     "00 90 3c 64 00 90 3e 64"},
    {"WholeSystemExclusive", [](TMessageRecord& r) { r.AppendSysex(TDirection::In, 0, Bytes("f07e7f0901f7")); },
     "00 f0 05 7e 7f 09 01 f7"},
    {"SystemExclusiveInPieces",
     [](TMessageRecord& r) {
         r.AppendSysex(TDirection::In, 0, Bytes("f04110"));
         r.AppendSysex(TDirection::In, 10'000, Bytes("4212f7"));
     },
     "00 f0 02 41 10 0a f7 03 42 12 f7"},
    {"LongSystemExclusiveLength",
     [](TMessageRecord& r) { r.AppendSysex(TDirection::In, 0, Bytes("f0") + QByteArray(200, '\x01') + Bytes("f7")); },
     "00 f0 81 49 " + Hex(QByteArray(200, '\x01')) + " f7"},
    {"SystemCommonAndRealTimeAsEscapes",
     [](TMessageRecord& r) {
         r.AppendShort(TDirection::In, 0, 0xFA, 0, 0);
         r.AppendShort(TDirection::In, 1'000, 0xF2, 0x10, 0x01);
     },
     "00 f7 01 fa 01 f7 03 f2 10 01"},
    {"StrayBytesAsAnEscape", [](TMessageRecord& r) { r.AppendStream(TDirection::Out, 0, Bytes("0102")); }, "00 f7 02 01 02"},
    {"DataByteSentAsAMessageAsAnEscape", [](TMessageRecord& r) { r.AppendShort(TDirection::Out, 0, 0x3C, 0, 0); },
     "00 f7 01 3c"},
    {"EmptyPieceLeftOut",
     [](TMessageRecord& r) {
         r.AppendSysex(TDirection::In, 0, QByteArrayView());
         r.AppendShort(TDirection::In, 2'000, 0xFC, 0, 0);
     },
     "02 f7 01 fc"},
    {"TimesNeverGoBack",
     [](TMessageRecord& r) {
         r.AppendShort(TDirection::In, 5'000, 0x90, 0x3C, 0x64);
         r.AppendShort(TDirection::Out, 3'000, 0x80, 0x3C, 0x40);
         r.AppendShort(TDirection::Out, -4'000, 0xB0, 0x07, 0x64);
     },
     "05 90 3c 64 00 80 3c 40 00 b0 07 64"},
    {"SilenceLongerThanADeltaTime",
     [](TMessageRecord& r) {
         r.AppendShort(TDirection::In, 0, 0x90, 0x3C, 0x64);
         r.AppendShort(TDirection::In, (int64_t(0x0FFFFFFF) + 5) * 1'000, 0x80, 0x3C, 0x40);
     },
     "00 90 3c 64 ff ff ff 7f ff 01 00 05 80 3c 40"},
    {"IncomingOnly",
     [](TMessageRecord& r) {
         r.AppendShort(TDirection::Out, 0, 0x90, 0x3C, 0x64);
         r.AppendShort(TDirection::In, 1'000, 0x91, 0x3C, 0x64);
     },
     "01 91 3c 64", true, false},
};

INSTANTIATE_TEST_SUITE_P(Table, FileEvents, testing::ValuesIn(EventCases),
                         [](const testing::TestParamInfo<TEventCase>& info) { return std::string(info.param.Name); });

// mido reads the file Kelvane writes: the same messages at the same milliseconds. mido takes every
// F7 event for system exclusive data, so escaped real-time bytes, which it refuses, stay out of
// this record; the table above checks those.
TEST(StandardMidiFile, ReadBackByAnIndependentReader)
{
    TMessageRecord record;
    record.AppendShort(TDirection::In, 0, 0x90, 0x3C, 0x64);
    record.AppendShort(TDirection::Out, 1'234, 0xB0, 0x07, 0x64);     // 1 ms
    record.AppendShort(TDirection::Out, 1'600, 0xC9, 0x05, 0x00);     // 2 ms
    record.AppendStream(TDirection::In, 250'000, Bytes("e07f7f a03c28 d540"));
    record.AppendSysex(TDirection::In, 1'000'000, Bytes("f041104212"));
    record.AppendSysex(TDirection::In, 1'005'000, Bytes("40007f0041f7"));
    record.AppendSysex(TDirection::Out, 2'000'499, Bytes("f07e7f0901f7"));
    record.AppendShort(TDirection::In, 3'600'000'000, 0x80, 0x3C, 0x00);  // an hour later

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("record.mid"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(StandardMidiFile(record));
    file.close();

    QProcess reader;
    reader.start(QStringLiteral(KELVANE_PYTHON), {QStringLiteral(KELVANE_SOURCE_DIR "/tests/unit/ReadMidiFile.py"), path});
    ASSERT_TRUE(reader.waitForFinished(60'000)) << "the reader did not run: " << KELVANE_PYTHON;
    const QByteArray errors = reader.readAllStandardError();
    ASSERT_FALSE(errors.contains("No module named 'mido'"))
        << "python3-mido is missing (scripts/install-deps.sh installs it): " << errors.toStdString();
    ASSERT_EQ(reader.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(reader.readAllStandardOutput().toStdString(),
              "format 0 tracks 1\n"
              "0 note_on 90 3c 64\n"
              "1 control_change b0 07 64\n"
              "2 program_change c9 05\n"
              "250 pitchwheel e0 7f 7f\n"
              "250 polytouch a0 3c 28\n"
              "250 aftertouch d5 40\n"
              "1000 sysex 41 10 42 12\n"
              "1005 sysex 40 00 7f 00 41\n"
              "2000 sysex 7e 7f 09 01\n"
              "3600000 note_off 80 3c 00\n");
}

} // namespace
