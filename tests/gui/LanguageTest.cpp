// The interface language: which locale chooses English, the English texts of a few captions,
// hints and boxes, and the box the window shows for each value it refuses, in both languages.
#include "GuiTest.h"
#include "IniFile.h"
#include "Language.h"
#include "ProgramListDialog.h"
#include "SpinEdit.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

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

// A value the window refuses, as it gets there, and the box the window shows for it in each
// language. The program field and the raw editor take typed values. No control produces a
// controller value out of its range (a pitch-bend range from the settings file is the one way
// in, checked with the settings), so those are handed to the controller state the page's
// controls drive.
struct TRefusalCase {
    const char* Name;
    std::function<void(TKelvaneFixture&)> Enter;
    const char* Japanese;
    const char* English;
};

void TypeIntoProgramField(TKelvaneFixture& f, const QString& text)
{
    TSpinEdit* field = f.Find<TSpinEdit>("SpinEditProgram");
    field->SetText(QString());
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void SendFromTheRawEditor(TKelvaneFixture& f, const QString& text)
{
    ShowPage(f, 2);
    QPlainTextEdit* memo = f.Find<QPlainTextEdit>("MemoMidiOut");
    QTest::mouseClick(memo->viewport(), Qt::LeftButton);
    QTest::keyClicks(memo, text);
    QTest::mouseClick(f.Find<QPushButton>("ButtonSend"), Qt::LeftButton);
}

template <void (TControlChange::*Setter)(int)>
std::function<void(TKelvaneFixture&)> HandedToTheController(int value)
{
    return [value](TKelvaneFixture& f) { (f.Session().ControlChange().*Setter)(value); };
}

const TRefusalCase RefusalCases[] = {
    {"ProgramWithADecimalPoint", [](TKelvaneFixture& f) { TypeIntoProgramField(f, "12.5"); },
     "プログラム番号に小数点は使えません", "A program number cannot have a decimal point"},
    {"ProgramOutOfRange", [](TKelvaneFixture& f) { TypeIntoProgramField(f, "200"); },
     "プログラム番号の範囲外です", "The program number is out of range"},
    {"OddHexDigits", [](TKelvaneFixture& f) { SendFromTheRawEditor(f, "F0 7E 7"); },
     "16進数を表す文字の数は偶数でなければなりません。データを確認してください",
     "The number of hexadecimal digits must be even. Please check the data"},
    {"Modulation", HandedToTheController<&TControlChange::SetModulation>(128),
     "モジュレーションの値は0～127でなければなりません", "Modulation must be 0 to 127"},
    {"Breath", HandedToTheController<&TControlChange::SetBreath>(128),
     "ブレス・コントロールの値は0～127でなければなりません", "Breath control must be 0 to 127"},
    {"Foot", HandedToTheController<&TControlChange::SetFoot>(255),
     "フット・コントロールの値は0～127でなければなりません", "Foot control must be 0 to 127"},
    {"PortamentoTime", HandedToTheController<&TControlChange::SetPortamentoTime>(128),
     "ポルタメント・タイムの値は0～127でなければなりません", "Portamento time must be 0 to 127"},
    {"Volume", HandedToTheController<&TControlChange::SetVolume>(128),
     "ボリュームの値は0～127でなければなりません", "Volume must be 0 to 127"},
    {"Panpot", HandedToTheController<&TControlChange::SetPanpot>(128),
     "パンポットの値は0～127でなければなりません", "Pan must be 0 to 127"},
    {"Expression", HandedToTheController<&TControlChange::SetExpression>(128),
     "エクスプレッションの値は0～127でなければなりません", "Expression must be 0 to 127"},
    {"Effect1", HandedToTheController<&TControlChange::SetEffect1>(128),
     "エフェクト1の値は0～127でなければなりません", "Effect 1 must be 0 to 127"},
    {"Effect3", HandedToTheController<&TControlChange::SetEffect3>(128),
     "エフェクト3の値は0～127でなければなりません", "Effect 3 must be 0 to 127"},
    {"Effect4", HandedToTheController<&TControlChange::SetEffect4>(128),
     "エフェクト4の値は0～127でなければなりません", "Effect 4 must be 0 to 127"},
    {"PitchBendRange", HandedToTheController<&TControlChange::SetPitchBendRange>(25),
     "ピッチベンド・レンジの値は0～24でなければなりません", "The pitch bend range must be 0 to 24"},
    {"MasterFineTune", HandedToTheController<&TControlChange::SetMasterFineTune>(8193),
     "マスター・ファイン・チューンの値は-8192～8192でなければなりません", "Master fine tuning must be -8192 to 8192"},
    {"MasterCoarseTune", HandedToTheController<&TControlChange::SetMasterCoarseTune>(-65),
     "マスター・コース・チューンの値は-64～64でなければなりません", "Master coarse tuning must be -64 to 64"},
};

void PrintTo(const TRefusalCase& c, std::ostream* out)
{
    *out << c.Name;
}

class RefusedValue : public testing::TestWithParam<TRefusalCase> {
protected:
    void TearDown() override { UseLanguage(TLanguage::Japanese); }
};

TEST_P(RefusedValue, ShowsItsBoxInTheInterfacesLanguageAndSendsNothing)
{
    const TRefusalCase& c = GetParam();
    for (const TLanguage language : {TLanguage::Japanese, TLanguage::English}) {
        const bool english = language == TLanguage::English;
        SCOPED_TRACE(english ? "English" : "Japanese");
        ASSERT_TRUE(UseLanguage(language));
        TKelvaneFixture f;
        f.Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
        c.Enter(f);
        EXPECT_EQ(f.Messages.join('|').toStdString(), english ? c.English : c.Japanese);
        EXPECT_TRUE(f.Sent().empty());
        EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join('|').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedValue, testing::ValuesIn(RefusalCases),
    [](const testing::TestParamInfo<TRefusalCase>& info) { return std::string(info.param.Name); });

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
        {form.Find<QTabWidget>("PageMain")->tabText(1), "Drums (&X) "},
        {form.Find<QMenu>("MenuOutDevice")->title(), "Output port (&M)"},
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

TEST_F(LanguageEnglish, APortThatCannotBeOpenedSaysWhyInEnglish)
{
    F = std::make_unique<TKelvaneFixture>();
    F->Service().FailingOpens = {1};
    F->Find<QMenu>("MenuOutDevice")->actions()[2]->trigger();
    EXPECT_EQ(F->Messages, QStringList{"The chosen output port could not be opened\nTest Port is in use by another program"});
}

TEST_F(LanguageEnglish, AKeyWithNoPortOpenSaysWhereToChooseOneInEnglish)
{
    F = std::make_unique<TKelvaneFixture>();
    F->Service().FailingOpens = {1};
    F->Find<QMenu>("MenuOutDevice")->actions()[2]->trigger();
    QTest::keyPress(QApplication::focusWidget() ? QApplication::focusWidget() : &F->Main(), Qt::Key_A);
    EXPECT_EQ(F->Errors,
              QStringList{"No MIDI output port is open. Please choose a MIDI output port from the \"Output port\" menu"});
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
