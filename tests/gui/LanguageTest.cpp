// The interface language: which locale chooses English, the English texts of a few captions,
// hints and boxes, and the Japanese texts the window words for the controller state.
#include "IniFile.h"
#include "KelvaneFixture.h"
#include "Language.h"
#include "ProgramListDialog.h"
#include "SpinEdit.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TLocaleCase {
    const char* Name;
    const char* KelvaneLang;
    const char* LcAll;
    const char* LcMessages;
    const char* Lang;
    TLanguage Expected;
};

class LanguageChoice : public testing::TestWithParam<TLocaleCase> {};

TEST_P(LanguageChoice, FollowsTheMessagesLocale)
{
    const TLocaleCase& c = GetParam();
    EXPECT_EQ(LanguageFor(c.KelvaneLang, c.LcAll, c.LcMessages, c.Lang), c.Expected);
}

const TLocaleCase LocaleCases[] = {
    {"EnglishUtf8", "", "", "", "en_US.UTF-8", TLanguage::English},
    {"EnglishBritish", "", "", "", "en_GB", TLanguage::English},
    {"EnglishBare", "", "", "", "en", TLanguage::English},
    {"Japanese", "", "", "", "ja_JP.UTF-8", TLanguage::Japanese},
    {"C", "", "", "", "C", TLanguage::Japanese},
    {"CUtf8", "", "", "", "C.UTF-8", TLanguage::Japanese},
    {"Posix", "", "", "", "POSIX", TLanguage::Japanese},
    {"German", "", "", "", "de_DE.UTF-8", TLanguage::Japanese},
    {"Unset", "", "", "", "", TLanguage::Japanese},
    {"LcAllWins", "", "ja_JP.UTF-8", "en_US.UTF-8", "en_US.UTF-8", TLanguage::Japanese},
    {"LcMessagesBeforeLang", "", "", "en_US.UTF-8", "ja_JP.UTF-8", TLanguage::English},
    {"EnglishWithModifier", "", "", "", "en_IE.UTF-8@euro", TLanguage::English},
    {"ForcedJapanese", "ja", "en_US.UTF-8", "", "en_US.UTF-8", TLanguage::Japanese},
    {"ForcedEnglish", "en", "", "", "C", TLanguage::English},
    {"UnknownForceIgnored", "fr", "", "", "en_US.UTF-8", TLanguage::English},
};

INSTANTIATE_TEST_SUITE_P(Table, LanguageChoice, testing::ValuesIn(LocaleCases),
    [](const testing::TestParamInfo<TLocaleCase>& info) { return std::string(info.param.Name); });

// The window words the controller state's refusals; these are the Japanese texts.
TEST(LanguageJapanese, ControllerRefusalsAreWordedByTheWindow)
{
    const std::pair<TControlParameter, const char*> cases[] = {
        {TControlParameter::Modulation, "モジュレーションの値は0～127でなければなりません"},
        {TControlParameter::Breath, "ブレス・コントロールの値は0～127でなければなりません"},
        {TControlParameter::Foot, "フット・コントロールの値は0～127でなければなりません"},
        {TControlParameter::PortamentoTime, "ポルタメント・タイムの値は0～127でなければなりません"},
        {TControlParameter::Volume, "ボリュームの値は0～127でなければなりません"},
        {TControlParameter::Panpot, "パンポットの値は0～127でなければなりません"},
        {TControlParameter::Expression, "エクスプレッションの値は0～127でなければなりません"},
        {TControlParameter::Effect1, "エフェクト1の値は0～127でなければなりません"},
        {TControlParameter::Effect3, "エフェクト3の値は0～127でなければなりません"},
        {TControlParameter::Effect4, "エフェクト4の値は0～127でなければなりません"},
        {TControlParameter::PitchBendRange, "ピッチベンド・レンジの値は0～24でなければなりません"},
        {TControlParameter::MasterFineTune, "マスター・ファイン・チューンの値は-8192～8192でなければなりません"},
        {TControlParameter::MasterCoarseTune, "マスター・コース・チューンの値は-64～64でなければなりません"},
    };
    ASSERT_EQ(CurrentLanguage(), TLanguage::Japanese);
    for (const auto& [parameter, text] : cases)
        EXPECT_EQ(TControllerPage::RejectionText(parameter), QString::fromUtf8(text)) << int(parameter);
}

TEST(LanguageJapanese, ProgramRangesKeepTheFullWidthTilde)
{
    ASSERT_EQ(CurrentLanguage(), TLanguage::Japanese);
    TKelvaneFixture f;
    EXPECT_EQ(f.Find<QRadioButton>("RadioProgramRange0")->text(), QString::fromUtf8("0～127"));
    EXPECT_EQ(f.Find<QRadioButton>("RadioProgramRange1")->text(), QString::fromUtf8("1～128"));
}

class LanguageEnglish : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseLanguage(TLanguage::English)); }
    void TearDown() override
    {
        F.reset();
        UseLanguage(TLanguage::Japanese);
    }
    std::unique_ptr<TKelvaneFixture> F;
};

TEST_F(LanguageEnglish, CaptionsHintsAndMenusSpeakEnglish)
{
    F = std::make_unique<TKelvaneFixture>();
    TKelvaneFixture& form = *F;
    const std::pair<QString, const char*> cases[] = {
        {form.Find<QLabel>("LabelVolume")->text(), "Volume"},
        {form.Find<QPushButton>("ButtonSendAll")->text(), "Send parameters"},
        {form.Find<QTabWidget>("PageMain")->tabText(1), "Drums"},
        {form.Find<QMenu>("MenuOutDevice")->title(), "&MIDI output"},
        {form.Find<QPushButton>("ButtonSendAll")->toolTip(), "Sends every controller parameter and the program change"},
        {form.Find<QLabel>("LabelVolumeValue")->toolTip(), "Double-click to send the current value of volume"},
        {form.Find<TPortComboBox>("ComboMidiInDevice")->itemText(0), "No MIDI input"},
        {QAccessible::queryAccessibleInterface(form.Find<QScrollBar>("ScrollBarVolume"))->text(QAccessible::Name), "Volume"},
        {form.Find<QRadioButton>("RadioProgramRange0")->text(), "0–127"},  // an en dash, not the full-width tilde
        {form.Find<QRadioButton>("RadioProgramRange1")->text(), "1–128"},
    };
    for (const auto& [shown, expected] : cases)
        EXPECT_EQ(shown, QString::fromUtf8(expected));
}

TEST_F(LanguageEnglish, MessageBoxSpeaksEnglish)
{
    F = std::make_unique<TKelvaneFixture>();
    F->Find<TSpinEdit>("SpinEditProgram")->SetText(QStringLiteral("1.5"));
    QTest::keyClick(F->Find<TSpinEdit>("SpinEditProgram"), Qt::Key_Return);
    EXPECT_EQ(F->Messages, QStringList{"A program number cannot have a decimal point"});
}

TEST_F(LanguageEnglish, APortThatCannotBeOpenedSaysWhyInEnglish)
{
    F = std::make_unique<TKelvaneFixture>();
    F->Service().FailingOpens = {1};
    F->Find<QMenu>("MenuOutDevice")->actions()[2]->trigger();
    EXPECT_EQ(F->Messages, QStringList{"The chosen output port could not be opened\nTest Port is in use by another program"});
}

TEST_F(LanguageEnglish, NameListsStartWithTheirEnglishSets)
{
    F = std::make_unique<TKelvaneFixture>();
    EXPECT_EQ(F->Find<QComboBox>("ComboDrumList")->currentText(), "GM (English)");
    auto* list = F->Windows.ProgramList->findChild<QComboBox*>(QStringLiteral("ComboProgramList"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentText(), "GM (English)");
}

TEST_F(LanguageEnglish, ANamedListStaysChosen)
{
    TFixtureOptions options;
    options.Settings = QStringLiteral("[FormMain]\nDrumListName=GM（日本語）\n");
    F = std::make_unique<TKelvaneFixture>(options);
    EXPECT_EQ(F->Find<QComboBox>("ComboDrumList")->currentText(), QString::fromUtf8("GM（日本語）"));
}

TEST_F(LanguageEnglish, TheNoInputEntryIsStoredUnderItsJapaneseName)
{
    F = std::make_unique<TKelvaneFixture>();
    F->CloseWindow();
    const TIniFile saved = TIniFile::Load(F->SettingsPath());
    EXPECT_EQ(saved.ReadString("Midi", "InDeviceName", ""), QString::fromUtf8("MIDI入力なし"));
}

} // namespace
