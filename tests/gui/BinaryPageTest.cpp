// The raw output editor of the Binary page through the real window: typing, the send buttons and
// the ticks of the sender, the arrows-only number boxes, .syx and .txt files, the font, and what
// the settings file keeps of them.
#include "IniFile.h"
#include "GuiTest.h"
#include "SpinEdit.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

const QString OddMessage = QStringLiteral("16進数を表す文字の数は偶数でなければなりません。データを確認してください");
const QString SyxFilter = QStringLiteral("システム・エクスクルーシブ(*.syx)|*.syx|すべてのファイル(*.*)|*.*");
const QString TextFilter = QStringLiteral("テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*");
const QColor Aqua(0, 255, 255);

// The window on its Binary page, shown so that the page is laid out as a user sees it.
void OpenBinaryPage(TKelvaneFixture& f)
{
    ShowPage(f, 2);
}

void Type(TKelvaneFixture& f, const QString& text)
{
    QTest::mouseClick(f.Find<QPlainTextEdit>("MemoMidiOut")->viewport(), Qt::LeftButton);
    QTest::keyClicks(f.Find<QPlainTextEdit>("MemoMidiOut"), text);
}

QColor LabelColor(TKelvaneFixture& f)
{
    return f.Find<QLabel>("LabelMidiOut")->palette().color(QPalette::Window);
}

std::vector<QPushButton*> FourButtons(TKelvaneFixture& f)
{
    return {f.Find<QPushButton>("ButtonSend"), f.Find<QPushButton>("ButtonOutClear"), f.Find<QPushButton>("ButtonOutSaveBinary"), f.Find<QPushButton>("ButtonOutSaveText")};
}

// Answers the file dialogs with the given paths in turn and keeps what each was asked.
struct TFileAnswers {
    QStringList Paths;
    std::vector<TFileDialogRequest> Requests;

    void Install()
    {
        DialogHooks().File = [this](const TFileDialogRequest& request) {
            Requests.push_back(request);
            return Paths.isEmpty() ? QString() : Paths.takeFirst();
        };
    }
};

std::string Text(const QString& text)
{
    return text.toStdString();
}

}  // namespace

// --- buttons and byte count --------------------------------------------------------------------

struct TMemoCase {
    const char* Name;
    QString Typed;
    bool PressReturn;
    bool Enabled;
    QString Label;
    std::vector<std::vector<uint8_t>> Sends;  // what a click on the send button puts on the wire
};

class MemoStateTest : public ::testing::TestWithParam<TMemoCase> {};

TEST_P(MemoStateTest, ButtonsAndLabelFollowTheText)
{
    const TMemoCase& c = GetParam();
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, c.Typed);
    if (c.PressReturn)
        QTest::keyClick(f.Find<QPlainTextEdit>("MemoMidiOut"), Qt::Key_Return);
    for (QPushButton* button : FourButtons(f))
        EXPECT_EQ(button->isEnabled(), c.Enabled) << Text(button->objectName());
    EXPECT_TRUE(f.Find<QPushButton>("ButtonOutLoadBinary")->isEnabled());
    EXPECT_TRUE(f.Find<QPushButton>("ButtonOutLoadText")->isEnabled());
    EXPECT_TRUE(f.Find<QPushButton>("ButtonBinaryFontSet")->isEnabled());
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), Text(c.Label));

    // A send of what is there; no digits send nothing, start no run and say nothing.
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    EXPECT_EQ(f.Sender().Sending(), !c.Sends.empty());
    // The run ends on the tick that finds nothing left: all it sent is there by then.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 10000));
    EXPECT_EQ(f.Sent(), c.Sends);
    EXPECT_TRUE(f.Messages.isEmpty()) << Text(f.Messages.join("|"));
    EXPECT_TRUE(f.Errors.isEmpty()) << Text(f.Errors.join("|"));
}

INSTANTIATE_TEST_SUITE_P(
    Binary, MemoStateTest,
    ::testing::Values(TMemoCase{"Empty", "", false, false, "MIDI出力", {}},
                      TMemoCase{"Blanks", "   ", true, true, "MIDI出力（0バイト）", {}},
                      // Lowercase digits count, punctuation does not, and a pair may straddle a blank.
                      TMemoCase{"Digits", "f0 7E,7f 9 03c", false, true, "MIDI出力（5バイト）", Wire({"F0 7E 7F 90 3C"})}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BinaryPage, ClearEmptiesTheMemoAndDisablesTheButtons)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, "90 3C 7F");
    ASSERT_TRUE(f.Find<QPushButton>("ButtonOutClear")->isEnabled());
    Click(f.Find<QPushButton>("ButtonOutClear"));
    EXPECT_TRUE(f.Find<QPlainTextEdit>("MemoMidiOut")->toPlainText().isEmpty());
    for (QPushButton* button : FourButtons(f))
        EXPECT_FALSE(button->isEnabled()) << Text(button->objectName());
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力");
}

// --- the timed sender --------------------------------------------------------------------------

TEST(BinaryPage, TwoSectionsLeaveAsTwoBlocksOneIntervalApart)
{
    TKelvaneFixture f;  // interval 100 ms, packets of 1024
    OpenBinaryPage(f);
    Type(f, "F0 41 10 42 12 40 00 7F 00 41 F7 f0 7e 7f 09 01 f7");
    // What each tick of the send timer has done, read as the tick ends (the page's own handler
    // was connected first), however late a loaded machine lets it come.
    struct TTick {
        std::vector<std::vector<uint8_t>> Sent;
        std::string Label;
        bool Aqua;
        int Interval;
        bool Running;
    };
    std::vector<TTick> ticks;
    QTimer& timer = *Find<QTimer>(f.Sender(), "TimerMidiOut");
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        ticks.push_back({f.Sent(), Text(f.Find<QLabel>("LabelMidiOut")->text()), LabelColor(f) == Aqua,
                         timer.interval(), timer.isActive()});
    });
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    // The first packet waits for the first tick, one interval after the click.
    EXPECT_TRUE(f.Sent().empty());
    EXPECT_TRUE(f.Sender().Sending());
    EXPECT_EQ(f.Sender().TickInterval(), 100);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 10000));
    // One section a tick, the interval apart, the label blinking once per packet; the run ends
    // on the tick that finds nothing left, and the label keeps its text.
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_EQ(ticks[0].Sent, Wire({"F0 41 10 42 12 40 00 7F 00 41 F7"}));
    EXPECT_EQ(ticks[0].Label, "MIDI出力（11バイト）");
    EXPECT_TRUE(ticks[0].Aqua);
    EXPECT_EQ(ticks[1].Sent, Wire({"F0 41 10 42 12 40 00 7F 00 41 F7", "F0 7E 7F 09 01 F7"}));
    EXPECT_EQ(ticks[1].Label, "MIDI出力（17バイト）");
    EXPECT_FALSE(ticks[1].Aqua);
    EXPECT_EQ(ticks[2].Sent, ticks[1].Sent);
    EXPECT_EQ(ticks[2].Label, "MIDI出力（17バイト）");
    EXPECT_FALSE(ticks[2].Aqua);
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].Interval, 100) << "tick " << i;
        EXPECT_EQ(ticks[i].Running, i < 2) << "tick " << i;
    }
    EXPECT_EQ(f.Sent().size(), 2u);
    EXPECT_EQ(f.Sender().SentByteCount(), 0);
    EXPECT_TRUE(f.Messages.isEmpty()) << Text(f.Messages.join("|"));
    EXPECT_TRUE(f.Errors.isEmpty()) << Text(f.Errors.join("|"));
}

TEST(BinaryPage, ShortMessagesOnTwoLinesLeaveAsOneBlock)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=5\n"));
    OpenBinaryPage(f);
    Type(f, "90 3C 7");
    QTest::keyClick(f.Find<QPlainTextEdit>("MemoMidiOut"), Qt::Key_Return);
    QTest::keyClicks(f.Find<QPlainTextEdit>("MemoMidiOut"), "F 80 3c 00");
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 2000));
    EXPECT_EQ(f.Sent(), Wire({"90 3C 7F 80 3C 00"}));
}

TEST(BinaryPage, OddSectionIsLeftOutWithOneMessageAndTheOthersAreSent)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=5\n"));
    OpenBinaryPage(f);
    Type(f, "F0 7E 7F 09 01 F7 F0 41 1");
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 2000));
    EXPECT_EQ(f.Sent(), Wire({"F0 7E 7F 09 01 F7"}));
    EXPECT_EQ(f.Messages, QStringList{OddMessage});
}

TEST(BinaryPage, LongSectionIsCutIntoPacketsOfTheChosenSize)
{
    // 2049 bytes at 128 per packet: sixteen full packets and one of a single byte, in order.
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=5\nPacketSize=128\n"));
    OpenBinaryPage(f);
    QByteArray bytes;
    for (int i = 0; i < 2049; ++i)
        bytes.append(char(i % 0x7F));
    f.Find<QPlainTextEdit>("MemoMidiOut")->setPlainText(QString::fromLatin1(bytes.toHex(' ')));
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（2049バイト）");
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));
    const auto sent = f.Sent();
    ASSERT_EQ(sent.size(), 17u);
    QByteArray joined;
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].size(), i < 16 ? 128u : 1u) << "packet " << i;
        joined.append(reinterpret_cast<const char*>(sent[i].data()), qsizetype(sent[i].size()));
    }
    EXPECT_EQ(joined, bytes);
}

TEST(BinaryPage, FailedSendEndsTheRunWithOneError)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=5\n"));
    OpenBinaryPage(f);
    Type(f, "F0 01 F7 F0 02 F7 F0 03 F7");
    f.ClearSent();
    const char* refused = "Test Synth is not taking data fast enough";
    f.Service().Failures["SendBlock"] = Refusal(refused);
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Errors.isEmpty(); }, 2000));
    QTest::qWait(100);  // twenty more intervals: no retry, no second box
    EXPECT_EQ(f.Errors, QStringList{refused});
    EXPECT_FALSE(f.Sender().Sending());
    EXPECT_TRUE(f.Sender().Waiting().isEmpty());
    EXPECT_NE(LabelColor(f), Aqua);
    EXPECT_EQ(f.Sender().SentByteCount(), 0);

    // The port works again: nothing of the failed run is left to go out, a new send goes.
    f.Service().Failures.clear();
    QTest::qWait(50);
    EXPECT_TRUE(f.Sent().empty());
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 2000));
    EXPECT_EQ(f.Sent(), Wire({"F0 01 F7", "F0 02 F7", "F0 03 F7"}));
    EXPECT_EQ(f.Errors.size(), 1);
}

TEST(BinaryPage, SendDuringARunReplacesTheWaitingPacketsAndTheCountGoesOn)
{
    TKelvaneFixture f;  // 100 ms
    OpenBinaryPage(f);
    Type(f, "F0 41 10 42 12 40 00 7F 00 41 F7 F0 7E 7F 09 01 F7 F0 7E 7F 09 02 F7");
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Sent().size() >= 1; }, 2000));
    Click(f.Find<QPushButton>("ButtonOutClear"));  // the run goes on
    Type(f, "90 3C 7F");
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 2000));
    EXPECT_EQ(f.Sent(), Wire({"F0 41 10 42 12 40 00 7F 00 41 F7", "90 3C 7F"}));
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（14バイト）");
}

TEST(BinaryPage, ClosingTheWindowEndsARunWithoutAnError)
{
    // The ports close with the window; a tick after that would only report the closed port.
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=5\n"));
    OpenBinaryPage(f);
    Type(f, "F0 01 F7 F0 02 F7 F0 03 F7 F0 04 F7 F0 05 F7 F0 06 F7 F0 07 F7 F0 08 F7");
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Sent().size() >= 1; }, 2000));
    f.CloseWindow();
    QTest::qWait(100);
    EXPECT_FALSE(f.Sender().Sending());
    EXPECT_TRUE(f.Errors.isEmpty()) << Text(f.Errors.join("|"));
}

// --- the number boxes --------------------------------------------------------------------------

TEST(BinaryPage, IntervalChangeActsAtOnceDuringARun)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=500\n"));
    OpenBinaryPage(f);
    TSpinEdit* interval = f.Find<TSpinEdit>("SpinEditInterval");
    EXPECT_EQ(f.Sender().TickInterval(), 500);

    // Arrows only: typed digits change nothing.
    QTest::mouseClick(interval, Qt::LeftButton);
    QTest::keyClicks(interval, "7");
    EXPECT_EQ(interval->Value(), 500);

    Type(f, "F0 7E 7F 09 01 F7 F0 7E 7F 09 02 F7");
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(f.Sender().Sending());
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(interval, Qt::Key_PageDown);  // 50 ms a press, down to the minimum
    EXPECT_EQ(interval->Value(), 5);
    EXPECT_EQ(f.Sender().TickInterval(), 5);
    // The wait for the first packet is the new interval's, not what was left of the 500 ms the
    // run started with.
    const int remaining = Find<QTimer>(f.Sender(), "TimerMidiOut")->remainingTime();
    EXPECT_GE(remaining, 0);
    EXPECT_LE(remaining, 5);
    EXPECT_TRUE(f.Sent().empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 10000));
    EXPECT_EQ(f.Sent(), Wire({"F0 7E 7F 09 01 F7", "F0 7E 7F 09 02 F7"}));
}

TEST(BinaryPage, ArrowsStepTheBoxesAndPacketSizeAlsoSetsTheInterval)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=100\nPacketSize=1024\n"));
    OpenBinaryPage(f);
    TSpinEdit* size = f.Find<TSpinEdit>("SpinEditPacketSize");
    // The up arrow sits at the top right of the box.
    QTest::mouseClick(size, Qt::LeftButton, {}, QPoint(size->width() - 4, 4));
    EXPECT_EQ(size->Value(), 1152);
    QTest::keyClicks(size, "9");
    EXPECT_EQ(size->Value(), 1152);
    TSpinEdit* interval = f.Find<TSpinEdit>("SpinEditInterval");
    QTest::mouseClick(interval, Qt::LeftButton, {}, QPoint(interval->width() - 4, interval->height() - 4));
    EXPECT_EQ(interval->Value(), 95);
    EXPECT_EQ(f.Sender().TickInterval(), 95);
}

// --- files -------------------------------------------------------------------------------------

TEST(BinaryPage, SyxLoadsAsOneLineOfPairsAndSavesBackTheSameBytes)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    QTemporaryDir dir;
    const QByteArray nine = QByteArray::fromHex("F043104C00007E00F7");
    WriteFile(dir.filePath("in.syx"), nine);
    TFileAnswers answers{{dir.filePath("in.syx"), dir.filePath("out.syx")}, {}};
    answers.Install();

    Click(f.Find<QPushButton>("ButtonOutLoadBinary"));
    EXPECT_EQ(Text(f.Find<QPlainTextEdit>("MemoMidiOut")->toPlainText()), "f0 43 10 4c 00 00 7e 00 f7");
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（9バイト）");
    EXPECT_EQ(Text(f.Binary().Folders().Binary), Text(dir.path() + "/"));

    Click(f.Find<QPushButton>("ButtonOutSaveBinary"));
    EXPECT_EQ(ReadFile(dir.filePath("out.syx")), nine);

    ASSERT_EQ(answers.Requests.size(), 2u);
    EXPECT_FALSE(answers.Requests[0].Save);
    EXPECT_TRUE(answers.Requests[1].Save);
    for (const TFileDialogRequest& request : answers.Requests) {
        EXPECT_EQ(Text(request.DefaultSuffix), "syx");
        EXPECT_EQ(Text(request.Filter), Text(SyxFilter));
    }
    EXPECT_EQ(Text(answers.Requests[0].InitialFolder), Text(f.Folder()));  // the program's folder
    EXPECT_EQ(Text(answers.Requests[1].InitialFolder), Text(dir.path() + "/"));
    EXPECT_TRUE(f.Messages.isEmpty() && f.Errors.isEmpty());
}

TEST(BinaryPage, LoadedDumpShowsAMessageALineAndKeepsEveryByte)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=5\nPacketSize=128\n"));
    OpenBinaryPage(f);
    QTemporaryDir dir;
    // Three messages, the second longer than a line holds, and a short message with no F7.
    QList<QByteArray> messages;
    for (int size : {6, 600, 11}) {
        QByteArray message(size, '\0');
        for (int i = 0; i < size; ++i)
            message[i] = char((i * 37) & 0x7F);
        message[0] = char(0xF0);
        message[size - 1] = char(0xF7);
        messages.append(message);
    }
    messages.append(QByteArray::fromHex("903C7F"));
    const QByteArray dump = messages.join();
    WriteFile(dir.filePath("dump.syx"), dump);
    TFileAnswers answers{{dir.filePath("dump.syx"), dir.filePath("out.syx"), dir.filePath("out.txt")}, {}};
    answers.Install();

    Click(f.Find<QPushButton>("ButtonOutLoadBinary"));
    const QStringList lines = f.Find<QPlainTextEdit>("MemoMidiOut")->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 6);  // 6 bytes; 600 as 256, 256 and 88; 11; the short message
    EXPECT_EQ(Text(lines[0]), "f0 25 4a 6f 14 f7");
    EXPECT_EQ(Text(lines[4]), Text(QString::fromLatin1(messages[2].toHex(' '))));
    EXPECT_EQ(Text(lines[5]), "90 3c 7f");
    for (const QString& line : lines.mid(1, 3))
        EXPECT_EQ(line.size() + 1, 3 * (line == lines[3] ? 88 : 256)) << Text(line.left(20));
    EXPECT_EQ(Text(lines.join(u' ')), Text(QString::fromLatin1(dump.toHex(' '))));
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（620バイト）");

    // A saved .syx holds exactly the file's bytes; a saved .txt the lines, parted by CR LF.
    Click(f.Find<QPushButton>("ButtonOutSaveBinary"));
    EXPECT_EQ(ReadFile(dir.filePath("out.syx")), dump);
    Click(f.Find<QPushButton>("ButtonOutSaveText"));
    EXPECT_EQ(ReadFile(dir.filePath("out.txt")), lines.join("\r\n").toLatin1());

    // Sent, it leaves as the single line would: each message cut into packets of 128 bytes.
    std::vector<std::vector<uint8_t>> expected;
    for (const QByteArray& message : messages)
        for (qsizetype start = 0; start < message.size(); start += 128) {
            const QByteArray packet = message.mid(start, 128);
            expected.emplace_back(packet.begin(), packet.end());
        }
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));
    EXPECT_EQ(f.Sent(), expected);
    EXPECT_TRUE(f.Messages.isEmpty() && f.Errors.isEmpty()) << Text((f.Messages + f.Errors).join("|"));
}

TEST(BinaryPage, EmptySyxGivesAnEmptyMemo)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, "90 3C 7F");
    QTemporaryDir dir;
    WriteFile(dir.filePath("empty.syx"), {});
    TFileAnswers answers{{dir.filePath("empty.syx")}, {}};
    answers.Install();
    Click(f.Find<QPushButton>("ButtonOutLoadBinary"));
    EXPECT_TRUE(f.Find<QPlainTextEdit>("MemoMidiOut")->toPlainText().isEmpty());
    EXPECT_FALSE(f.Find<QPushButton>("ButtonSend")->isEnabled());
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力");
}

TEST(BinaryPage, OddDigitsSavedAsSyxGiveTheMessageAndAnEmptyFile)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, "F0 7");
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（1バイト）");  // three digits, rounded down
    QTemporaryDir dir;
    WriteFile(dir.filePath("old.syx"), "previous content");  // emptied, not kept
    TFileAnswers answers{{dir.filePath("old.syx")}, {}};
    answers.Install();
    Click(f.Find<QPushButton>("ButtonOutSaveBinary"));
    EXPECT_EQ(f.Messages, QStringList{OddMessage});
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("old.syx")));
    EXPECT_EQ(ReadFile(dir.filePath("old.syx")), QByteArray());
    EXPECT_TRUE(f.Errors.isEmpty());
}

struct TTextCase {
    const char* Name;
    QByteArray File;
    QByteArray Saved;
};

class TextFileTest : public ::testing::TestWithParam<TTextCase> {};

TEST_P(TextFileTest, LoadsWithCrLfAndSavesExactlyAsShown)
{
    const TTextCase& c = GetParam();
    TKelvaneFixture f;
    OpenBinaryPage(f);
    QTemporaryDir dir;
    WriteFile(dir.filePath("in.txt"), c.File);
    TFileAnswers answers{{dir.filePath("in.txt"), dir.filePath("out.txt")}, {}};
    answers.Install();
    Click(f.Find<QPushButton>("ButtonOutLoadText"));
    Click(f.Find<QPushButton>("ButtonOutSaveText"));
    EXPECT_EQ(ReadFile(dir.filePath("out.txt")), c.Saved);
    ASSERT_EQ(answers.Requests.size(), 2u);
    for (const TFileDialogRequest& request : answers.Requests) {
        EXPECT_EQ(Text(request.DefaultSuffix), "txt");
        EXPECT_EQ(Text(request.Filter), Text(TextFilter));
    }
    EXPECT_EQ(Text(f.Binary().Folders().Text), Text(dir.path() + "/"));
    EXPECT_TRUE(f.Messages.isEmpty() && f.Errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Binary, TextFileTest,
    ::testing::Values(
        TTextCase{"LineFeeds", "90 3c 7f\n80 3c 00\n", "90 3c 7f\r\n80 3c 00\r\n"},
        TTextCase{"CarriageReturns", "90 3c 7f\r80 3c 00", "90 3c 7f\r\n80 3c 00"},
        TTextCase{"Mixed", "a\r\n\nb\r\rc\n\r", "a\r\n\r\nb\r\n\r\nc\r\n\r\n"},
        TTextCase{"ByteOrderMarkDropped", "\xEF\xBB\xBF" "f0 7e\r\n", "f0 7e\r\n"},
        TTextCase{"NonAsciiKept", "\xE9\x9F\xB3 90\r\n", "\xE9\x9F\xB3 90\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

// What the open dialog may hand over that is no file to read: each gives one error naming it,
// leaves the memo as it was, and the folder is remembered all the same.
struct TUnreadableCase {
    const char* Name;
    std::function<void(const QString& path)> Make;
};

class UnreadableFileTest : public ::testing::TestWithParam<TUnreadableCase> {};

TEST_P(UnreadableFileTest, IsReportedOnceAndTheMemoStays)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, "90 3C 7F");
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    const QString path = dir.filePath("sub/in.syx");
    GetParam().Make(path);
    TFileAnswers answers{{path, path}, {}};
    answers.Install();
    // A read that waited (for a pipe's writer, say) would never return: ctest's time limit ends it.
    Click(f.Find<QPushButton>("ButtonOutLoadBinary"));
    Click(f.Find<QPushButton>("ButtonOutLoadText"));
    EXPECT_EQ(Text(f.Errors.join("|")), Text(path + QStringLiteral(" を読み込めません|") + path + QStringLiteral(" を読み込めません")));
    EXPECT_EQ(Text(f.Find<QPlainTextEdit>("MemoMidiOut")->toPlainText()), "90 3C 7F");
    EXPECT_EQ(Text(f.Binary().Folders().Binary), Text(dir.path() + "/sub/"));
    EXPECT_EQ(Text(f.Binary().Folders().Text), Text(dir.path() + "/sub/"));
}

INSTANTIATE_TEST_SUITE_P(
    Binary, UnreadableFileTest,
    ::testing::Values(TUnreadableCase{"Missing", [](const QString&) {}},
                      TUnreadableCase{"Folder", [](const QString& path) { QDir().mkdir(path); }},
                      // Opening a pipe would wait for a writer that never comes.
                      TUnreadableCase{"Pipe", [](const QString& path) {
                                          ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                                      }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BinaryPage, UnwritableFileIsReportedNamingItAndTheFolderIsStillRemembered)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, "90 3C 7F");
    QTemporaryDir dir;
    const QString unwritable = dir.filePath("gone/out.txt");
    TFileAnswers answers{{unwritable, dir.filePath("gone/out.syx")}, {}};
    answers.Install();
    Click(f.Find<QPushButton>("ButtonOutSaveText"));
    Click(f.Find<QPushButton>("ButtonOutSaveBinary"));
    ASSERT_EQ(f.Errors.size(), 2);
    EXPECT_TRUE(f.Errors[0].contains(unwritable)) << Text(f.Errors[0]);
    EXPECT_TRUE(f.Errors[1].contains(dir.filePath("gone/out.syx"))) << Text(f.Errors[1]);
    EXPECT_EQ(Text(f.Binary().Folders().Text), Text(dir.path() + "/gone/"));
    EXPECT_EQ(Text(f.Binary().Folders().Binary), Text(dir.path() + "/gone/"));
}

TEST(BinaryPage, HugeFileIsRefusedAtOnceWithAClearError)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, "90 3C 7F");
    QTemporaryDir dir;
    {
        QFile file(dir.filePath("huge.syx"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(50LL * 1024 * 1024));  // sparse: costs no disk
    }
    TFileAnswers answers{{dir.filePath("huge.syx")}, {}};
    answers.Install();
    Click(f.Find<QPushButton>("ButtonOutLoadBinary"));
    // Refused, with the limit it is over.
    EXPECT_EQ(Text(f.Errors.join("|")), Text(dir.filePath("huge.syx") + QStringLiteral(" は大きすぎて読み込めません（4 MiB まで）")));
    EXPECT_EQ(Text(f.Find<QPlainTextEdit>("MemoMidiOut")->toPlainText()), "90 3C 7F");
}

TEST(BinaryPage, CancelledDialogsChangeNothing)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    Type(f, "90 3C 7F");
    const QString folder = f.Binary().Folders().Binary;
    TFileAnswers answers;  // every dialog cancelled
    answers.Install();
    for (QPushButton* button : {f.Find<QPushButton>("ButtonOutLoadBinary"), f.Find<QPushButton>("ButtonOutSaveBinary"),
                                f.Find<QPushButton>("ButtonOutLoadText"), f.Find<QPushButton>("ButtonOutSaveText")})
        Click(button);
    EXPECT_EQ(answers.Requests.size(), 4u);
    EXPECT_EQ(Text(f.Find<QPlainTextEdit>("MemoMidiOut")->toPlainText()), "90 3C 7F");
    EXPECT_EQ(f.Binary().Folders().Binary, folder);
    EXPECT_TRUE(f.Messages.isEmpty() && f.Errors.isEmpty());
}

// --- layout, font and settings -----------------------------------------------------------------

TEST(BinaryPage, MemosShareThePanelWidthEqually)
{
    TKelvaneFixture f;
    OpenBinaryPage(f);
    // The control bar leaves the window its default width (635) and the combo its full 177.
    EXPECT_EQ(f.Main().width(), 635);
    QWidget* panel = f.Find<QWidget>("PanelBinary");
    f.Main().resize(f.Main().width() + 657 - panel->width(), f.Main().height());
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->width() == 657; }, 2000)) << panel->width();
    EXPECT_EQ(f.Find<TPortComboBox>("ComboMidiInDevice")->width(), 177);
    // (657 − 30) / 2 = 313.5, rounded toward zero.
    const int top = f.Find<QLabel>("LabelMidiIn")->height() + 10;
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->geometry(), QRect(10, top, 313, panel->height() - top - 5));
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiOut")->geometry(), QRect(332, top, 313, panel->height() - top - 5));
    EXPECT_EQ(f.Find<QLabel>("LabelMidiOut")->x(), 332);
}

TEST(BinaryPage, IntervalPacketSizeFoldersAndFontAreRestoredAndSaved)
{
    TKelvaneFixture f(WithSettings("[FormMain]\nBinaryFontName=Restored Face\nBinaryFontSize=12\n"
                                   "BinaryFontCharacterSet=0\nBinaryFontBold=1\n"
                                   "[SystemExclusiveSend]\nInterval=250\nPacketSize=256\n"
                                   "[FilePath]\nBinary=/saved/binary/\nText=/saved/text/\n"));
    OpenBinaryPage(f);
    EXPECT_EQ(f.Find<TSpinEdit>("SpinEditInterval")->Value(), 250);
    EXPECT_EQ(f.Find<TSpinEdit>("SpinEditPacketSize")->Value(), 256);
    EXPECT_EQ(f.Sender().TickInterval(), 250);
    for (QWidget* memo : {static_cast<QWidget*>(f.Find<QPlainTextEdit>("MemoMidiIn")), static_cast<QWidget*>(f.Find<QPlainTextEdit>("MemoMidiOut"))}) {
        EXPECT_EQ(Text(memo->font().family()), "Restored Face");
        EXPECT_EQ(memo->font().pointSize(), 12);
        EXPECT_TRUE(memo->font().bold());
    }

    TFileAnswers answers;
    answers.Install();
    Click(f.Find<QPushButton>("ButtonOutLoadBinary"));
    Click(f.Find<QPushButton>("ButtonOutLoadText"));
    ASSERT_EQ(answers.Requests.size(), 2u);
    EXPECT_EQ(Text(answers.Requests[0].InitialFolder), "/saved/binary/");
    EXPECT_EQ(Text(answers.Requests[1].InitialFolder), "/saved/text/");

    // The font dialog starts from the memos' font; its answer goes to both memos.
    std::optional<QFont> offered;
    DialogHooks().Font = [&](const QFont& font) -> std::optional<QFont> {
        offered = font;
        QFont chosen(QStringLiteral("Chosen Face"));
        chosen.setPointSize(14);
        chosen.setItalic(true);
        return chosen;
    };
    Click(f.Find<QPushButton>("ButtonBinaryFontSet"));
    ASSERT_TRUE(offered.has_value());
    EXPECT_EQ(Text(offered->family()), "Restored Face");
    EXPECT_EQ(Text(f.Find<QPlainTextEdit>("MemoMidiIn")->font().family()), "Chosen Face");
    EXPECT_EQ(Text(f.Find<QPlainTextEdit>("MemoMidiOut")->font().family()), "Chosen Face");

    TSpinEdit* interval = f.Find<TSpinEdit>("SpinEditInterval");
    QTest::mouseClick(interval, Qt::LeftButton, {}, QPoint(interval->width() - 4, 4));  // 255
    const QString settingsPath = f.SettingsPath();
    f.CloseWindow();

    const TIniFile ini = TIniFile::Load(settingsPath);
    EXPECT_EQ(ini.ReadInteger("SystemExclusiveSend", "Interval", 0), 255);
    EXPECT_EQ(ini.ReadInteger("SystemExclusiveSend", "PacketSize", 0), 256);
    EXPECT_EQ(Text(ini.ReadString("FilePath", "Binary", "")), "/saved/binary/");
    EXPECT_EQ(Text(ini.ReadString("FilePath", "Text", "")), "/saved/text/");
    EXPECT_EQ(Text(ini.ReadString("FormMain", "BinaryFontName", "")), "Chosen Face");
    EXPECT_EQ(ini.ReadInteger("FormMain", "BinaryFontSize", 0), 14);
    EXPECT_EQ(ini.ReadInteger("FormMain", "BinaryFontCharacterSet", -1), 0);  // kept as read
    EXPECT_FALSE(ini.ReadBool("FormMain", "BinaryFontBold", true));
    EXPECT_TRUE(ini.ReadBool("FormMain", "BinaryFontItalic", false));
}
