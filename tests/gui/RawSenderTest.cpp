// The raw editor's sender at work, through the real window: the checksum marks and their fix.
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

QString ChecksumStatus(TKelvaneFixture& f)
{
    auto* label = f.Find<QLabel>("LabelChecksumStatus");
    return label->isVisibleTo(Memo(f)) ? label->text() : QString();
}

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

void Select(TKelvaneFixture& f, int anchor, int position)
{
    QTextCursor cursor = Memo(f)->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    Memo(f)->setTextCursor(cursor);
}

}  // namespace

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
