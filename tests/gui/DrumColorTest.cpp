// The drum pad appearance dialog, opened with the drum page's button and answered with clicks;
// the font and colour dialogs answer through their hooks.

#define QTEST_QPA_MOUSE_HANDLING

#include "DrumColorDialog.h"
#include "GuiTest.h"
#include "IniFile.h"
#include "Widgets.h"

#include <QColorDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

constexpr uint32_t Navy = 8388608;
constexpr uint32_t White = 16777215;
constexpr uint32_t Aqua = 16776960;
constexpr uint32_t Black = 0;
const QColor Red(255, 0, 0);      // 255
const QColor Green(0, 255, 0);    // 65280
const QColor Olive(128, 128, 0);  // 32896

void ShowDrumPage(TKelvaneFixture& f)
{
    ShowPage(f, 1);
}

TDrumPad* Pad(TKelvaneFixture& f, int note)
{
    return f.Drums().Pad(note);
}

// Clicks the drum page's button and runs `inside` while the modal dialog is up; `inside` closes
// it as the user would (OK, Cancel, Enter, Escape). A dialog that stays open fails the test and
// is then cancelled here, so that the test cannot hang in it.
void WithDialog(TKelvaneFixture& f, const std::function<void(TDrumColorDialog&)>& inside)
{
    TDrumColorDialog& dialog = *f.Windows.DrumColor;
    bool ran = false;
    bool closedByTheUser = false;
    QTimer::singleShot(0, &dialog, [&] {
        ran = true;
        EXPECT_TRUE(dialog.isModal() && dialog.isVisible());
        if (QTest::qWaitForWindowExposed(&dialog))
            inside(dialog);
        closedByTheUser = !dialog.isVisible();
        if (dialog.isVisible())
            dialog.reject();
    });
    QTest::mouseClick(f.Find<QPushButton>("ButtonDrumFontSet"), Qt::LeftButton);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(closedByTheUser) << "the dialog was still open after the user closed it";
    EXPECT_FALSE(dialog.isVisible());
}

// The colour dialog: records what it was opened with and answers from a queue (nullopt =
// the user cancelled).
struct TColorAnswers {
    std::vector<QColor> Opened;
    std::deque<std::optional<QColor>> Answers;
    std::function<void()> WhileOpen;

    explicit TColorAnswers(std::initializer_list<std::optional<QColor>> answers) : Answers(answers)
    {
        DialogHooks().Color = [this](const QColor& initial) -> std::optional<QColor> {
            Opened.push_back(initial);
            if (WhileOpen)
                WhileOpen();
            if (Answers.empty())
                return std::nullopt;
            auto answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
    }
};

void Click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

void ExpectAllPads(TKelvaneFixture& f, uint32_t back, uint32_t fore)
{
    for (int note = 0; note < 128; ++note) {
        EXPECT_EQ(Pad(f, note)->BackColor(), back) << note;
        EXPECT_EQ(Pad(f, note)->ForeColor(), fore) << note;
    }
}

TEST(DrumColorDialog, NewBackgroundThenCancelChangesNothing)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    TColorAnswers colors{Red};
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        Click(Find<QPushButton>(dialog, "ButtonBackColor"));
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->BackColor(), 255u);
        EXPECT_EQ(dialog.BackColor, 255u);
        Click(Find<QPushButton>(dialog, "ButtonCancel"));
    });
    ASSERT_EQ(colors.Opened.size(), 1u);
    EXPECT_EQ(colors.Opened[0], ColorFromNumber(Navy));  // opened with the preview's background
    EXPECT_EQ(f.Drums().DrumColors().Back, Navy);
    ExpectAllPads(f, Navy, White);

    // The next opening starts again from the pads; Escape cancels like the button.
    colors.Answers = {Red};
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->BackColor(), Navy);
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->ForeColor(), White);
        Click(Find<QPushButton>(dialog, "ButtonBackColor"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    ExpectAllPads(f, Navy, White);
    EXPECT_EQ(f.Drums().DrumColors().Back, Navy);
}

TEST(DrumColorDialog, NewFontThenOkChangesEveryPadAndIsSavedFromTheFirst)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    std::vector<QFont> offered;
    DialogHooks().Font = [&](const QFont& initial) -> std::optional<QFont> {
        offered.push_back(initial);
        QFont chosen(QStringLiteral("Kelvane Test Serif"), 20);
        chosen.setBold(true);
        return chosen;
    };
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        Click(Find<QPushButton>(dialog, "ButtonFont"));
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->font().family(), "Kelvane Test Serif");
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->ForeColor(), White);  // the text colour survives a new font
        // Not before OK.
        EXPECT_EQ(Pad(f, 0)->font().family(), "ＭＳ Ｐゴシック");
        Click(Find<QPushButton>(dialog, "ButtonOK"));
    });
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].family(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(offered[0].pointSize(), 9);
    for (int note = 0; note < 128; ++note) {
        EXPECT_EQ(Pad(f, note)->font().family(), "Kelvane Test Serif") << note;
        EXPECT_EQ(Pad(f, note)->font().pointSize(), 20) << note;
        EXPECT_TRUE(Pad(f, note)->font().bold()) << note;
    }
    ExpectAllPads(f, Navy, White);

    f.CloseWindow();
    const TIniFile saved = TIniFile::Load(f.SettingsPath());
    EXPECT_EQ(saved.ReadString("FormMain", "DrumFontName", "?"), "Kelvane Test Serif");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumFontSize", "?"), "20");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumFontBold", "?"), "1");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumFontItalic", "?"), "0");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumFontCharacterSet", "?"), "128");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumBackColor", "?"), "8388608");
}

TEST(DrumColorDialog, PressedColoursShowOnlyWhenPressed)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    TColorAnswers colors{Red, Green};
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        Click(Find<QPushButton>(dialog, "ButtonReverseBackColor"));
        Click(Find<QPushButton>(dialog, "ButtonReverseForeColor"));
        // The preview is not repainted by the pressed colours...
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->BackColor(), Navy);
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->ForeColor(), White);
        // ...but shows them while pressed, as they stand in the dialog, and sends nothing.
        f.ClearSent();
        QTest::mousePress(Find<TDrumPad>(dialog, "StaticTextDrum"), Qt::RightButton);
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->BackColor(), 255u);
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->ForeColor(), 65280u);
        EXPECT_EQ(Pad(f, 40)->BackColor(), Navy);
        QTest::mouseRelease(Find<TDrumPad>(dialog, "StaticTextDrum"), Qt::RightButton);
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->BackColor(), Navy);
        EXPECT_TRUE(f.Sent().empty());
        Click(Find<QPushButton>(dialog, "ButtonOK"));
    });
    ASSERT_EQ(colors.Opened.size(), 2u);
    EXPECT_EQ(colors.Opened[0], ColorFromNumber(Aqua));
    EXPECT_EQ(colors.Opened[1], ColorFromNumber(Black));
    ExpectAllPads(f, Navy, White);

    QTest::mousePress(Pad(f, 40), Qt::LeftButton);
    EXPECT_EQ(Pad(f, 40)->BackColor(), 255u);
    EXPECT_EQ(Pad(f, 40)->ForeColor(), 65280u);
    QTest::mouseRelease(Pad(f, 40), Qt::LeftButton);
    EXPECT_EQ(Pad(f, 40)->BackColor(), Navy);

    f.CloseWindow();
    const TIniFile saved = TIniFile::Load(f.SettingsPath());
    EXPECT_EQ(saved.ReadString("FormMain", "DrumReverseBackColor", "?"), "255");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumReverseForeColor", "?"), "65280");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumBackColor", "?"), "8388608");
}

TEST(DrumColorDialog, RestColoursThenOkRepaintAllPads)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    TColorAnswers colors{Olive, std::nullopt, Green};
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        Click(Find<QPushButton>(dialog, "ButtonBackColor"));
        Click(Find<QPushButton>(dialog, "ButtonForeColor"));  // cancelled: the text colour stays
        Click(Find<QPushButton>(dialog, "ButtonForeColor"));
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->BackColor(), 32896u);
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->ForeColor(), 65280u);
        // Enter confirms.
        QTest::keyClick(Find<QPushButton>(dialog, "ButtonOK"), Qt::Key_Return);
    });
    ASSERT_EQ(colors.Opened.size(), 3u);
    EXPECT_EQ(colors.Opened[1], ColorFromNumber(White));
    EXPECT_EQ(colors.Opened[2], ColorFromNumber(White));
    ExpectAllPads(f, 32896, 65280);
    EXPECT_EQ(f.Drums().DrumColors().Back, 32896u);
    EXPECT_EQ(f.Drums().DrumColors().Fore, 65280u);
    EXPECT_EQ(f.Drums().DrumColors().ReverseBack, Aqua);
}

TEST(DrumColorDialog, PreviewStartsAtRestEvenWhenTheFirstPadIsStuckPressed)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    // A refused note-off leaves pad 0 in its pressed colours.
    QTest::mousePress(Pad(f, 0), Qt::LeftButton);
    f.Service().Failures["SendShort"] = Refusal();
    QTest::mouseRelease(Pad(f, 0), Qt::LeftButton);
    f.Service().Failures.clear();
    ASSERT_EQ(Pad(f, 0)->ForeColor(), Black);

    WithDialog(f, [&](TDrumColorDialog& dialog) {
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->BackColor(), Navy);
        EXPECT_EQ(Find<TDrumPad>(dialog, "StaticTextDrum")->ForeColor(), White);
        Click(Find<QPushButton>(dialog, "ButtonOK"));
    });
    ExpectAllPads(f, Navy, White);
}

TEST(DrumColorDialog, CustomColoursSurviveARestartWhateverTheColourDialogAnswered)
{
    TKelvaneFixture f;
    // Never used: nothing written.
    f.CloseWindow();
    EXPECT_FALSE(TIniFile::Load(f.SettingsPath()).SectionExists("ColorDialog"));
    f.Windows = CreateKelvaneWindows({}, f.ProgramPath());
    ShowDrumPage(f);

    // The user defines two custom colours, then cancels the colour dialog.
    TColorAnswers colors{std::nullopt};
    colors.WhileOpen = [] {
        QColorDialog::setCustomColor(0, QColor(0x12, 0x34, 0x56));
        QColorDialog::setCustomColor(15, QColor(1, 2, 3));
    };
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        Click(Find<QPushButton>(dialog, "ButtonForeColor"));
        Click(Find<QPushButton>(dialog, "ButtonCancel"));
    });
    f.CloseWindow();
    {
        const TIniFile saved = TIniFile::Load(f.SettingsPath());
        const QString expected[16] = {"563412", "FFFFFF", "FFFFFF", "FFFFFF", "FFFFFF", "FFFFFF",
                                      "FFFFFF", "FFFFFF", "FFFFFF", "FFFFFF", "FFFFFF", "FFFFFF",
                                      "FFFFFF", "FFFFFF", "FFFFFF", "030201"};
        for (int slot = 0; slot < 16; ++slot) {
            const QString key = QStringLiteral("Color") + QChar(u'A' + slot);
            EXPECT_EQ(saved.ReadString("ColorDialog", key, "?"), expected[slot]) << key.toStdString();
        }
    }

    // A new run: the colours come from the file, not from what this process still holds.
    for (int slot = 0; slot < 16; ++slot)
        QColorDialog::setCustomColor(slot, Qt::black);
    f.Windows = CreateKelvaneWindows({}, f.ProgramPath());
    ShowDrumPage(f);
    std::vector<QColor> seen;
    colors.Answers = {Red};
    colors.WhileOpen = [&] {
        for (int slot = 0; slot < 16; ++slot)
            seen.push_back(QColorDialog::customColor(slot));
        QColorDialog::setCustomColor(2, QColor(0xAB, 0xCD, 0xEF));
    };
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        Click(Find<QPushButton>(dialog, "ButtonReverseBackColor"));
        Click(Find<QPushButton>(dialog, "ButtonOK"));
    });
    ASSERT_EQ(seen.size(), 16u);
    EXPECT_EQ(seen[0], QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(seen[1], QColor(Qt::white));
    EXPECT_EQ(seen[15], QColor(1, 2, 3));
    f.CloseWindow();
    const TIniFile saved = TIniFile::Load(f.SettingsPath());
    EXPECT_EQ(saved.ReadString("ColorDialog", "ColorA", "?"), "563412");
    EXPECT_EQ(saved.ReadString("ColorDialog", "ColorC", "?"), "EFCDAB");
    EXPECT_EQ(saved.ReadString("FormMain", "DrumReverseBackColor", "?"), "255");
}

TEST(DrumColorDialog, UnreadableCustomColourEntriesAreEmptySlots)
{
    TKelvaneFixture f(WithSettings("[ColorDialog]\n"
                                                  "colorb=00ff00\n"
                                                  "ColorC=nothex\n"
                                                  "ColorQ=123456\n"
                                                  "ColorD=1000000\n"));
    ShowDrumPage(f);
    for (int slot = 0; slot < 16; ++slot)
        QColorDialog::setCustomColor(slot, Qt::black);
    std::vector<QColor> seen;
    TColorAnswers colors{std::nullopt};
    colors.WhileOpen = [&] {
        for (int slot = 0; slot < 4; ++slot)
            seen.push_back(QColorDialog::customColor(slot));
    };
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        Click(Find<QPushButton>(dialog, "ButtonBackColor"));
        Click(Find<QPushButton>(dialog, "ButtonCancel"));
    });
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], QColor(Qt::white));
    EXPECT_EQ(seen[1], QColor(0, 0xFF, 0));  // blue·65536 + green·256 + red, read in hexadecimal
    EXPECT_EQ(seen[2], QColor(Qt::white));
    EXPECT_EQ(seen[3], QColor(Qt::white));
    f.CloseWindow();
    const TIniFile saved = TIniFile::Load(f.SettingsPath());
    EXPECT_EQ(saved.ReadString("ColorDialog", "ColorB", "?"), "00FF00");
    EXPECT_EQ(saved.ReadString("ColorDialog", "ColorC", "?"), "FFFFFF");
    EXPECT_EQ(saved.ReadString("ColorDialog", "ColorQ", "?"), "123456");  // not a slot: kept
}

// ---------------------------------------------------------------- the form

struct TControlCase {
    const char* Name;
    QRect Geometry;
    QString Caption;
    QString Hint;
};

class DrumColorForm : public ::testing::TestWithParam<TControlCase> {};

TEST_P(DrumColorForm, ControlHasItsPlaceCaptionAndHint)
{
    const TControlCase& c = GetParam();
    TKelvaneFixture f;
    auto* control = f.Windows.DrumColor->findChild<QWidget*>(c.Name);
    ASSERT_NE(control, nullptr);
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        EXPECT_EQ(button->geometry(), c.Geometry);
        EXPECT_EQ(button->text(), c.Caption);
    } else {
        auto* preview = qobject_cast<TDrumPad*>(control);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->pos(), c.Geometry.topLeft());
        EXPECT_EQ(preview->text(), c.Caption);
    }
    EXPECT_EQ(control->toolTip(), c.Hint);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, DrumColorForm,
    ::testing::Values(
        TControlCase{"StaticTextDrum", {8, 8, 110, 16}, "Acoustic Bass Drum",
                     "設定されているフォント／色を表示します。クリックに反応します"},
        TControlCase{"ButtonFont", {8, 64, 97, 57}, "フォント変更(&F)", "フォント変更のダイアログを表示します"},
        TControlCase{"ButtonBackColor", {112, 64, 65, 25}, "背景色(&B)", "通常の背景色を設定するダイアログを表示します"},
        TControlCase{"ButtonForeColor", {112, 96, 65, 25}, "文字色(&C)", "通常の文字色を設定するダイアログを表示します"},
        TControlCase{"ButtonReverseBackColor", {184, 64, 129, 25}, "クリック時背景色(&R)",
                     "クリックした時の背景色を設定するダイアログを表示します"},
        TControlCase{"ButtonReverseForeColor", {184, 96, 129, 25}, "クリック時文字色(&V)",
                     "クリックした時の文字色を設定するダイアログを表示します"},
        TControlCase{"ButtonCancel", {112, 128, 97, 25}, "キャンセル", "設定を中止してこのダイアログを閉じます"},
        TControlCase{"ButtonOK", {216, 128, 97, 25}, "OK", "設定を反映してこのダイアログを閉じます"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DrumColorDialog, OpensBelowTheMainWindowWithOkFirstInTabOrder)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    f.Main().move(40, 30);
    QStringList order;
    WithDialog(f, [&](TDrumColorDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "フォント／色の選択");
        EXPECT_EQ(dialog.size(), QSize(321, 160));
        EXPECT_EQ(dialog.pos(), f.Main().pos() + QPoint(50, 200));
        for (int i = 0; i < 7; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        Click(Find<QPushButton>(dialog, "ButtonCancel"));
    });
    EXPECT_EQ(order, QStringList({"ButtonOK", "ButtonFont", "ButtonBackColor", "ButtonForeColor",
                                  "ButtonReverseBackColor", "ButtonReverseForeColor", "ButtonCancel"}));
}

} // namespace
