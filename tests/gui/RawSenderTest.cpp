// The raw editor's sender at work, through the real window: a run's progress and time left, its
// stop (button, Escape, screen reader), the end of a run when the output port changes, the wait
// after each message, the checksum marks and their fix, and sending only the selection.
#include "GuiTest.h"
#include "IniFile.h"
#include "Language.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

namespace {

std::string Text(const QString& text)
{
    return text.toStdString();
}

QPlainTextEdit* Memo(TKelvaneFixture& f)
{
    return f.Find<QPlainTextEdit>("MemoMidiOut");
}

void Type(TKelvaneFixture& f, const QString& text)
{
    QTest::mouseClick(Memo(f)->viewport(), Qt::LeftButton);
    QTest::keyClicks(Memo(f), text);
}

// What the status strip below the memo says: the run's line and the checksums' line, each ""
// while it is not shown.
QString SendStatus(TKelvaneFixture& f)
{
    auto* label = f.Find<QLabel>("LabelSendStatus");
    return label->isVisibleTo(Memo(f)) ? label->text() : QString();
}

QString ChecksumStatus(TKelvaneFixture& f)
{
    auto* label = f.Find<QLabel>("LabelChecksumStatus");
    return label->isVisibleTo(Memo(f)) ? label->text() : QString();
}

// What each tick of the send timer left behind, read as the tick ends (the sender's own handler
// was connected first), however late a loaded machine lets it come.
struct TTick {
    std::string Label;
    std::string Status;
    int Interval;  // the timer's, for the next tick
};

class TTickLog {
public:
    explicit TTickLog(TKelvaneFixture& f) : F(f), Timer(*Find<QTimer>(f.Sender(), "TimerMidiOut"))
    {
        // Nothing may leave a slot by an exception: a control not found fails the test here.
        Connection = QObject::connect(&Timer, &QTimer::timeout, &Timer, [this] {
            try {
                Ticks.push_back({Text(F.Find<QLabel>("LabelMidiOut")->text()), Text(SendStatus(F)), Timer.interval()});
                if (OnTick)
                    OnTick(Ticks.size());
            } catch (const std::exception& error) {
                ADD_FAILURE() << error.what();
                Ticks.push_back({});
            }
        });
    }
    ~TTickLog() { QObject::disconnect(Connection); }

    std::vector<TTick> Ticks;
    std::function<void(size_t tick)> OnTick;  // runs inside the tick, after the sender's work

private:
    TKelvaneFixture& F;
    QTimer& Timer;
    QMetaObject::Connection Connection;
};

// Opens the memo's own menu as the keyboard's menu key does, and gives the names of the actions
// it offers (the memo's editing actions have none). The menu is closed again.
QStringList MemoMenuActions(TKelvaneFixture& f)
{
    QStringList names;
    bool opened = false;
    QTimer::singleShot(0, Memo(f), [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        opened = true;
        for (QAction* action : menu->actions())
            if (!action->objectName().isEmpty() && action->isVisible())
                names.append(action->objectName());
        menu->close();
    });
    QPlainTextEdit* memo = Memo(f);
    const QPoint at = memo->cursorRect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, memo->viewport()->mapToGlobal(at));
    QApplication::sendEvent(memo->viewport(), &event);
    EXPECT_TRUE(opened) << "the memo's menu did not open";
    return names;
}

// Chooses an action from the memo's menu, as a user does: the menu opens, offers it, closes.
void ChooseFromMemoMenu(TKelvaneFixture& f, const char* action)
{
    ASSERT_TRUE(MemoMenuActions(f).contains(QString::fromLatin1(action))) << action << " is not offered";
    QAction* chosen = f.Find<QAction>(QString::fromLatin1(action));
    ASSERT_TRUE(chosen->isEnabled()) << action;
    chosen->trigger();
}

// Keys reach a window's shortcuts only while it is the active one, as it is for a user typing
// (offscreen every window counts as active; on an X server it must be made so).
void Activate(TKelvaneFixture& f)
{
    f.Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.Main()));
}

void Select(TKelvaneFixture& f, int anchor, int position)
{
    QTextCursor cursor = Memo(f)->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    Memo(f)->setTextCursor(cursor);
}

}  // namespace

// --- progress and the wait after each message --------------------------------------------------

TEST(RawSender, ARunShowsTheBytesSentOfTheTotalAndTheTimeLeftWithTheWaitAfterEachMessage)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=500\nWaitAfterMessage=1000\n"));
    ShowPage(f, 2);
    Type(f, "F0 7E 7F 09 01 F7 F0 7E 7F 09 02 F7 90 3C 7F");
    EXPECT_EQ(SendStatus(f), "");
    EXPECT_FALSE(f.Find<QWidget>("PanelMemoMidiOutStatus")->isVisible());
    TTickLog log(f);
    Click(f.Find<QPushButton>("ButtonSend"));

    // The first packet leaves after an interval, the second and the third each after the wait
    // that follows a message: 500 + 1000 + 1000 ms, rounded up to whole seconds.
    EXPECT_EQ(Text(SendStatus(f)), "送信中：0 / 15バイト　残り 0:03");
    EXPECT_TRUE(f.Find<QPushButton>("ButtonStopSending")->isVisible());
    EXPECT_EQ(f.Sender().TickInterval(), 500);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 10000));
    ASSERT_EQ(log.Ticks.size(), 4u);  // three packets, and the tick that ends the run
    EXPECT_EQ(log.Ticks[0].Label, "MIDI出力（6バイト）");
    EXPECT_EQ(log.Ticks[0].Status, "送信中：6 / 15バイト　残り 0:02");  // 1000 + 1000 ms
    EXPECT_EQ(log.Ticks[0].Interval, 1000);  // after F7: the wait
    EXPECT_EQ(log.Ticks[1].Status, "送信中：12 / 15バイト　残り 0:01");
    EXPECT_EQ(log.Ticks[1].Interval, 1000);
    EXPECT_EQ(log.Ticks[2].Label, "MIDI出力（15バイト）");
    EXPECT_EQ(log.Ticks[2].Status, "送信中：15 / 15バイト　残り 0:00");
    EXPECT_EQ(log.Ticks[2].Interval, 500);  // no F7: the interval
    EXPECT_EQ(f.Sent(), Wire({"F0 7E 7F 09 01 F7", "F0 7E 7F 09 02 F7", "90 3C 7F"}));

    // The end of the run leaves nothing to say, and the next run starts at the interval again.
    EXPECT_EQ(SendStatus(f), "");
    EXPECT_FALSE(f.Find<QPushButton>("ButtonStopSending")->isVisible());
    EXPECT_EQ(f.Sender().TickInterval(), 500);
    EXPECT_TRUE(f.Messages.isEmpty() && f.Errors.isEmpty()) << Text((f.Messages + f.Errors).join("|"));
}

// --- stopping ----------------------------------------------------------------------------------

struct TStopCase {
    const char* Name;
    std::function<void(TKelvaneFixture&)> Stop;
};

class StopTest : public ::testing::TestWithParam<TStopCase> {};

TEST_P(StopTest, EndsTheRunAtOnceAndSaysWhereItStopped)
{
    // A message of 300 bytes in packets of 128, then a short one: stopped after the first packet,
    // the message is left cut short.
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=500\nPacketSize=128\n"));
    ShowPage(f, 2);
    ASSERT_NO_FATAL_FAILURE(Activate(f));
    QByteArray message(300, '\x11');
    message[0] = char(0xF0);
    message[299] = char(0xF7);
    Memo(f)->setPlainText(QString::fromLatin1(message.toHex(' ')) + "\n90 3c 7f");
    TTickLog log(f);
    log.OnTick = [&](size_t tick) {
        if (tick == 1)
            GetParam().Stop(f);
    };
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.Ticks.empty(); }, 5000));
    // Most ways stop inside the first tick; a screen reader's press is a click a moment later,
    // still long before the next tick.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));

    EXPECT_TRUE(f.Sender().Waiting().isEmpty());
    EXPECT_EQ(Text(SendStatus(f)), "送信を停止しました（128 / 303バイト送信済み，システム・エクスクルーシブ・メッセージの途中）");
    EXPECT_FALSE(f.Find<QPushButton>("ButtonStopSending")->isVisible());
    EXPECT_FALSE(f.Find<QAction>("ActionStopSending")->isEnabled());  // Escape is free again
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（128バイト）");
    EXPECT_NE(f.Find<QLabel>("LabelMidiOut")->palette().color(QPalette::Window), QColor(0, 255, 255));
    EXPECT_EQ(f.Sender().SentByteCount(), 0);
    QTest::qWait(600);  // more than an interval: nothing more
    ASSERT_EQ(f.Sent().size(), 1u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(f.Sent()[0].data()), 128), message.left(128));
    EXPECT_TRUE(f.Messages.isEmpty() && f.Errors.isEmpty()) << Text((f.Messages + f.Errors).join("|"));

    // A new send starts a run of its own from the first byte, and its status replaces the old.
    Click(f.Find<QPushButton>("ButtonSend"));
    EXPECT_EQ(Text(SendStatus(f)), "送信中：0 / 303バイト　残り 0:02");
    Click(f.Find<QPushButton>("ButtonStopSending"));
    EXPECT_EQ(Text(SendStatus(f)), "送信を停止しました（0 / 303バイト送信済み）");
    EXPECT_EQ(f.Sent().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    RawSender, StopTest,
    ::testing::Values(
        TStopCase{"StopButton", [](TKelvaneFixture& f) { Click(f.Find<QPushButton>("ButtonStopSending")); }},
        // Escape wherever the focus is on the page: in the memo, in the control bar.
        TStopCase{"EscapeInTheMemo",
                  [](TKelvaneFixture& f) {
                      Memo(f)->setFocus();
                      QTest::keyClick(Memo(f), Qt::Key_Escape);
                  }},
        TStopCase{"EscapeInTheControlBar",
                  [](TKelvaneFixture& f) {
                      f.Find<QWidget>("SpinEditPacketSize")->setFocus();
                      QTest::keyClick(f.Find<QWidget>("SpinEditPacketSize"), Qt::Key_Escape);
                  }},
        // A screen reader finds the stop button by its name and presses it.
        TStopCase{"ScreenReader",
                  [](TKelvaneFixture& f) {
                      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(f.Find<QPushButton>("ButtonStopSending"));
                      ASSERT_NE(face, nullptr);
                      EXPECT_EQ(face->role(), QAccessible::Button);
                      EXPECT_EQ(Text(face->text(QAccessible::Name)), "送信を停止");
                      EXPECT_FALSE(face->state().invisible);
                      ASSERT_NE(face->actionInterface(), nullptr);
                      face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                  }},
        TStopCase{"MemoMenu", [](TKelvaneFixture& f) { ChooseFromMemoMenu(f, "ActionStopSending"); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RawSender, EscapeElsewhereOrWithNothingToStopDoesNothing)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=500\n"));
    ShowPage(f, 2);
    ASSERT_NO_FATAL_FAILURE(Activate(f));
    Type(f, "F0 01 F7 F0 02 F7 F0 03 F7");
    QTest::keyClick(Memo(f), Qt::Key_Escape);  // no run: no status
    EXPECT_EQ(SendStatus(f), "");

    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(f.Sender().Sending());
    // A run goes on while another page is shown; Escape there is not the Binary page's.
    ShowPage(f, 0);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f.Main(), Qt::Key_Escape);
    EXPECT_TRUE(f.Sender().Sending());
    ShowPage(f, 2);
    QTest::keyClick(f.Find<QWidget>("ButtonSend"), Qt::Key_Escape);
    EXPECT_FALSE(f.Sender().Sending());
}

// --- the output port changes under a run -------------------------------------------------------

struct TPortChangeCase {
    const char* Name;
    std::set<int> FailingOpens;  // output devices whose open fails
    QStringList Messages;        // the boxes the change itself shows
};

class PortChangeTest : public ::testing::TestWithParam<TPortChangeCase> {};

TEST_P(PortChangeTest, EndsTheRunWithoutSendingTheRestToAnotherPortOrReportingAnError)
{
    const TPortChangeCase& c = GetParam();
    TFixtureOptions options = WithSettings("[SystemExclusiveSend]\nInterval=20\n");
    options.FailingOpens = c.FailingOpens;
    TKelvaneFixture f(options);
    ShowPage(f, 2);
    Type(f, "F0 01 F7 F0 02 F7 F0 03 F7 F0 04 F7");
    QAction* otherPort = nullptr;
    for (QAction* item : f.Find<QMenu>("MenuOutDevice")->actions())
        if (item->data().toString() == "Test Port")
            otherPort = item;
    ASSERT_NE(otherPort, nullptr);
    TTickLog log(f);
    log.OnTick = [&](size_t tick) {
        if (tick == 1)
            otherPort->trigger();  // the user chooses another port from the menu
    };
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));

    EXPECT_EQ(f.Sent(), Wire({"F0 01 F7"}));  // nothing after the change, to either port
    EXPECT_EQ(Text(SendStatus(f)), "出力ポートが変わったため送信を停止しました（3 / 12バイト送信済み）");
    EXPECT_TRUE(f.Errors.isEmpty()) << Text(f.Errors.join("|"));
    EXPECT_EQ(f.Messages.size(), c.Messages.size()) << Text(f.Messages.join("|"));
    for (qsizetype i = 0; i < std::min(f.Messages.size(), c.Messages.size()); ++i)
        EXPECT_TRUE(f.Messages[i].startsWith(c.Messages[i])) << Text(f.Messages[i]);

    // A send now goes to the port in use.
    if (c.FailingOpens.empty()) {
        f.ClearSent();
        Click(f.Find<QPushButton>("ButtonSend"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));
        EXPECT_EQ(f.Sent().size(), 4u);
        EXPECT_EQ(SendStatus(f), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    RawSender, PortChangeTest,
    ::testing::Values(TPortChangeCase{"AnotherPortOpens", {}, {}},
                      // "Test Port" is the service's device 1. The old port is closed and none
                      // is open.
                      TPortChangeCase{"TheNewPortFailsToOpen", {1}, {QStringLiteral("指定された出力ポートを開けませんでした")}}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- checksums ---------------------------------------------------------------------------------

namespace {

// Two GS data sets with wrong sums (the right ones are 41 and 0F), one right one between them,
// and a message of another maker.
const QString WrongSums = QStringLiteral("F0 41 10 42 12 40 00 7F 00 42 F7\n"
                                         "f0 41 10 42 12 40 00 7f 00 41 f7\n"
                                         "F0 41 10 42 12 40 01 30 00 0B F7 F0 7E 7F 09 01 F7");
const QString FixedSums = QStringLiteral("F0 41 10 42 12 40 00 7F 00 41 F7\n"
                                         "f0 41 10 42 12 40 00 7f 00 41 f7\n"
                                         "F0 41 10 42 12 40 01 30 00 0F F7 F0 7E 7F 09 01 F7");

// The marks in the memo as character ranges.
std::vector<std::pair<int, int>> MarkedRanges(TKelvaneFixture& f)
{
    std::vector<std::pair<int, int>> ranges;
    for (const QTextEdit::ExtraSelection& mark : Memo(f)->extraSelections())
        ranges.emplace_back(mark.cursor.selectionStart(), mark.cursor.selectionEnd());
    return ranges;
}

}  // namespace

TEST(RawSender, WrongChecksumsAreMarkedCountedAndFixedAsOneUndoableEdit)
{
    TKelvaneFixture f;
    ShowPage(f, 2);
    Type(f, WrongSums.section(u'\n', 0, 0));
    // One wrong data set typed: marked, counted.
    EXPECT_EQ(Text(ChecksumStatus(f)), "チェックサムが違うメッセージ: 1");
    Memo(f)->setPlainText(WrongSums);
    EXPECT_EQ(Text(ChecksumStatus(f)), "チェックサムが違うメッセージ: 2");
    EXPECT_TRUE(f.Find<QPushButton>("ButtonFixChecksums")->isVisible());
    // The whole message on one colour, its two sum digits on another: the first message is
    // characters 0..31 with its sum at 27 and 28, the third starts on the third line.
    const int third = int(WrongSums.indexOf(u'\n', 33)) + 1;
    const std::vector<std::pair<int, int>> expected = {
        {0, 32}, {27, 28}, {28, 29}, {third, third + 32}, {third + 27, third + 28}, {third + 28, third + 29}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return MarkedRanges(f) == expected; }, 2000)) << MarkedRanges(f).size();
    const QList<QTextEdit::ExtraSelection> marks = Memo(f)->extraSelections();
    EXPECT_NE(marks[0].format.background(), marks[1].format.background());

    Click(f.Find<QPushButton>("ButtonFixChecksums"));
    EXPECT_EQ(Text(Memo(f)->toPlainText()), Text(FixedSums));  // only the sums' digits changed
    EXPECT_EQ(ChecksumStatus(f), "");
    EXPECT_FALSE(f.Find<QWidget>("PanelMemoMidiOutStatus")->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return MarkedRanges(f).empty(); }, 2000));

    // One undo takes the whole fix back.
    Memo(f)->setFocus();
    QTest::keyClick(Memo(f), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(Memo(f)->toPlainText()), Text(WrongSums));
    EXPECT_EQ(Text(ChecksumStatus(f)), "チェックサムが違うメッセージ: 2");

    // The fixed messages are what a send puts on the wire.
    ChooseFromMemoMenu(f, "ActionFixChecksums");
    f.ClearSent();
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));
    EXPECT_EQ(f.Sent(), Wire({"F0 41 10 42 12 40 00 7F 00 41 F7", "F0 41 10 42 12 40 00 7F 00 41 F7",
                              "F0 41 10 42 12 40 01 30 00 0F F7", "F0 7E 7F 09 01 F7"}));
}

TEST(RawSender, TheCountFollowsTypingAlsoWhenEveryLaterPairShifts)
{
    TKelvaneFixture f;
    ShowPage(f, 2);
    Memo(f)->setPlainText(FixedSums);
    EXPECT_EQ(ChecksumStatus(f), "");
    EXPECT_FALSE(f.Find<QAction>("ActionFixChecksums")->isEnabled());
    EXPECT_FALSE(f.Find<QWidget>("PanelMemoMidiOutStatus")->isVisible());

    // A sum's digit typed over: that message is wrong.
    Select(f, 28, 29);
    QTest::keyClick(Memo(f), Qt::Key_2);
    EXPECT_EQ(Text(ChecksumStatus(f)), "チェックサムが違うメッセージ: 1");
    EXPECT_TRUE(f.Find<QAction>("ActionFixChecksums")->isEnabled());

    // A digit more at the start pairs every later digit with another: no data set is left.
    Select(f, 1, 1);
    QTest::keyClick(Memo(f), Qt::Key_0);
    EXPECT_EQ(ChecksumStatus(f), "");
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（39バイト）");  // 79 digits
    QTest::keyClick(Memo(f), Qt::Key_Backspace);
    EXPECT_EQ(Text(ChecksumStatus(f)), "チェックサムが違うメッセージ: 1");
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（39バイト）");
}

struct TLanguageCase {
    const char* Name;
    TLanguage Language;
    const char* Status;
};

class ChecksumCountLanguageTest : public ::testing::TestWithParam<TLanguageCase> {
protected:
    void TearDown() override { UseLanguage(TLanguage::Japanese); }
};

TEST_P(ChecksumCountLanguageTest, TheStatusCountsTheWrongMessages)
{
    ASSERT_TRUE(UseLanguage(GetParam().Language));
    TKelvaneFixture f;
    ShowPage(f, 2);
    Memo(f)->setPlainText(WrongSums);
    EXPECT_EQ(Text(ChecksumStatus(f)), GetParam().Status);
}

INSTANTIATE_TEST_SUITE_P(RawSender, ChecksumCountLanguageTest,
                         ::testing::Values(TLanguageCase{"Japanese", TLanguage::Japanese, "チェックサムが違うメッセージ: 2"},
                                           TLanguageCase{"English", TLanguage::English, "Messages with a wrong checksum: 2"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The run's line, the stop button and the memo's menu under an English interface.
TEST(RawSender, TheRunAndTheMenuSpeakEnglishUnderAnEnglishInterface)
{
    ASSERT_TRUE(UseLanguage(TLanguage::English));
    struct TBackToJapanese {
        ~TBackToJapanese() { UseLanguage(TLanguage::Japanese); }
    } backToJapanese;
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=500\nWaitAfterMessage=1000\n"));
    ShowPage(f, 2);
    Type(f, "F0 7E 7F 09 01 F7 90 3C 7F");
    Click(f.Find<QPushButton>("ButtonSend"));
    // The first packet after an interval, the second after the wait that follows a message.
    EXPECT_EQ(Text(SendStatus(f)), "Sending: 0 of 9 bytes, 0:02 left");
    auto* stop = f.Find<QPushButton>("ButtonStopSending");
    EXPECT_EQ(Text(stop->text()), "Stop");
    EXPECT_EQ(Text(stop->accessibleName()), "Stop sending");
    Click(stop);
    EXPECT_EQ(Text(SendStatus(f)), "Sending stopped (0 of 9 bytes sent)");

    Select(f, 0, 5);
    const QStringList offered = MemoMenuActions(f);
    const std::pair<const char*, const char*> texts[] = {{"ActionSendSelection", "S&end the selection"},
                                                         {"ActionStopSending", "&Stop sending"},
                                                         {"ActionFixChecksums", "Fix all chec&ksums"},
                                                         {"ActionWaitAfterMessage", "&Wait after each message (1000 ms)..."}};
    for (const auto& [name, text] : texts) {
        EXPECT_TRUE(offered.contains(QString::fromLatin1(name))) << name;
        EXPECT_EQ(Text(f.Find<QAction>(QString::fromLatin1(name))->text()), text) << name;
    }
}

// --- sending the selection ---------------------------------------------------------------------

namespace {

const QString ThreeMessages = QStringLiteral("F0 7E 7F 09 01 F7\nF0 41 10 42 12 40 00 7F 00 41 F7 90 3C 7F");
constexpr int SecondStart = 18;  // "F0 41 ..."
constexpr int SecondEnd = 50;    // after its "F7"

}  // namespace

struct TSelectionCase {
    const char* Name;
    int Anchor;
    int Position;
    std::vector<std::vector<uint8_t>> Sent;
    int OddMessages;
};

class SelectionTest : public ::testing::TestWithParam<TSelectionCase> {};

TEST_P(SelectionTest, SendsOnlyTheSelectedBytesCutAsSendCutsTheMemo)
{
    const TSelectionCase& c = GetParam();
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=5\nPacketSize=128\n"));
    ShowPage(f, 2);
    Memo(f)->setPlainText(ThreeMessages);
    ASSERT_EQ(Text(Memo(f)->toPlainText().mid(SecondStart, SecondEnd - SecondStart)), "F0 41 10 42 12 40 00 7F 00 41 F7");
    Select(f, c.Anchor, c.Position);
    f.ClearSent();
    ChooseFromMemoMenu(f, "ActionSendSelection");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));
    EXPECT_EQ(f.Sent(), c.Sent);
    EXPECT_EQ(f.Messages.size(), c.OddMessages) << Text(f.Messages.join("|"));
    EXPECT_TRUE(f.Errors.isEmpty()) << Text(f.Errors.join("|"));
}

INSTANTIATE_TEST_SUITE_P(
    RawSender, SelectionTest,
    ::testing::Values(
        TSelectionCase{"OneMessage", SecondStart, SecondEnd, Wire({"F0 41 10 42 12 40 00 7F 00 41 F7"}), 0},
        TSelectionCase{"SelectedBackwards", SecondEnd, SecondStart, Wire({"F0 41 10 42 12 40 00 7F 00 41 F7"}), 0},
        // Across a line break, into the short message: two sections, as Send would cut them.
        TSelectionCase{"TwoSections", 15, 59, Wire({"F7", "F0 41 10 42 12 40 00 7F 00 41 F7", "90 3C 7F"}), 0},
        // Half a pair at the end: the last section is left out, with the message.
        TSelectionCase{"OddDigits", SecondStart, SecondEnd + 5, Wire({"F0 41 10 42 12 40 00 7F 00 41 F7"}), 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RawSender, SendingTheSelectionIsOfferedOnlyWithASelection)
{
    TKelvaneFixture f;
    ShowPage(f, 2);
    Memo(f)->setPlainText(ThreeMessages);
    EXPECT_FALSE(MemoMenuActions(f).contains("ActionSendSelection"));
    Select(f, 0, 5);
    EXPECT_TRUE(MemoMenuActions(f).contains("ActionSendSelection"));
    Select(f, 5, 5);
    EXPECT_FALSE(MemoMenuActions(f).contains("ActionSendSelection"));
}

// --- the wait after each message: set, kept and used ------------------------------------------

TEST(RawSender, TheWaitIsSetInItsDialogKeptInTheSettingsAndLeftAsItWasWhenUntouched)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nWaitAfterMessage=1200\n"));
    ShowPage(f, 2);
    QAction* waitAction = f.Find<QAction>("ActionWaitAfterMessage");
    EXPECT_EQ(Text(waitAction->text()), "メッセージ後の待ち時間（1200ミリ秒）(&W)...");
    const QString settingsPath = f.SettingsPath();
    f.CloseWindow();
    // A value set by hand is written back, not the old default over it.
    EXPECT_EQ(TIniFile::Load(settingsPath).ReadInteger("SystemExclusiveSend", "WaitAfterMessage", -1), 1200);

    f.Windows = CreateKelvaneWindows({}, f.ProgramPath());
    ShowPage(f, 2);
    // Answers the dialog once it is open (the menu that leads to it opens first).
    const auto answerDialog = [&](int value, bool accept) {
        auto* poll = new QTimer(&f.Main());
        QObject::connect(poll, &QTimer::timeout, poll, [=] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            EXPECT_EQ(Text(dialog->objectName()), "DialogWaitAfterMessage");
            auto* box = Find<QSpinBox>(*dialog, "SpinEditWaitAfterMessage");
            EXPECT_EQ(box->minimum(), 0);
            EXPECT_EQ(box->maximum(), 5000);
            box->setValue(value);
            accept ? dialog->accept() : dialog->reject();
        });
        poll->start(10);
    };
    answerDialog(40, false);  // cancelled: nothing changes
    ChooseFromMemoMenu(f, "ActionWaitAfterMessage");
    EXPECT_EQ(Text(f.Find<QAction>("ActionWaitAfterMessage")->text()), "メッセージ後の待ち時間（1200ミリ秒）(&W)...");
    answerDialog(250, true);
    ChooseFromMemoMenu(f, "ActionWaitAfterMessage");
    EXPECT_EQ(Text(f.Find<QAction>("ActionWaitAfterMessage")->text()), "メッセージ後の待ち時間（250ミリ秒）(&W)...");

    // The new wait follows the next message sent.
    TTickLog log(f);
    Type(f, "F0 01 F7 90 3C 7F");
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));
    ASSERT_EQ(log.Ticks.size(), 3u);
    EXPECT_EQ(log.Ticks[0].Interval, 250);
    EXPECT_EQ(log.Ticks[1].Interval, 100);
    f.CloseWindow();
    EXPECT_EQ(TIniFile::Load(settingsPath).ReadInteger("SystemExclusiveSend", "WaitAfterMessage", -1), 250);
}

// The output's device goes away in the middle of a run: the run ends at the next packet and says
// why in its box (an explicit action, unlike a key, which only says so in the status line); no
// packet counts as sent that went nowhere.
TEST(RawSender, ARunEndsWithItsBoxWhenTheOutputsDeviceGoes)
{
    TKelvaneFixture f(WithSettings("[SystemExclusiveSend]\nInterval=20\n"));
    ShowPage(f, 2);
    Type(f, "F0 01 F7 F0 02 F7 F0 03 F7 F0 04 F7");
    const std::string device = f.Session().Output().ProductName();
    TTickLog log(f);
    log.OnTick = [&](size_t tick) {
        if (tick == 1)
            f.Service().Vanish(device);
    };
    Click(f.Find<QPushButton>("ButtonSend"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Sender().Sending(); }, 5000));

    EXPECT_EQ(f.Sent(), Wire({"F0 01 F7"}));
    ASSERT_EQ(f.Errors.size(), 1) << Text((f.Messages + f.Errors).join("|")) << " status: " << Text(SendStatus(f));
    EXPECT_EQ(Text(f.Errors[0]), "MIDI output port is no longer there: Test Synth");
    EXPECT_EQ(Text(f.Find<QLabel>("LabelMidiOut")->text()), "MIDI出力（3バイト）");
}
