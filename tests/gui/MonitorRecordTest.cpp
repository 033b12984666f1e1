// The monitor's record as the running window feeds it: the Binary page's memo kept to the line
// limit of the settings file while the record and the saves keep everything since the clear, the
// times received messages carry, and Kelvane's own messages recorded when the user asks.
#include "GuiTest.h"
#include "IniFile.h"
#include "MonitorTableModel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

TFixtureOptions WithMemoLines(int lines)
{
    TFixtureOptions options;
    options.Settings = QStringLiteral("[Midi]\nOutDeviceName=Test Synth\nInDeviceName=Test Input\n"
                                      "[MidiMonitor]\nMemoLines=%1\n")
                           .arg(lines);
    return options;
}

TBytes Note(int n)
{
    return {0x90, uint8_t(n), 0x40};
}

QString NoteLine(int n)
{
    return QStringLiteral("90 %1 40").arg(n, 2, 16, QLatin1Char('0'));
}

QString EarlierLines(int count)
{
    return QStringLiteral("（これより前の%1行は表示していません。保存すると全行を書き出します）").arg(count);
}

QString MemoText(TKelvaneFixture& f)
{
    return f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText();
}

// A system exclusive message of 10,000 bytes arrives in three buffers: three lines.
TBytes Sysex10000()
{
    TBytes bytes(10000, 0x11);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

QString SysexLine(qsizetype bytes, bool first, bool last)
{
    QString line;
    for (qsizetype i = 0; i < bytes; ++i)
        line += (first && i == 0) ? QStringLiteral("f0 ") : (last && i == bytes - 1) ? QStringLiteral("f7 ") : QStringLiteral("11 ");
    return line;
}

}  // namespace

// --- the memo's line limit

struct TMemoLimitCase {
    const char* Name;
    int Limit;
    std::vector<std::vector<TBytes>> Batches;  // the window catches up after each
    QStringList Memo;                          // what it shows at the end
};

void PrintTo(const TMemoLimitCase& c, std::ostream* out)
{
    *out << c.Name;
}

std::vector<TBytes> Notes(int first, int last)
{
    std::vector<TBytes> notes;
    for (int n = first; n <= last; ++n)
        notes.push_back(Note(n));
    return notes;
}

QStringList NoteLines(int first, int last)
{
    QStringList lines;
    for (int n = first; n <= last; ++n)
        lines << NoteLine(n);
    return lines;
}

class MemoLimit : public ::testing::TestWithParam<TMemoLimitCase> {};

TEST_P(MemoLimit, ShowsTheNewestLinesAndSavesEveryLine)
{
    const TMemoLimitCase& c = GetParam();
    TKelvaneFixture f(WithMemoLines(c.Limit));
    QStringList allLines;
    QByteArray allBytes;
    for (const auto& batch : c.Batches) {
        for (const TBytes& message : batch) {
            f.Service().Inject(message);
            allBytes.append(reinterpret_cast<const char*>(message.data()), qsizetype(message.size()));
        }
        SettleEvents();
    }
    EXPECT_EQ(MemoText(f).split('\n'), c.Memo);
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（%1バイト）").arg(allBytes.size()));

    // The saves hold every line and byte since the clear, those the memo no longer shows too.
    QTemporaryDir dir;
    QStringList answers{dir.path() + "/in.txt", dir.path() + "/in.syx"};
    DialogHooks().File = [&](const TFileDialogRequest&) { return answers.takeFirst(); };
    Click(f.Find<QPushButton>("ButtonInSaveText"));
    Click(f.Find<QPushButton>("ButtonInSaveBinary"));
    const QString text = QString::fromLatin1(ReadFile(dir.path() + "/in.txt"));
    const QStringList saved = text.split("\r\n");
    ASSERT_GE(saved.size(), c.Memo.size());
    EXPECT_EQ(saved.last(), "") << "every line ends with CR LF";
    EXPECT_EQ(saved.mid(saved.size() - c.Memo.size()), c.Memo.mid(1) << "") << "the memo shows the newest lines";
    EXPECT_EQ(ReadFile(dir.path() + "/in.syx").toHex(' '), allBytes.toHex(' '));
    EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, MemoLimit,
    ::testing::Values(
        TMemoLimitCase{"OneLineOver", 3, {Notes(1, 2), Notes(3, 4)}, QStringList{EarlierLines(1)} << NoteLines(2, 4)},
        TMemoLimitCase{"ABurstLongerThanTheLimit", 3, {Notes(1, 7)}, QStringList{EarlierLines(4)} << NoteLines(5, 7)},
        TMemoLimitCase{"CountGrowsLineByLine", 2, {Notes(1, 1), Notes(2, 2), Notes(3, 3), Notes(4, 4)},
                       QStringList{EarlierLines(2)} << NoteLines(3, 4)},
        TMemoLimitCase{"EveryShownLineLeavesAtOnce", 3, {Notes(1, 3), Notes(4, 9)},
                       QStringList{EarlierLines(6)} << NoteLines(7, 9)},
        // The memo keeps lines in paragraphs of 32: the oldest leave whole paragraphs and parts.
        TMemoLimitCase{"BeyondAParagraph", 40, {Notes(1, 35), Notes(36, 50), Notes(51, 100)},
                       QStringList{EarlierLines(60)} << NoteLines(61, 100)},
        TMemoLimitCase{"SystemExclusiveBuffersAreLines", 2, {{Note(1), Sysex10000()}},
                       QStringList{EarlierLines(2)} << SysexLine(4096, false, false) << SysexLine(1808, false, true)}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MemoLimit, AtTheLimitNothingIsSaidAndAClearStartsAfresh)
{
    TKelvaneFixture f(WithMemoLines(3));
    for (int n = 1; n <= 3; ++n)
        f.Service().Inject(Note(n));
    SettleEvents();
    EXPECT_EQ(MemoText(f).split('\n'), NoteLines(1, 3));

    f.Service().Inject(Note(4));
    SettleEvents();
    ASSERT_EQ(MemoText(f).split('\n').value(0), EarlierLines(1));

    Click(f.Find<QPushButton>("ButtonInClear"));
    EXPECT_EQ(MemoText(f), "");
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力"));
    for (int n = 5; n <= 7; ++n)
        f.Service().Inject(Note(n));
    SettleEvents();
    EXPECT_EQ(MemoText(f).split('\n'), NoteLines(5, 7));
    EXPECT_EQ(f.Monitor().ReceivedBytes().toHex(' '), QByteArray("90 05 40 90 06 40 90 07 40"));
}

TEST(MemoLimit, IsWrittenBackAndADefaultSettingsFileKeepsAMillion)
{
    {
        TKelvaneFixture f(WithMemoLines(7));
        f.CloseWindow();
        EXPECT_EQ(TIniFile::Load(f.SettingsPath()).ReadInteger("MidiMonitor", "MemoLines", -1), 7);
    }
    TKelvaneFixture f;
    EXPECT_EQ(f.Monitor().MemoLineLimit(), 1'000'000);
    f.CloseWindow();
    EXPECT_EQ(TIniFile::Load(f.SettingsPath()).ReadInteger("MidiMonitor", "MemoLines", -1), 1'000'000);
}

// --- Kelvane's own messages

// The rows the table shows for the sent messages, one hexadecimal string each.
QStringList SentRows(const TMessageRecord& record)
{
    TMonitorTableModel model(record);
    TMessageFilter filter;
    filter.Incoming = false;
    model.SetFilter(filter);
    model.RecordChanged();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.index(row, TMonitorTableModel::BytesColumn).data().toString().toUpper();
    return rows;
}

QStringList WireRows(const std::vector<std::vector<uint8_t>>& sent)
{
    QStringList rows;
    for (const auto& message : sent)
        rows << QByteArray(reinterpret_cast<const char*>(message.data()), qsizetype(message.size())).toHex(' ').toUpper();
    return rows;
}

void SendFromThePages(TKelvaneFixture& f)
{
    // The program field and the raw sender: two of the pages that send, by different paths.
    f.Find<TSpinEdit>("SpinEditProgram")->SetText(QString());
    QTest::keyClicks(f.Find<TSpinEdit>("SpinEditProgram"), "5");
    QTest::keyClick(f.Find<TSpinEdit>("SpinEditProgram"), Qt::Key_Return);
    f.Find<QPlainTextEdit>("MemoMidiOut")->setPlainText("f0 41 10 42 12 40 00 7f 00 41 f7");
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));
    SettleEvents();
}

TEST(SentMessages, AreRecordedAsTheyWentOnTheWireOnlyWhenAskedFor)
{
    TKelvaneFixture f(WithMemoLines(1'000'000));
    f.ClearSent();
    f.Service().Inject(Note(1));
    SendFromThePages(f);
    EXPECT_EQ(SentRows(f.Session().Log().Record()), QStringList{}) << "off unless the user turns it on";

    f.Session().Log().SetRecordsSent(true);
    f.ClearSent();
    SendFromThePages(f);
    ASSERT_GE(f.Sent().size(), 2u);
    EXPECT_EQ(SentRows(f.Session().Log().Record()), WireRows(f.Sent()));

    // The memo and its saves stay the received messages' only.
    EXPECT_EQ(MemoText(f), NoteLine(1));
    EXPECT_EQ(f.Monitor().ReceivedBytes().toHex(' '), QByteArray("90 01 40"));
}
