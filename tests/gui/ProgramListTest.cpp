// The program selection dialog through its real widgets: what a press on a line, the arrow keys
// and each way of closing put on the wire and into the main window's program field, the name
// sets of program.ini, and the dialog's own section of the settings file.
#include "GuiTest.h"
#include "IniFile.h"
#include "ProgramListDialog.h"
#include "Settings.h"
#include "SpinEdit.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QLineEdit>
#include <QFile>
#include <QGuiApplication>
#include <QListWidget>
#include <QMap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString ChooseVoice = QStringLiteral("呼び出したい音色を選択してOKボタンを押してください");
const QString OutOfRange = QStringLiteral("プログラム番号の範囲外です");

// The settings text that shows program `program` in the display range starting at `offset`.
QString ProgramSettings(int offset, int program)
{
    return QStringLiteral("[ProgramChange]\nMinimumValue=%1\nProgram(0-127)=%2\n").arg(offset).arg(program);
}

// A name set of `count` lines, "000=Voice 0" and so on.
QByteArray LongSet(int count)
{
    QByteArray text = "[Long]\n";
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("%1=Voice %2\n").arg(i, 3, 10, QLatin1Char('0')).arg(i).toUtf8();
    return text;
}

QMap<QString, QString> Section(const QString& settingsPath, const QString& section)
{
    QMap<QString, QString> entries;
    for (const auto& [key, value] : TIniFile::Load(settingsPath).SectionEntries(section))
        entries.insert(key, value);
    return entries;
}

// The main window shown, as the user has it, and the dialog it made at start-up (or one made
// afresh after a test has put its own program.ini beside the program).
class ProgramListTest : public ::testing::Test {
protected:
    void Start(TFixtureOptions options = {})
    {
        Own.reset();
        F.reset();
        F = std::make_unique<TKelvaneFixture>(std::move(options));
        F->Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&F->Main()));
        Dialog = F->Windows.ProgramList.get();
    }
    // Replaces program.ini and makes a dialog that reads it.
    void UseProgramIni(const QByteArray& text)
    {
        WriteFile(F->Folder() + "program.ini", text);
        MakeDialog();
    }
    void MakeDialog()
    {
        Own = std::make_unique<TProgramListDialog>(F->Controller(), &F->Main());
        Dialog = Own.get();
    }
    void TearDown() override
    {
        Own.reset();
        F.reset();
    }

    QListWidget* List() { return Find<QListWidget>(*Dialog, "ListMain"); }
    TSpinEdit* ProgramField() { return F->Find<TSpinEdit>("SpinEditProgram"); }
    void Open()
    {
        F->ClearSent();
        Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog));
    }
    QPoint LinePoint(int line) { return List()->visualItemRect(List()->item(line)).center(); }
    void Press(int line, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(List()->viewport(), button, {}, LinePoint(line));
    }
    void Release(int line, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(List()->viewport(), button, {}, LinePoint(line));
    }
    int SelectedLine()
    {
        const auto selected = List()->selectedItems();
        return selected.isEmpty() ? -1 : List()->row(selected.first());
    }

    std::unique_ptr<TKelvaneFixture> F;
    std::unique_ptr<TProgramListDialog> Own;
    TProgramListDialog* Dialog = nullptr;
};

// --- presses, keys and closing, under both display ranges

class ProgramListRangeTest : public ProgramListTest, public ::testing::WithParamInterface<int> {};

TEST_P(ProgramListRangeTest, PressesSendAndSoundCancelGoesBack)
{
    const int offset = GetParam();
    Start(WithSettings(ProgramSettings(offset, 5)));
    Open();
    EXPECT_EQ(SelectedLine(), 5);
    EXPECT_EQ(F->Sent(), Wire({"C0 05"}));

    F->ClearSent();
    Press(10);
    EXPECT_EQ(SelectedLine(), 10);
    EXPECT_EQ(ProgramField()->Text(), QString::number(10 + offset));
    EXPECT_EQ(F->Sent(), Wire({"C0 0A", "90 3C 78"}));
    Release(10);
    EXPECT_EQ(F->Sent(), Wire({"C0 0A", "90 3C 78", "80 3C 28"}));

    // Right and middle presses play an octave higher and leave the selection where it is.
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        F->ClearSent();
        Press(3, button);
        EXPECT_EQ(SelectedLine(), 10);
        EXPECT_EQ(ProgramField()->Text(), QString::number(10 + offset));
        Release(3, button);
        EXPECT_EQ(F->Sent(), Wire({"90 48 78", "80 48 28"}));
    }

    F->ClearSent();
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonCancel"), Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(ProgramField()->Text(), QString::number(5 + offset));
    EXPECT_EQ(F->Sent(), Wire({"C0 05"}));
    EXPECT_TRUE(F->Messages.isEmpty()) << F->Messages.join("|").toStdString();
}

TEST_P(ProgramListRangeTest, ArrowKeysMoveTheHighlightButOkKeepsTheProgramSent)
{
    const int offset = GetParam();
    Start(WithSettings(ProgramSettings(offset, 5)));
    Open();
    Press(10);
    Release(10);
    F->ClearSent();

    QTest::keyClick(List(), Qt::Key_Down);
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(SelectedLine(), 12);
    EXPECT_TRUE(F->Sent().empty());

    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonOK"), Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(ProgramField()->Text(), QString::number(10 + offset));
    EXPECT_EQ(F->Sent(), Wire({"C0 0A"}));
}

INSTANTIATE_TEST_SUITE_P(DisplayRanges, ProgramListRangeTest, ::testing::Values(0, 1),
    [](const auto& info) { return info.param == 0 ? std::string("From0") : std::string("From1"); });

// A second press on the line sent last sounds again without a second program change; a real
// double-click is a press, a release, a press and the double-click event.
TEST_F(ProgramListTest, SecondPressOnTheSameLineOnlySounds)
{
    for (const bool doubleClick : {false, true}) {
        Start(WithSettings(ProgramSettings(0, 5)));
        Open();
        F->ClearSent();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, LinePoint(10));
        QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, LinePoint(10));
        if (doubleClick)
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, LinePoint(10));
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, LinePoint(10));
        EXPECT_EQ(F->Sent(), Wire({"C0 0A", "90 3C 78", "80 3C 28", "90 3C 78", "80 3C 28"}))
            << "double-click " << doubleClick;
        EXPECT_EQ(ProgramField()->Text(), "10");
    }
}

// The path the user takes: a click on the main page's "プログラム" label runs the dialog modally.
TEST_F(ProgramListTest, LabelProgramRunsTheDialogModally)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    F->ClearSent();
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = Dialog->isVisible() && QApplication::activeModalWidget() == Dialog;
        Press(10);
        Release(10);
        QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonOK"), Qt::LeftButton);
    });
    QTest::mouseClick(F->Find<QLabel>("LabelProgram"), Qt::LeftButton);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(ProgramField()->Text(), "10");
    EXPECT_EQ(F->Sent(), Wire({"C0 05", "C0 0A", "90 3C 78", "80 3C 28", "C0 0A"}));
}

// --- every way of closing runs the close once: one program change, one settings write

struct TCloseCase {
    const char* Name;
    std::function<void(TProgramListDialog&)> Close;
    const char* ProgramSent;
};

class ProgramListCloseTest : public ProgramListTest, public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(ProgramListCloseTest, ClosesOnceSendingTheResultAndSaving)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    Open();
    Press(10);
    Release(10);
    F->ClearSent();
    QFile::remove(F->SettingsPath());

    GetParam().Close(*Dialog);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(F->Sent(), Wire({GetParam().ProgramSent}));
    EXPECT_EQ(Section(F->SettingsPath(), "FormProgramList").value("Columns"), "3");
    EXPECT_TRUE(F->Messages.isEmpty()) << F->Messages.join("|").toStdString();
    EXPECT_TRUE(F->Errors.isEmpty()) << F->Errors.join("|").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ways, ProgramListCloseTest,
    ::testing::Values(
        TCloseCase{"OkButton", [](TProgramListDialog& d) { QTest::mouseClick(Find<QPushButton>(d, "ButtonOK"), Qt::LeftButton); }, "C0 0A"},
        TCloseCase{"EnterKey", [](TProgramListDialog& d) { QTest::keyClick(Find<QListWidget>(d, "ListMain"), Qt::Key_Return); }, "C0 0A"},
        TCloseCase{"CancelButton", [](TProgramListDialog& d) { QTest::mouseClick(Find<QPushButton>(d, "ButtonCancel"), Qt::LeftButton); }, "C0 05"},
        TCloseCase{"EscapeKey", [](TProgramListDialog& d) { QTest::keyClick(Find<QListWidget>(d, "ListMain"), Qt::Key_Escape); }, "C0 05"},
        TCloseCase{"CloseBox", [](TProgramListDialog& d) { d.close(); }, "C0 05"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A note still held when the dialog closes is released before the program goes back.
TEST_F(ProgramListTest, HeldTestNoteStopsAtTheClose)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    Open();
    Press(10);
    F->ClearSent();
    QTest::keyClick(Dialog, Qt::Key_Escape);
    EXPECT_EQ(F->Sent(), Wire({"80 3C 28", "C0 05"}));
    Release(10);
    EXPECT_EQ(F->Sent(), Wire({"80 3C 28", "C0 05"}));
}

// --- program.ini

TEST_F(ProgramListTest, EmptyValuesGiveNoLineAndShiftTheNumbers)
{
    Start(WithSettings(ProgramSettings(0, 0)));
    UseProgramIni("[Other]\n000=x\n[Set]\n005=ピアノ\n007=オルガン\n009=\n011=ギター\n005=again\n");
    ASSERT_EQ(Find<QComboBox>(*Dialog, "ComboProgramList")->count(), 2);
    EXPECT_EQ(Find<QComboBox>(*Dialog, "ComboProgramList")->currentText(), "Other");  // no saved name: the first set
    Find<QComboBox>(*Dialog, "ComboProgramList")->setCurrentIndex(1);
    ASSERT_EQ(List()->count(), 3);
    EXPECT_EQ(List()->item(0)->text(), "005=ピアノ");
    EXPECT_EQ(List()->item(2)->text(), "011=ギター");

    Open();
    F->ClearSent();
    Press(2);
    Release(2);
    EXPECT_EQ(F->Sent(), Wire({"C0 02", "90 3C 78", "80 3C 28"}));
}

struct TEmptyIniCase {
    const char* Name;
    const char* Text;  // nullptr: no program.ini at all
};

class ProgramListEmptyTest : public ProgramListTest, public ::testing::WithParamInterface<TEmptyIniCase> {};

TEST_P(ProgramListEmptyTest, NoNameSetsLeaveTheDialogEmptyAndOkAsks)
{
    Start(WithSettings(ProgramSettings(0, 5), false));
    if (GetParam().Text)
        UseProgramIni(GetParam().Text);
    else
        MakeDialog();
    EXPECT_EQ(Find<QComboBox>(*Dialog, "ComboProgramList")->count(), 0);
    EXPECT_EQ(List()->count(), 0);

    Open();
    EXPECT_EQ(F->Sent(), Wire({"C0 05"}));
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonOK"), Qt::LeftButton);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(F->Messages, QStringList{ChooseVoice});

    F->ClearSent();
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonCancel"), Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(F->Sent(), Wire({"C0 05"}));
    EXPECT_EQ(F->Messages, QStringList{ChooseVoice});
}

INSTANTIATE_TEST_SUITE_P(Files, ProgramListEmptyTest,
    ::testing::Values(TEmptyIniCase{"Missing", nullptr}, TEmptyIniCase{"Empty", ""},
                      TEmptyIniCase{"NoSections", "; nothing here\n000=orphan\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A set longer than 128 lines: the press on line 129 is refused with the field's own message,
// still sounds, and OK will not take a program that was never sent.
TEST_F(ProgramListTest, LineBeyondTheProgramRangeIsNotKept)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    UseProgramIni(LongSet(130));
    Open();
    F->ClearSent();
    List()->scrollToItem(List()->item(129));
    Press(129);
    Release(129);
    EXPECT_EQ(F->Messages, QStringList{OutOfRange});
    EXPECT_EQ(F->Sent(), Wire({"90 3C 78", "80 3C 28"}));

    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonOK"), Qt::LeftButton);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(F->Messages, (QStringList{OutOfRange, ChooseVoice}));

    F->ClearSent();
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonCancel"), Qt::LeftButton);
    EXPECT_EQ(ProgramField()->Text(), "5");
    EXPECT_EQ(F->Sent(), Wire({"C0 05"}));
}

// The refusal's message box runs its own loop; when the button comes up while it is open, the
// test note must not start afterwards, or nothing would ever stop it.
TEST_F(ProgramListTest, ButtonReleasedDuringTheMessageStartsNoNote)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    UseProgramIni(LongSet(130));
    Open();
    List()->scrollToItem(List()->item(129));
    const QPoint point = LinePoint(129);
    DialogHooks().Message = [&](const QString& text, bool error) {
        (error ? F->Errors : F->Messages).append(text);
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, point);
    };
    F->ClearSent();
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, point);
    EXPECT_EQ(F->Messages, QStringList{OutOfRange});
    EXPECT_TRUE(F->Sent().empty());
}

// A port that fails at the close: the error is reported once, the dialog still closes and saves.
TEST_F(ProgramListTest, FailedSendAtTheCloseStillClosesAndSaves)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    Open();
    QFile::remove(F->SettingsPath());
    F->Service().Failures["SendShort"] = Refusal();
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonCancel"), Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(F->Errors.size(), 1);
    EXPECT_EQ(Section(F->SettingsPath(), "FormProgramList").value("Width"), "600");
}

// The same inside the modal run the main window starts: Cancel must still close the dialog.
TEST_F(ProgramListTest, FailedPressInsideTheModalRunDoesNotLockTheDialog)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    QFile::remove(F->SettingsPath());
    bool closedByCancel = false;
    QTimer::singleShot(0, [&] {
        F->Service().Failures["SendShort"] = Refusal();
        Press(10);
        Release(10);
        F->Service().Failures.clear();
        QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonCancel"), Qt::LeftButton);
        closedByCancel = !Dialog->isVisible();
        // A dialog Cancel left open has failed the test; closed here, the test can end.
        if (Dialog->isVisible())
            Dialog->reject();
    });
    QTest::mouseClick(F->Find<QLabel>("LabelProgram"), Qt::LeftButton);
    EXPECT_TRUE(closedByCancel) << "Cancel left the dialog open";
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(F->Errors.size(), 1);
    EXPECT_EQ(Section(F->SettingsPath(), "FormProgramList").value("Width"), "600");
}

// Hints show where the pointer rests (the list's viewport, the spin field's text box), and only
// while the main window's hint display is on.
TEST_F(ProgramListTest, HintsFollowTheMainWindowsSwitch)
{
    Start();
    auto hintAt = [](QWidget* widget) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(widget, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QWidget* spinText = Find<TSpinEdit>(*Dialog, "SpinEditColumn")->findChild<QLineEdit*>();
    ASSERT_NE(spinText, nullptr);
    ASSERT_TRUE(F->Find<QAction>("MenuFileHint")->isChecked());
    Open();
    EXPECT_EQ(hintAt(List()->viewport()), "プログラムを選択します。クリックするとその音色が鳴ります。\n"
                                          "マウスの左右ボタンで音程が1オクターブ異なります");
    EXPECT_EQ(hintAt(spinText), "一覧表示で一度に何列表示するかを指定します");
    Dialog->reject();

    F->Find<QAction>("MenuFileHint")->trigger();
    Open();
    EXPECT_EQ(hintAt(List()->viewport()), "");
    EXPECT_EQ(hintAt(Find<QPushButton>(*Dialog, "ButtonOK")), "");
}

// --- columns and placement from the settings

struct TColumnsCase {
    const char* Saved;
    int Columns;
};

class ProgramListColumnsTest : public ProgramListTest, public ::testing::WithParamInterface<TColumnsCase> {};

TEST_P(ProgramListColumnsTest, SavedColumnsAreChecked)
{
    Start(WithSettings(QStringLiteral("[FormProgramList]\nColumns=%1\n").arg(GetParam().Saved)));
    EXPECT_EQ(Dialog->Columns(), GetParam().Columns);
    EXPECT_EQ(Find<TSpinEdit>(*Dialog, "SpinEditColumn")->Value(), GetParam().Columns);
    Open();
    EXPECT_EQ(List()->gridSize().width(), List()->viewport()->width() / GetParam().Columns);
}

INSTANTIATE_TEST_SUITE_P(Values, ProgramListColumnsTest,
    ::testing::Values(TColumnsCase{"0", 3}, TColumnsCase{"9", 3}, TColumnsCase{"abc", 3}, TColumnsCase{"1", 1},
                      TColumnsCase{"5", 5}),
    [](const auto& info) { return std::string("Saved_") + info.param.Saved; });

// Lines fill a column from top to bottom before the next starts; each column is an equal share of
// the visible width, after a change of the column count and after a resize too.
TEST_F(ProgramListTest, LinesFillEqualColumnsTopToBottom)
{
    Start();
    Open();
    ASSERT_EQ(List()->count(), 128);
    auto checkColumns = [&](int columns) {
        const int width = List()->viewport()->width() / columns;
        const QRect first = List()->visualItemRect(List()->item(0));
        EXPECT_EQ(first.topLeft(), QPoint(0, 0));
        EXPECT_EQ(first.width(), width);
        int line = 1;
        while (line < 128 && List()->visualItemRect(List()->item(line)).x() == 0) {
            EXPECT_GT(List()->visualItemRect(List()->item(line)).y(), List()->visualItemRect(List()->item(line - 1)).y());
            ++line;
        }
        ASSERT_GT(line, 1);
        ASSERT_LT(line, 128);
        EXPECT_EQ(List()->visualItemRect(List()->item(line)).topLeft(), QPoint(width, 0)) << columns << " columns";
    };
    checkColumns(3);
    QTest::keyClick(Find<TSpinEdit>(*Dialog, "SpinEditColumn"), Qt::Key_Up);
    EXPECT_EQ(Dialog->Columns(), 4);
    checkColumns(4);
    Dialog->resize(Dialog->width() - 100, Dialog->height());
    checkColumns(4);
}

// The combo box takes what the strip gains in width; Cancel and OK keep to its right edge.
TEST_F(ProgramListTest, ButtonStripStretchesWithTheDialog)
{
    Start();
    Open();
    QWidget* strip = Find<QWidget>(*Dialog, "PanelButton");
    auto gapRight = [&](QWidget* control) { return strip->width() - control->geometry().right(); };
    const int okGap = gapRight(Find<QPushButton>(*Dialog, "ButtonOK"));
    const int cancelGap = gapRight(Find<QPushButton>(*Dialog, "ButtonCancel"));
    const int comboWidth = Find<QComboBox>(*Dialog, "ComboProgramList")->width();
    EXPECT_EQ(Find<QPushButton>(*Dialog, "ButtonOK")->x() - Find<QPushButton>(*Dialog, "ButtonCancel")->x(), 504 - 416);

    Dialog->resize(Dialog->width() + 120, Dialog->height());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QComboBox>(*Dialog, "ComboProgramList")->width() == comboWidth + 120; }, 1000));
    EXPECT_EQ(gapRight(Find<QPushButton>(*Dialog, "ButtonOK")), okGap);
    EXPECT_EQ(gapRight(Find<QPushButton>(*Dialog, "ButtonCancel")), cancelGap);
    EXPECT_EQ(strip->height(), 40);
    EXPECT_EQ(strip->geometry().bottom(), Dialog->rect().bottom());
}

struct TPlacementCase {
    const char* Name;
    const char* Saved;
    // Expected values; the sentinel Fallback stands for desktop top or left + 200.
    int Top, Left, Height, Width;
};
constexpr int Fallback = -100000;

class ProgramListPlacementTest : public ProgramListTest, public ::testing::WithParamInterface<TPlacementCase> {};

TEST_P(ProgramListPlacementTest, SavedPlacementIsCheckedAgainstThePrimaryScreen)
{
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    Start(WithSettings(QStringLiteral("[FormProgramList]\n") + GetParam().Saved));
    const TPlacementCase& c = GetParam();
    EXPECT_EQ(Dialog->y(), c.Top == Fallback ? desktop.top() + 200 : c.Top);
    EXPECT_EQ(Dialog->x(), c.Left == Fallback ? desktop.left() + 200 : c.Left);
    EXPECT_EQ(Dialog->height(), c.Height);
    EXPECT_EQ(Dialog->width(), c.Width);
}

INSTANTIATE_TEST_SUITE_P(Values, ProgramListPlacementTest,
    ::testing::Values(
        TPlacementCase{"Defaults", "", Fallback, Fallback, 300, 600},
        TPlacementCase{"TopBelowTheScreen", "Top=5000\nLeft=20\n", Fallback, 20, 300, 600},
        TPlacementCase{"LeftRightOfTheScreen", "Top=20\nLeft=5000\n", 20, Fallback, 300, 600},
        TPlacementCase{"AboveAndLeftKept", "Top=-30\nLeft=-40\nHeight=250\nWidth=400\n", -30, -40, 250, 400},
        TPlacementCase{"TooHighAndTooWide", "Top=10\nLeft=10\nHeight=5000\nWidth=5000\n", 10, 10, 300, 600}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- the settings section, written at every close

TEST_F(ProgramListTest, SectionIsWrittenAtEveryClose)
{
    Start(WithSettings("[FormProgramList]\nCharacterSet=0\nListName=gm (english)\nExtra=kept\n"));
    EXPECT_EQ(Find<QComboBox>(*Dialog, "ComboProgramList")->currentText(), "GM (English)");
    DialogHooks().Font = [](const QFont&) -> std::optional<QFont> {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(14);
        font.setBold(true);
        return font;
    };
    Open();
    Dialog->move(150, 120);
    Dialog->resize(500, 280);
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonFontSet"), Qt::LeftButton);
    EXPECT_EQ(List()->font().pointSize(), 14);
    QTest::keyClick(Find<TSpinEdit>(*Dialog, "SpinEditColumn"), Qt::Key_Up);
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonCancel"), Qt::LeftButton);

    const QMap<QString, QString> expected{{"Top", "120"}, {"Left", "150"}, {"Height", "280"}, {"Width", "500"},
        {"ListName", "GM (English)"}, {"FontName", "DejaVu Sans"}, {"FontSize", "14"}, {"CharacterSet", "0"},
        {"FontBold", "1"}, {"FontItalic", "0"}, {"Columns", "4"}, {"Extra", "kept"}};
    EXPECT_EQ(Section(F->SettingsPath(), "FormProgramList"), expected);
    EXPECT_EQ(Section(F->SettingsPath(), "Midi").value("OutDeviceName"), "Test Synth");

    // The second close writes again; a maximised dialog saves its normal placement.
    Open();
    QTest::keyClick(Find<TSpinEdit>(*Dialog, "SpinEditColumn"), Qt::Key_Down);
    QTest::keyClick(Find<TSpinEdit>(*Dialog, "SpinEditColumn"), Qt::Key_Down);
    Dialog->showMaximized();
    ASSERT_TRUE(Dialog->isMaximized());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Dialog->size() != QSize(500, 280); }, 2000));
    QTest::keyClick(Dialog, Qt::Key_Escape);
    EXPECT_FALSE(Dialog->isMaximized());
    QMap<QString, QString> second = expected;
    second["Columns"] = "2";
    EXPECT_EQ(Section(F->SettingsPath(), "FormProgramList"), second);
}

TEST_F(ProgramListTest, UnwritableSettingsFileIsReported)
{
    Start(WithSettings(ProgramSettings(0, 5)));
    Open();
    // A folder in the file's place cannot be replaced by a file.
    ASSERT_TRUE(QFile::remove(F->SettingsPath()));
    ASSERT_TRUE(QDir().mkpath(F->SettingsPath()));
    QTest::mouseClick(Find<QPushButton>(*Dialog, "ButtonCancel"), Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(F->Errors, QStringList{F->SettingsPath() + " に書き込めません\n同じ名前のフォルダがあります"});
}

} // namespace
