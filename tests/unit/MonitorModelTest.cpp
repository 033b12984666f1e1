// The monitor's table over the record: what each column shows, the filter (kinds, channels,
// directions, text in the meaning), the pause that keeps recording, the clear, a message that
// arrives in pieces, the text export and the colours by kind. Qt's model tester watches every
// change for breaches of the model contract a view relies on.
#include "KindColours.h"
#include "Language.h"
#include "MessageFilter.h"
#include "MonitorExport.h"
#include "MonitorTableModel.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

std::vector<std::string> RowCells(const TMonitorTableModel& model, int row, int role = Qt::DisplayRole)
{
    std::vector<std::string> cells;
    for (int column = 0; column < model.columnCount(); ++column)
        cells.push_back(model.data(model.index(row, column), role).toString().toStdString());
    return cells;
}

std::vector<size_t> ShownEntries(const TMonitorTableModel& model)
{
    std::vector<size_t> entries;
    for (int row = 0; row < model.rowCount(); ++row)
        entries.push_back(model.EntryOfRow(row));
    return entries;
}

class MonitorModel : public testing::Test {
protected:
    MonitorModel() { record.Clear(QDateTime(QDate(2024, 5, 1), QTime(12, 0))); }

    TMessageRecord record;
};

TEST_F(MonitorModel, EachColumnOfARow)
{
    record.AppendShort(TDirection::In, 1'234'567, 0x90, 0x3C, 0x64);
    record.AppendStream(TDirection::Out, 1'250'000, Bytes("b007640a40"));
    record.AppendSysex(TDirection::In, 2'000'500, Bytes("f041104212"));
    record.AppendSysex(TDirection::In, 2'001'000, Bytes("40007f0041f7"));
    record.AppendShort(TDirection::In, -1'500, 0xFA, 0, 0);
    TMonitorTableModel model(record);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    ASSERT_EQ(model.rowCount(), 5);
    using TCells = std::vector<std::string>;
    EXPECT_EQ(RowCells(model, 0), (TCells{"1.234", "", "入力", "1", "ノート・オン", "C4 (60) ベロシティ 100", "90 3c 64"}));
    EXPECT_EQ(RowCells(model, 1),
              (TCells{"1.250", "15.433", "出力", "1", "コントロール・チェンジ", "7 ボリューム = 100", "b0 07 64"}));
    // Running status: the bytes as they went, without the status they left out.
    EXPECT_EQ(RowCells(model, 2), (TCells{"1.250", "0.000", "出力", "1", "コントロール・チェンジ", "10 パンポット = 64", "0a 40"}));
    // One row for the message of two pieces, at the time its first piece came.
    EXPECT_EQ(RowCells(model, 3),
              (TCells{"2.000", "750.500", "入力", "", "システム・エクスクルーシブ",
                      "11バイト、Roland、GSリセット、DT1 アドレス 40 00 7F データ 00、チェックサム正しい",
                      "f0 41 10 42 12 40 00 7f 00 41 f7"}));
    // Stamped just before the clear: rounded down, as every time is.
    EXPECT_EQ(RowCells(model, 4), (TCells{"-0.002", "-2002.000", "入力", "", "リアルタイム", "スタート", "fa"}));

    EXPECT_EQ(RowCells(model, 0, Qt::AccessibleTextRole), RowCells(model, 0));
    EXPECT_EQ(model.headerData(TMonitorTableModel::TimeColumn, Qt::Horizontal).toString(), "時間（秒）");
    EXPECT_EQ(model.headerData(TMonitorTableModel::BytesColumn, Qt::Horizontal, Qt::AccessibleTextRole).toString(), "バイト");
    EXPECT_EQ(model.data(model.index(3, 0), TMonitorTableModel::GroupRole).toInt(), int(TMessageGroup::SystemExclusive));

    model.SetTimeFormat(TMonitorTableModel::TTimeFormat::WallClock);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "12:00:01.234");
    EXPECT_EQ(model.data(model.index(4, 0)).toString(), "11:59:59.998");
    EXPECT_EQ(model.headerData(TMonitorTableModel::TimeColumn, Qt::Horizontal).toString(), "時刻");
}

TEST_F(MonitorModel, InEnglish)
{
    record.AppendShort(TDirection::Out, 0, 0x90, 0x3C, 0x64);
    TMonitorTableModel model(record);
    ASSERT_TRUE(UseLanguage(TLanguage::English));
    std::vector<std::string> headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers.push_back(model.headerData(column, Qt::Horizontal).toString().toStdString());
    const std::vector<std::string> cells = RowCells(model, 0);
    UseLanguage(TLanguage::Japanese);
    EXPECT_EQ(headers, (std::vector<std::string>{"Time (s)", "Gap (ms)", "Direction", "Channel", "Kind", "Meaning", "Bytes"}));
    EXPECT_EQ(cells, (std::vector<std::string>{"0.000", "", "Out", "1", "Note on", "C4 (60) velocity 100", "90 3c 64"}));
}

TEST_F(MonitorModel, LongMessagesShowTheirFirstBytesAndExportAll)
{
    QByteArray message = Bytes("f07d") + QByteArray(100, '\x01') + Bytes("f7");
    record.AppendSysex(TDirection::In, 0, message);
    TMonitorTableModel model(record);
    const QString shown = model.data(model.index(0, TMonitorTableModel::BytesColumn)).toString();
    EXPECT_EQ(shown, QString::fromLatin1(message.first(TMonitorTableModel::BytesShown).toHex(' ')) + " …");
    EXPECT_TRUE(model.RowText(0).endsWith(QString::fromLatin1(message.toHex(' '))));
}

// Every kind of message, on two channels, both ways.
class MonitorFilter : public MonitorModel {
protected:
    MonitorFilter()
    {
        record.AppendStream(TDirection::In, 0, Bytes("903c64 893c00"));        // 0, 1: note on and off, on 1 and 10
        record.AppendStream(TDirection::In, 1, Bytes("b00764 b90a40"));        // 2, 3: controllers on 1 and 10
        record.AppendStream(TDirection::Out, 2, Bytes("c005 a03c28 d928"));    // 4, 5, 6: program, pressures
        record.AppendStream(TDirection::In, 3, Bytes("e00040"));               // 7: pitch bend
        record.AppendStream(TDirection::In, 4, Bytes("f07e7f0901f7"));         // 8: system exclusive
        record.AppendStream(TDirection::In, 5, Bytes("f21001 fa"));            // 9, 10: common, real-time
        record.AppendStream(TDirection::Out, 6, Bytes("b06500 b06400 b00602")); // 11, 12, 13: a registered parameter
        record.AppendStream(TDirection::Out, 7, Bytes("f7 0102"));             // 14, 15: end of exclusive, stray bytes
    }
};

struct TFilterCase {
    const char* Name;
    TMessageFilter Filter;
    std::vector<size_t> Shown;
};

TMessageFilter Only(std::initializer_list<TMessageGroup> groups)
{
    TMessageFilter filter;
    filter.Groups = 0;
    for (TMessageGroup group : groups)
        filter.ShowGroup(group, true);
    return filter;
}

TMessageFilter OnChannels(std::initializer_list<int> channels)
{
    TMessageFilter filter;
    filter.Channels = 0;
    for (int channel : channels)
        filter.ShowChannel(channel, true);
    return filter;
}

TMessageFilter Directions(bool in, bool out)
{
    TMessageFilter filter;
    filter.Incoming = in;
    filter.Outgoing = out;
    return filter;
}

TMessageFilter WithText(const char* text, TMessageFilter filter = {})
{
    filter.Text = QString::fromUtf8(text);
    return filter;
}

class MonitorFilterTable : public MonitorFilter, public testing::WithParamInterface<TFilterCase> {};

TEST_P(MonitorFilterTable, ShowsExactlyTheMessagesAsked)
{
    TMonitorTableModel model(record);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetFilter(GetParam().Filter);
    EXPECT_EQ(ShownEntries(model), GetParam().Shown);
    EXPECT_EQ(record.Count(), 16u);  // the record is untouched
}

const TFilterCase FilterCases[] = {
    {"Everything", {}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
    {"Nothing", Only({}), {}},
    {"Notes", Only({TMessageGroup::Notes}), {0, 1}},
    {"Controllers", Only({TMessageGroup::Controllers}), {2, 3, 11, 12, 13}},
    {"Program", Only({TMessageGroup::Program}), {4}},
    {"Pressures", Only({TMessageGroup::Pressures}), {5, 6}},
    {"PitchBend", Only({TMessageGroup::PitchBend}), {7}},
    {"SystemExclusive", Only({TMessageGroup::SystemExclusive}), {8}},
    {"SystemCommon", Only({TMessageGroup::SystemCommon}), {9, 14}},
    {"RealTime", Only({TMessageGroup::RealTime}), {10}},
    {"Other", Only({TMessageGroup::Other}), {15}},
    {"Channel10KeepsSystemMessages", OnChannels({10}), {1, 3, 6, 8, 9, 10, 14, 15}},
    {"NoChannelLeavesSystemMessages", OnChannels({}), {8, 9, 10, 14, 15}},
    {"IncomingOnly", Directions(true, false), {0, 1, 2, 3, 7, 8, 9, 10}},
    {"OutgoingOnly", Directions(false, true), {4, 5, 6, 11, 12, 13, 14, 15}},
    {"TextInAControllerName", WithText("ボリューム"), {2}},
    {"TextLetterCaseAside", WithText("gm"), {8}},
    {"TextInANoteName", WithText("c4 (60)"), {0, 1, 5}},
    {"TextInAParameterSetByDataEntry", WithText("ピッチベンド・レンジ"), {13}},
    {"TextAndKind", WithText("= 64", Only({TMessageGroup::Controllers})), {3}},
    {"TextFoundNowhere", WithText("XG"), {}},
};

INSTANTIATE_TEST_SUITE_P(Table, MonitorFilterTable, testing::ValuesIn(FilterCases),
                         [](const testing::TestParamInfo<TFilterCase>& info) { return std::string(info.param.Name); });

TEST_F(MonitorFilter, ProgramNamesAreSearchedToo)
{
    TMonitorTableModel model(record);
    model.SetFilter(WithText("piano"));
    EXPECT_TRUE(ShownEntries(model).empty());
    model.SetMeaningOptions({[](int, int, int program) { return program == 5 ? QStringLiteral("E.Piano 2") : QString(); }, 0});
    EXPECT_EQ(ShownEntries(model), (std::vector<size_t>{4}));
}

TEST_F(MonitorFilter, GapsAreBetweenTheRowsShown)
{
    TMonitorTableModel model(record);
    model.SetFilter(Only({TMessageGroup::Notes, TMessageGroup::PitchBend}));
    EXPECT_EQ(model.data(model.index(2, TMonitorTableModel::GapColumn)).toString(), "0.003");
}

TEST_F(MonitorFilter, NewMessagesAreFilteredAsTheyCome)
{
    TMonitorTableModel model(record);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetFilter(OnChannels({2}));
    const int before = model.rowCount();
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    record.AppendStream(TDirection::In, 10, Bytes("913c64 903c64 913e64"));
    model.RecordChanged();
    ASSERT_EQ(inserted.count(), 1);  // one insertion for the whole batch
    EXPECT_EQ(model.rowCount(), before + 2);
    EXPECT_EQ(model.EntryOfRow(before), 16u);
    EXPECT_EQ(model.EntryOfRow(before + 1), 18u);
}

TEST_F(MonitorModel, PauseFreezesTheRowsWhileTheRecordGoesOn)
{
    record.AppendStream(TDirection::In, 0, Bytes("903c64"));
    TMonitorTableModel model(record);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetFilter(Only({TMessageGroup::Notes}));
    QSignalSpy waiting(&model, &TMonitorTableModel::WaitingCountChanged);

    model.SetPaused(true);
    record.AppendStream(TDirection::In, 1, Bytes("803c00 f8 903e64"));
    model.RecordChanged();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.WaitingCount(), 2u);  // the clock is filtered out: it will not be shown
    EXPECT_EQ(waiting.last().at(0).toULongLong(), 2u);
    EXPECT_EQ(record.Count(), 4u);

    // A filter change while paused applies to the frozen rows and to those waiting.
    model.SetFilter(Only({TMessageGroup::Notes, TMessageGroup::RealTime}));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.WaitingCount(), 3u);

    model.SetPaused(false);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.WaitingCount(), 0u);
    EXPECT_EQ(waiting.last().at(0).toULongLong(), 0u);
    EXPECT_EQ(ShownEntries(model), (std::vector<size_t>{0, 1, 2, 3}));
}

TEST_F(MonitorModel, ClearEmptiesTheTableAlsoWhilePaused)
{
    record.AppendStream(TDirection::In, 0, Bytes("903c64 803c00"));
    TMonitorTableModel model(record);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetPaused(true);
    record.AppendStream(TDirection::In, 1, Bytes("903c64"));
    model.RecordChanged();
    EXPECT_EQ(model.WaitingCount(), 1u);

    record.Clear();
    record.AppendStream(TDirection::In, 0, Bytes("c005"));
    model.RecordChanged();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.WaitingCount(), 1u);
    model.SetPaused(false);
    EXPECT_EQ(ShownEntries(model), (std::vector<size_t>{0}));
    EXPECT_EQ(model.data(model.index(0, TMonitorTableModel::KindColumn)).toString(), "プログラム・チェンジ");
}

// The input port hands a long message over in pieces: the row that stands for it grows.
TEST_F(MonitorModel, APieceThatContinuesAShownMessageChangesItsRow)
{
    record.AppendSysex(TDirection::In, 0, Bytes("f041104212"));
    TMonitorTableModel model(record);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.data(model.index(0, TMonitorTableModel::MeaningColumn)).toString(), "5バイト、Roland、DT1、F7なし");

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    record.AppendSysex(TDirection::In, 1, Bytes("40007f0041f7"));
    model.RecordChanged();
    EXPECT_EQ(model.rowCount(), 1);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.first().at(0).toModelIndex().row(), 0);
    EXPECT_EQ(model.data(model.index(0, TMonitorTableModel::BytesColumn)).toString(), "f0 41 10 42 12 40 00 7f 00 41 f7");
}

TEST_F(MonitorFilter, ExportWritesTheRowsShownWithTheirTimes)
{
    TMonitorTableModel model(record);
    model.SetFilter(Only({TMessageGroup::Notes, TMessageGroup::SystemExclusive}));
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteShownRows(model, file));
    EXPECT_EQ(file.data().toStdString(),
              std::string("0.000\t\t入力\t1\tノート・オン\tC4 (60) ベロシティ 100\t90 3c 64\r\n"
                             "0.000\t0.000\t入力\t10\tノート・オフ\tC4 (60) ベロシティ 0\t89 3c 00\r\n"
                             "0.000\t0.004\t入力\t\tシステム・エクスクルーシブ\t6バイト、ユニバーサル非リアルタイム、GMシステム・オン\t"
                             "f0 7e 7f 09 01 f7\r\n"));
}

// The row list keeps a run of consecutive entries as its first alone, and lists a block's rows
// one by one once the run breaks: wherever it breaks, every row, search and count stays right.
struct TRowListCase {
    const char* Name;
    std::vector<uint32_t> Entries;
};

std::vector<uint32_t> Consecutive(uint32_t first, size_t count, std::vector<uint32_t> then = {})
{
    std::vector<uint32_t> entries(count);
    for (size_t i = 0; i < count; ++i)
        entries[i] = first + uint32_t(i);
    entries.insert(entries.end(), then.begin(), then.end());
    return entries;
}

class RowListTable : public testing::TestWithParam<TRowListCase> {};

TEST_P(RowListTable, GivesBackWhatWasAppended)
{
    const std::vector<uint32_t>& entries = GetParam().Entries;
    TRowList rows;
    for (const uint32_t entry : entries)
        rows.Append(entry);
    TRowList copy;
    copy.Append(rows);
    ASSERT_EQ(rows.Size(), entries.size());
    ASSERT_EQ(copy.Size(), entries.size());
    for (size_t row = 0; row < entries.size(); ++row) {
        ASSERT_EQ(rows[row], entries[row]) << "row " << row;
        ASSERT_EQ(copy[row], entries[row]) << "row " << row;
    }
    // Found where it is; an entry that is not a row is not found, and the next row is its bound.
    for (size_t row = 0; row < entries.size(); row += 997) {
        EXPECT_EQ(rows.Find(entries[row]), int64_t(row));
        EXPECT_EQ(rows.LowerBound(entries[row]), row);
    }
    for (size_t row = 0; row + 1 < entries.size(); ++row) {
        if (entries[row + 1] > entries[row] + 1) {
            EXPECT_EQ(rows.Find(entries[row] + 1), -1);
            EXPECT_EQ(rows.LowerBound(entries[row] + 1), row + 1);
        }
    }
    if (!entries.empty()) {
        EXPECT_EQ(rows.LowerBound(entries.back() + 1), entries.size());
    }
}

const size_t Block = 65536;

const TRowListCase RowListCases[] = {
    {"Empty", {}},
    {"OneRun", Consecutive(7, 3 * Block + 5)},
    {"BreakInTheFirstRow", Consecutive(0, 1, Consecutive(5, 10))},
    {"BreakInTheMiddleOfABlock", Consecutive(0, 1000, Consecutive(2000, Block))},
    {"BreakAtTheLastRowOfABlock", Consecutive(0, Block - 1, Consecutive(Block + 10, Block))},
    {"RunStartsAgainInTheNextBlock", Consecutive(0, Block, Consecutive(Block + 3, Block + 1))},
    {"EveryOtherEntry",
     [] {
         std::vector<uint32_t> entries;
         for (uint32_t e = 0; e < 2 * Block + 10; e += 2)
             entries.push_back(e);
         return entries;
     }()},
};

INSTANTIATE_TEST_SUITE_P(Table, RowListTable, testing::ValuesIn(RowListCases),
                         [](const testing::TestParamInfo<TRowListCase>& info) { return std::string(info.param.Name); });

TEST(RowList, AnUnfilteredMillionRowsHoldNoRowsOfTheirOwn)
{
    TRowList rows;
    for (uint32_t entry = 0; entry < 1'000'000; ++entry)
        rows.Append(entry);
    EXPECT_LT(rows.MemoryUsed(), 1024u);
    rows.Append(2'000'000);  // a break costs its block only
    EXPECT_LE(rows.MemoryUsed(), Block * sizeof(uint32_t) + 1024);
}

// Light and dark desktop themes: each kind readable on the base colour, and the kinds apart.
TEST(KindColours, ReadableAndDistinctOnLightAndDarkBackgrounds)
{
    const TRgb backgrounds[] = {{255, 255, 255}, {250, 250, 250}, {239, 240, 241}, {0, 0, 0},
                                {35, 38, 41},    {45, 45, 45},    {30, 30, 30},    {255, 255, 220}};
    for (const TRgb background : backgrounds) {
        std::vector<TRgb> colours;
        const TKindPalette palette = KindPalette(background);
        for (int group = 0; group < MessageGroupCount; ++group) {
            const TRgb colour = palette[TMessageGroup(group)];
            EXPECT_EQ(colour, KindColour(TMessageGroup(group), background));
            EXPECT_GE(ContrastRatio(colour, background), MinimumTextContrast)
                << "group " << group << " on " << int(background.Red) << "," << int(background.Green) << ","
                << int(background.Blue);
            colours.push_back(colour);
        }
        for (size_t a = 0; a < colours.size(); ++a)
            for (size_t b = a + 1; b < colours.size(); ++b) {
                const int distance = std::abs(colours[a].Red - colours[b].Red) + std::abs(colours[a].Green - colours[b].Green)
                                     + std::abs(colours[a].Blue - colours[b].Blue);
                EXPECT_GE(distance, 40) << "groups " << a << " and " << b;
            }
    }
}

} // namespace
