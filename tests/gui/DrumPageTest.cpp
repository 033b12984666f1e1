// The drum page through the real window: pad names from note.ini, the bytes a pad sends, its
// colours, the grid, and the drum keys of the settings file.

// Mouse events go through the window system layer, as a person's do: the pressed pad keeps the
// mouse until the release, and a second quick press becomes a double click.
#define QTEST_QPA_MOUSE_HANDLING

#include "IniFile.h"
#include "GuiTest.h"
#include "Widgets.h"

#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr uint32_t Navy = 8388608;
constexpr uint32_t White = 16777215;
constexpr uint32_t Aqua = 16776960;
constexpr uint32_t Black = 0;

// Starts the program again in the fixture's folder, as a new run would find it.
void Restart(TKelvaneFixture& f)
{
    f.Windows = CreateKelvaneWindows({}, f.ProgramPath());
}

void ShowDrumPage(TKelvaneFixture& f)
{
    ShowPage(f, 1);
    QCoreApplication::processEvents();
}

TDrumPad* Pad(TKelvaneFixture& f, int note)
{
    return f.Find<QWidget>("PanelDrum")->findChild<TDrumPad*>(QStringLiteral("DrumKey%1").arg(note, 3, 10, QLatin1Char('0')));
}

// What the pad shows, read from its pixels: the background at its lower right corner, inside
// the border and away from the text.
QColor ShownBackground(TDrumPad* pad)
{
    return pad->grab().toImage().pixelColor(pad->width() - 3, pad->height() - 3);
}

TIniFile SavedSettings(TKelvaneFixture& f)
{
    return TIniFile::Load(f.SettingsPath());
}

const char* const TestNoteIni =
    "[Kit One]\n"
    "035=Kick\n"
    "036=\n"
    "037=<b>Rim</b>\n"
    "[kit two]\n"
    "000=Zero\n"
    "035=Bass\n"
    "127=Last\n";

// ---------------------------------------------------------------- names

struct TNamingCase {
    const char* Title;
    const char* NoteIni;  // nullptr: no note.ini at all
    const char* DrumListName;
    QStringList Lists;
    QString Selected;
    std::vector<std::pair<int, QString>> Names;
};

class DrumNaming : public ::testing::TestWithParam<TNamingCase> {};

TEST_P(DrumNaming, PadsAndHintsShowTheChosenList)
{
    const TNamingCase& c = GetParam();
    TKelvaneFixture f;
    QFile::remove(f.Folder() + "note.ini");
    if (c.NoteIni)
        WriteText(f.Folder() + "note.ini", QString::fromUtf8(c.NoteIni));
    WriteText(f.Folder() + "kelvane.ini",
              QStringLiteral("[FormMain]\nDrumListName=%1\n[Midi]\nOutDeviceName=Test Synth\n").arg(c.DrumListName));
    Restart(f);

    QStringList lists;
    for (int i = 0; i < f.Find<QComboBox>("ComboDrumList")->count(); ++i)
        lists << f.Find<QComboBox>("ComboDrumList")->itemText(i);
    EXPECT_EQ(lists, c.Lists);
    EXPECT_EQ(f.Find<QComboBox>("ComboDrumList")->currentText(), c.Selected);
    for (const auto& [note, name] : c.Names) {
        TDrumPad* pad = Pad(f, note);
        ASSERT_NE(pad, nullptr) << note;
        EXPECT_EQ(pad->text(), name) << note;
        EXPECT_EQ(pad->toolTip(), name) << note;
    }
    EXPECT_TRUE(f.Messages.isEmpty()) << f.Messages.join("|").toStdString();

    // The list shown is the one saved, in the spelling of note.ini.
    f.CloseWindow();
    EXPECT_EQ(SavedSettings(f).ReadString("FormMain", "DrumListName", "?"), c.Selected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DrumNaming,
    ::testing::Values(
        TNamingCase{"EmptyAndMissingKeysShowTheNumber", TestNoteIni, "Kit One", {"Kit One", "kit two"}, "Kit One",
                    {{0, "0"}, {34, "34"}, {35, "Kick"}, {36, "36"}, {127, "127"}}},
        TNamingCase{"NameDifferingInCaseSelectsThatList", TestNoteIni, "KIT TWO", {"Kit One", "kit two"}, "kit two",
                    {{0, "Zero"}, {35, "Bass"}, {36, "36"}, {127, "Last"}}},
        TNamingCase{"UnknownNameSelectsTheFirstList", TestNoteIni, "NotDefined", {"Kit One", "kit two"}, "Kit One",
                    {{35, "Kick"}, {127, "127"}}},
        TNamingCase{"NoNoteIniLeavesEveryPadNumbered", nullptr, "Kit One", {}, "",
                    {{0, "0"}, {35, "35"}, {99, "99"}, {127, "127"}}}),
    [](const auto& info) { return std::string(info.param.Title); });

TEST(DrumNames, MarkupInANameIsShownAsText)
{
    TKelvaneFixture f;
    WriteText(f.Folder() + "note.ini", QString::fromUtf8(TestNoteIni));
    Restart(f);
    TDrumPad* rim = Pad(f, 37);
    EXPECT_EQ(rim->text(), "<b>Rim</b>");
    EXPECT_EQ(rim->textFormat(), Qt::PlainText);
    // The hint is rich text that shows the same characters.
    EXPECT_EQ(QTextDocumentFragment::fromHtml(rim->toolTip()).toPlainText(), "<b>Rim</b>");
}

TEST(DrumNames, ChoosingAnotherListRenamesThePadsFromTheFileAsItIsNow)
{
    TKelvaneFixture f;
    WriteText(f.Folder() + "note.ini", QString::fromUtf8(TestNoteIni));
    Restart(f);
    ShowDrumPage(f);
    ASSERT_EQ(Pad(f, 35)->text(), "Kick");

    // note.ini is read again at each choice: an edit made while the program runs shows.
    WriteText(f.Folder() + "note.ini", QString::fromUtf8(TestNoteIni).replace("035=Bass", "035=Edited"));
    f.Find<QComboBox>("ComboDrumList")->setFocus();
    QTest::keyClick(f.Find<QComboBox>("ComboDrumList"), Qt::Key_Down);
    ASSERT_EQ(f.Find<QComboBox>("ComboDrumList")->currentText(), "kit two");
    EXPECT_EQ(Pad(f, 0)->text(), "Zero");
    EXPECT_EQ(Pad(f, 35)->text(), "Edited");
    EXPECT_EQ(Pad(f, 35)->toolTip(), "Edited");
    EXPECT_EQ(Pad(f, 37)->text(), "37");
    EXPECT_TRUE(f.Sent().empty());
}

// ---------------------------------------------------------------- playing

TEST(DrumPads, PadSendsItsNoteOnTheChannelAndShowsThePressedColours)
{
    TKelvaneFixture f;
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    auto* channel10 = f.Find<QGroupBox>("RadioChannel")->findChild<QRadioButton*>("RadioChannel10");
    ASSERT_NE(channel10, nullptr);
    QTest::mouseClick(channel10, Qt::LeftButton);
    ASSERT_EQ(f.Session().Channel(), 10);
    ShowDrumPage(f);
    f.ClearSent();

    TDrumPad* pad = Pad(f, 36);
    QTest::mousePress(pad, Qt::LeftButton);
    EXPECT_EQ(f.Sent(), Wire({"99 24 78"}));
    EXPECT_EQ(pad->BackColor(), Aqua);
    EXPECT_EQ(pad->ForeColor(), Black);
    EXPECT_EQ(ShownBackground(pad), ColorFromNumber(Aqua));

    f.ClearSent();
    QTest::mouseRelease(pad, Qt::LeftButton);
    EXPECT_EQ(f.Sent(), Wire({"89 24 28"}));
    EXPECT_EQ(pad->BackColor(), Navy);
    EXPECT_EQ(pad->ForeColor(), White);
    EXPECT_EQ(ShownBackground(pad), ColorFromNumber(Navy));
    EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join("|").toStdString();
}

class DrumPadButtons : public ::testing::TestWithParam<Qt::MouseButton> {};

TEST_P(DrumPadButtons, EveryButtonSoundsThePad)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    f.ClearSent();
    QTest::mousePress(Pad(f, 0), GetParam());
    QTest::mouseRelease(Pad(f, 0), GetParam());
    QTest::mousePress(Pad(f, 127), GetParam());
    QTest::mouseRelease(Pad(f, 127), GetParam());
    EXPECT_EQ(f.Sent(), Wire({"90 00 78", "80 00 28", "90 7F 78", "80 7F 28"}));
}

INSTANTIATE_TEST_SUITE_P(Buttons, DrumPadButtons, ::testing::Values(Qt::LeftButton, Qt::RightButton, Qt::MiddleButton),
                         [](const auto& info) {
                             return std::string(info.param == Qt::LeftButton    ? "Left"
                                                : info.param == Qt::RightButton ? "Right"
                                                                                : "Middle");
                         });

TEST(DrumPads, DoubleClickSendsTwoNoteOnsAndTwoNoteOffs)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    f.ClearSent();
    QTest::mouseDClick(Pad(f, 38), Qt::LeftButton);
    EXPECT_EQ(f.Sent(), Wire({"90 26 78", "80 26 28", "90 26 78", "80 26 28"}));
    EXPECT_EQ(Pad(f, 38)->BackColor(), Navy);
}

TEST(DrumPads, TranspositionAndVelocitiesOfTheMainPage)
{
    TKelvaneFixture f(WithSettings("[NoteParameter]\nOnVelocity=100\nOffVelocity=0\n"));
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    f.Find<QScrollBar>("ScrollBarTranspose")->setValue(12);
    ASSERT_EQ(f.Session().Transpose(), 12);
    ShowDrumPage(f);
    f.ClearSent();
    QTest::mouseClick(Pad(f, 60), Qt::LeftButton);
    // The pad's own note, the main page's velocities; the keyboard and pitch bend are not touched.
    EXPECT_EQ(f.Sent(), Wire({"90 3C 64", "80 3C 00"}));
    for (int key = 60; key <= 77; ++key)
        EXPECT_FALSE(f.Keyboard().Sounding(key)) << key;
}

TEST(DrumPads, RefusedMessagesLeaveThePadAsItWas)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    TDrumPad* pad = Pad(f, 42);

    f.Service().Failures["SendShort"] = Refusal();
    QTest::mousePress(pad, Qt::LeftButton);
    EXPECT_EQ(f.Errors.size(), 1);
    EXPECT_EQ(pad->BackColor(), Navy);
    f.Service().Failures.clear();
    QTest::mouseRelease(pad, Qt::LeftButton);

    QTest::mousePress(pad, Qt::LeftButton);
    ASSERT_EQ(pad->BackColor(), Aqua);
    f.Service().Failures["SendShort"] = Refusal();
    QTest::mouseRelease(pad, Qt::LeftButton);
    EXPECT_EQ(f.Errors.size(), 2);
    EXPECT_EQ(pad->BackColor(), Aqua);  // until a release gets through
    f.Service().Failures.clear();
    f.ClearSent();
    QTest::mouseClick(pad, Qt::LeftButton);
    EXPECT_EQ(f.Sent(), Wire({"90 2A 78", "80 2A 28"}));
    EXPECT_EQ(pad->BackColor(), Navy);
}

// ---------------------------------------------------------------- layout

struct TLayoutCase {
    QSize Panel;
    // note → expected rectangle in PanelDrum
    std::vector<std::pair<int, QRect>> Pads;
};

class DrumLayout : public ::testing::TestWithParam<TLayoutCase> {};

// Resizes the window so that PanelDrum gets the given size.
void ResizePanelTo(TKelvaneFixture& f, QSize panel)
{
    const QSize extra = f.Main().size() - f.Find<QWidget>("PanelDrum")->size();
    f.Main().resize(panel + extra);
    QCoreApplication::processEvents();
}

TEST_P(DrumLayout, PadsFillSevenColumnsOfTwentyRows)
{
    const TLayoutCase& c = GetParam();
    TKelvaneFixture f;
    ShowDrumPage(f);
    ResizePanelTo(f, c.Panel);
    ASSERT_EQ(f.Find<QWidget>("PanelDrum")->size(), c.Panel);
    for (const auto& [note, rect] : c.Pads)
        EXPECT_EQ(Pad(f, note)->geometry(), rect) << note;
}

INSTANTIATE_TEST_SUITE_P(
    PanelSizes, DrumLayout,
    ::testing::Values(
        // Exact multiples: no strips.
        TLayoutCase{{700, 400},
                    {{0, {0, 0, 100, 20}}, {19, {0, 380, 100, 20}}, {20, {100, 0, 100, 20}},
                     {119, {500, 380, 100, 20}}, {120, {600, 0, 100, 20}}, {127, {600, 140, 100, 20}}}},
        // 6 px left over at the right, 19 px at the bottom.
        TLayoutCase{{706, 419},
                    {{0, {0, 0, 100, 20}}, {19, {0, 380, 100, 20}}, {119, {500, 380, 100, 20}},
                     {120, {600, 0, 100, 20}}, {127, {600, 140, 100, 20}}}},
        TLayoutCase{{699, 359},
                    {{0, {0, 0, 99, 17}}, {19, {0, 323, 99, 17}}, {20, {99, 0, 99, 17}},
                     {119, {495, 323, 99, 17}}, {120, {594, 0, 99, 17}}, {127, {594, 119, 99, 17}}}},
        TLayoutCase{{665, 301},
                    {{0, {0, 0, 95, 15}}, {19, {0, 285, 95, 15}}, {119, {475, 285, 95, 15}},
                     {120, {570, 0, 95, 15}}, {127, {570, 105, 95, 15}}}}),
    [](const auto& info) {
        return "Panel" + std::to_string(info.param.Panel.width()) + "x" + std::to_string(info.param.Panel.height());
    });

TEST(DrumLayoutTiming, ResizedOnAnotherPageThePadsFitWhenTheDrumPageIsShown)
{
    TKelvaneFixture f;
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    ShowDrumPage(f);
    const QSize extra = f.Main().size() - f.Find<QWidget>("PanelDrum")->size();
    QTabBar* tabs = f.Find<QTabWidget>("PageMain")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    f.Main().resize(QSize(700, 400) + extra);
    QCoreApplication::processEvents();
    ShowDrumPage(f);
    ASSERT_EQ(f.Find<QWidget>("PanelDrum")->size(), QSize(700, 400));
    EXPECT_EQ(Pad(f, 127)->geometry(), QRect(600, 140, 100, 20));
}

TEST(DrumLayoutTiming, ThePanelPaintsAgainAfterEveryPageSwitch)
{
    // The page control holds the updates of the page it switches to; the pads' layout runs
    // inside that hold and must not take it for its own.
    TKelvaneFixture f;
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    QTabBar* tabs = f.Find<QTabWidget>("PageMain")->tabBar();
    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.Find<QWidget>("PanelDrum")->updatesEnabled());
        EXPECT_TRUE(Pad(f, 0)->updatesEnabled());
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCoreApplication::processEvents();
    }
}

TEST(DrumLayoutTiming, APadHeldWhileTheWindowIsResizedStillSendsItsNoteOff)
{
    TKelvaneFixture f;
    ShowDrumPage(f);
    f.ClearSent();
    TDrumPad* pad = Pad(f, 45);
    QTest::mousePress(pad, Qt::LeftButton);
    f.Main().resize(f.Main().size() + QSize(70, 40));
    QCoreApplication::processEvents();
    QTest::mouseRelease(pad, Qt::LeftButton);
    EXPECT_EQ(f.Sent(), Wire({"90 2D 78", "80 2D 28"}));
    EXPECT_EQ(pad->BackColor(), Navy);
}

// ---------------------------------------------------------------- settings

TEST(DrumSettings, DrumKeysComeBackAsTheyWereSaved)
{
    TKelvaneFixture f(WithSettings("[FormMain]\n"
                                                  "DrumFontName=Kelvane Test Sans\n"
                                                  "DrumFontSize=14\n"
                                                  "DrumFontCharacterSet=0\n"
                                                  "DrumFontBold=1\n"
                                                  "DrumFontItalic=1\n"
                                                  "DrumBackColor=255\n"
                                                  "DrumForeColor=65280\n"
                                                  "DrumReverseBackColor=16711680\n"
                                                  "DrumReverseForeColor=8421504\n"
                                                  "DrumListName=gs standard set (english)\n"));
    for (int note = 0; note < 128; ++note) {
        TDrumPad* pad = Pad(f, note);
        ASSERT_NE(pad, nullptr);
        EXPECT_EQ(pad->font().family(), "Kelvane Test Sans");
        EXPECT_EQ(pad->font().pointSize(), 14);
        EXPECT_TRUE(pad->font().bold());
        EXPECT_TRUE(pad->font().italic());
        EXPECT_EQ(pad->BackColor(), 255u);
        EXPECT_EQ(pad->ForeColor(), 65280u);
    }
    ShowDrumPage(f);
    QTest::mousePress(Pad(f, 50), Qt::LeftButton);
    EXPECT_EQ(Pad(f, 50)->BackColor(), 16711680u);
    EXPECT_EQ(Pad(f, 50)->ForeColor(), 8421504u);
    QTest::mouseRelease(Pad(f, 50), Qt::LeftButton);

    f.CloseWindow();
    const TIniFile saved = SavedSettings(f);
    const std::pair<const char*, const char*> expected[] = {
        {"DrumListName", "GS Standard Set (English)"},
        {"DrumFontName", "Kelvane Test Sans"},
        {"DrumFontSize", "14"},
        {"DrumFontCharacterSet", "0"},
        {"DrumFontBold", "1"},
        {"DrumFontItalic", "1"},
        {"DrumBackColor", "255"},
        {"DrumForeColor", "65280"},
        {"DrumReverseBackColor", "16711680"},
        {"DrumReverseForeColor", "8421504"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(saved.ReadString("FormMain", key, "?"), value) << key;
}

struct TFontSizeCase {
    const char* Written;
    int Shown;  // points
    const char* Saved;
};

class DrumFontSettings : public ::testing::TestWithParam<TFontSizeCase> {};

TEST_P(DrumFontSettings, UnusableValuesFallBack)
{
    const TFontSizeCase& c = GetParam();
    TKelvaneFixture f(WithSettings(QStringLiteral("[FormMain]\nDrumFontSize=%1\nDrumFontCharacterSet=300\n").arg(c.Written)));
    EXPECT_EQ(f.Drums().DrumFont().pointSize(), c.Shown);
    f.CloseWindow();
    const TIniFile saved = SavedSettings(f);
    EXPECT_EQ(saved.ReadString("FormMain", "DrumFontSize", "?"), c.Saved);
    EXPECT_EQ(saved.ReadString("FormMain", "DrumFontCharacterSet", "?"), "128");
}

INSTANTIATE_TEST_SUITE_P(Sizes, DrumFontSettings,
                         ::testing::Values(TFontSizeCase{"0", 9, "9"}, TFontSizeCase{"-12", 9, "9"},
                                           TFontSizeCase{"abc", 9, "9"}, TFontSizeCase{"72", 72, "72"},
                                           TFontSizeCase{"100000", 512, "512"}));

} // namespace
