// The main page through its real widgets: controller panel, keyboard, program field and the
// command buttons, with the bytes each action puts on the wire.
#include "KelvaneFixture.h"
#include "SpinEdit.h"
#include "Widgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QColor Aqua(0, 255, 255);
const QColor Silver(192, 192, 192);

QColor Background(QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}

class MainPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        F = std::make_unique<TKelvaneFixture>();
        F->Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&F->Main()));
        F->ClearSent();
    }
    void TearDown() override { F.reset(); }

    TKeyShape* Key(int key) { return F->Find<QWidget>("PanelNote")->findChild<TKeyShape*>(QStringLiteral("Shape%1").arg(key)); }
    QRadioButton* ChannelItem(int channel)
    {
        return F->Find<QGroupBox>("RadioChannel")->findChild<QRadioButton*>(QStringLiteral("RadioChannel%1").arg(channel));
    }
    QRadioButton* RangeItem(int index)
    {
        return F->Find<QGroupBox>("RadioProgramRange")->findChild<QRadioButton*>(QStringLiteral("RadioProgramRange%1").arg(index));
    }
    // Key events reach the focused control first, as the platform delivers them.
    QWidget* KeyTarget()
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus : &F->Main();
    }
    void PressKey(Qt::Key key, bool autoRepeat = false)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(KeyTarget(), &event);
    }
    void ReleaseKey(Qt::Key key, bool autoRepeat = false)
    {
        QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(KeyTarget(), &event);
    }
    void PressEnterInProgramField()
    {
        QTest::keyClick(F->Find<TSpinEdit>("SpinEditProgram"), Qt::Key_Return);
    }
    void TypeProgram(const QString& text)
    {
        F->Find<TSpinEdit>("SpinEditProgram")->SetText(QString());
        QTest::keyClicks(F->Find<TSpinEdit>("SpinEditProgram"), text);
    }

    std::unique_ptr<TKelvaneFixture> F;
};

TEST_F(MainPageTest, ChannelChangeMarksStaleAndVolumeSendsOnTheNewChannel)
{
    QTest::mouseClick(ChannelItem(10), Qt::LeftButton);
    EXPECT_TRUE(F->Sent().empty());
    EXPECT_EQ(F->Session().Channel(), 10);
    EXPECT_EQ(Background(F->Find<QLabel>("LabelVolumeValue")), Aqua);

    for (int i = 0; i < 10; ++i)
        F->Find<QScrollBar>("ScrollBarVolume")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    ASSERT_EQ(F->Sent().size(), 10u);
    EXPECT_EQ(F->Sent().back(), Bytes("B9 07 5A"));
    EXPECT_EQ(F->Find<QLabel>("LabelVolumeValue")->text(), "90");
    EXPECT_EQ(Background(F->Find<QLabel>("LabelVolumeValue")), Silver);
    EXPECT_EQ(Background(F->Find<QLabel>("LabelPanpotValue")), Aqua);
    EXPECT_EQ(Background(F->Find<QCheckBox>("CheckHold1")), Aqua);
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Color(), Aqua);
}

TEST_F(MainPageTest, NameLabelDoubleClickSetsTheDefaultOnlyWhenAway)
{
    QTest::mouseDClick(F->Find<QLabel>("LabelVolume"), Qt::LeftButton);
    EXPECT_TRUE(F->Sent().empty());

    F->Find<QScrollBar>("ScrollBarVolume")->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(F->Sent(), Wire({"B0 07 5A"}));
    F->ClearSent();
    QTest::mouseDClick(F->Find<QLabel>("LabelVolume"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"B0 07 64"}));
    EXPECT_EQ(F->Find<QScrollBar>("ScrollBarVolume")->value(), 100);
}

TEST_F(MainPageTest, ValueLabelDoubleClickSendsTheCurrentValueAgain)
{
    QTest::mouseDClick(F->Find<QLabel>("LabelVolumeValue"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"B0 07 64"}));
    EXPECT_EQ(Background(F->Find<QLabel>("LabelVolumeValue")), Silver);

    F->ClearSent();
    QTest::mouseDClick(F->Find<QLabel>("LabelMasterFineTuneValue"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"B0 64 01", "B0 65 00", "B0 06 40", "B0 26 00"}));
    EXPECT_EQ(Background(F->Find<QLabel>("LabelMasterFineTuneValue")), F->Find<QLabel>("LabelMasterFineTuneValue")->palette().color(QPalette::Button));
}

TEST_F(MainPageTest, SwitchesSendSixtyFiveAndZero)
{
    QTest::mouseClick(F->Find<QCheckBox>("CheckSoft"), Qt::LeftButton);
    QTest::mouseClick(F->Find<QCheckBox>("CheckSoft"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"B0 43 41", "B0 43 00"}));
    QTest::mouseClick(F->Find<QCheckBox>("CheckPortamento"), Qt::LeftButton);
    EXPECT_EQ(F->Sent().back(), Bytes("B0 41 41"));
    EXPECT_EQ(Background(F->Find<QCheckBox>("CheckPortamento")), Silver);
}

TEST_F(MainPageTest, PitchBendEncodesEveryPosition)
{
    struct TCase {
        int Position;
        const char* Bytes;
    };
    // From a start away from each position, so that every move is reported.
    const TCase cases[] = {{-8192, "E0 00 00"}, {-1, "E0 7F 3F"}, {0, "E0 00 40"}, {8191, "E0 7F 7F"}, {8192, "E0 7F 7F"}};
    for (const TCase& c : cases) {
        F->Find<QSlider>("TrackBarPitchBend")->setValue(100);
        F->ClearSent();
        F->Find<QSlider>("TrackBarPitchBend")->setValue(c.Position);
        EXPECT_EQ(F->Sent(), Wire({c.Bytes})) << c.Position;
        EXPECT_EQ(F->Find<QLabel>("LabelPitchBendValue")->text(), QString::number(c.Position));
    }
    F->ClearSent();
    QTest::mouseDClick(F->Find<QLabel>("LabelPitchBend"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"E0 00 40"}));
}

TEST_F(MainPageTest, NoteParameterSlidersSendNothing)
{
    for (QScrollBar* bar : {F->Find<QScrollBar>("ScrollBarTranspose"), F->Find<QScrollBar>("ScrollBarOnVelocity"), F->Find<QScrollBar>("ScrollBarOffVelocity"),
                            F->Find<QScrollBar>("ScrollBarChannelPressure"), F->Find<QScrollBar>("ScrollBarPolyPressure")})
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_TRUE(F->Sent().empty());
    EXPECT_EQ(F->Session().Transpose(), -12);
    EXPECT_EQ(F->Session().OnVelocity(), 110);
    EXPECT_EQ(F->Find<QLabel>("LabelChannelPressureValue")->text(), "30");
}

TEST_F(MainPageTest, ChannelPressurePressAndRelease)
{
    QTest::mouseClick(ChannelItem(2), Qt::LeftButton);
    QTest::mousePress(F->Find<QPushButton>("ButtonChannelPressure"), Qt::LeftButton);
    QTest::mouseRelease(F->Find<QPushButton>("ButtonChannelPressure"), Qt::LeftButton);
    QTest::mousePress(F->Find<QPushButton>("ButtonChannelPressure"), Qt::RightButton);
    QTest::mouseRelease(F->Find<QPushButton>("ButtonChannelPressure"), Qt::RightButton);
    EXPECT_EQ(F->Sent(), Wire({"D1 28", "D1 00", "D1 28", "D1 00"}));
}

TEST_F(MainPageTest, PolyPressureUsesTheLowestHeldKeyWithTransposition)
{
    F->Find<QScrollBar>("ScrollBarTranspose")->setValue(12);
    PressKey(Qt::Key_G);  // 67
    PressKey(Qt::Key_D);  // 64
    F->ClearSent();
    QTest::mousePress(F->Find<QPushButton>("ButtonPolyPressure"), Qt::LeftButton);
    QTest::mouseRelease(F->Find<QPushButton>("ButtonPolyPressure"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"A0 4C 28", "A0 4C 00"}));

    ReleaseKey(Qt::Key_D);
    ReleaseKey(Qt::Key_G);
    F->ClearSent();
    QTest::mousePress(F->Find<QPushButton>("ButtonPolyPressure"), Qt::LeftButton);
    QTest::mouseRelease(F->Find<QPushButton>("ButtonPolyPressure"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"A0 4C 00"}));  // nothing held: only the release, to the last note
}

TEST_F(MainPageTest, MouseOnAKeyPlaysAndPaintsIt)
{
    TKeyShape* key = Key(64);
    ASSERT_NE(key, nullptr);
    QTest::mousePress(key, Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"90 40 78"}));
    EXPECT_EQ(key->Fill(), Aqua);
    QTest::mouseRelease(key, Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"90 40 78", "80 40 28"}));
    EXPECT_EQ(key->Fill(), QColor(Qt::white));

    F->ClearSent();
    QTest::mousePress(Key(61), Qt::LeftButton);
    EXPECT_EQ(Key(61)->Fill(), QColor(0, 0, 255));
    QTest::mouseRelease(Key(61), Qt::LeftButton);
    EXPECT_EQ(Key(61)->Fill(), QColor(Qt::black));
    EXPECT_EQ(F->Sent(), Wire({"90 3D 78", "80 3D 28"}));
}

TEST_F(MainPageTest, BlackKeysLieAboveWhiteKeys)
{
    // x = 18 lies on C4 (0..22) and on C#4 (16..30); above y = 57 only C4 is there.
    EXPECT_EQ(F->Find<QWidget>("PanelNote")->childAt(18, 10), Key(61));
    EXPECT_EQ(F->Find<QWidget>("PanelNote")->childAt(18, 70), Key(60));
    EXPECT_EQ(Key(77)->geometry(), QRect(230, 0, 23, 86));
    EXPECT_EQ(Key(75)->geometry(), QRect(200, 0, 15, 57));
}

TEST_F(MainPageTest, MouseAndComputerKeyOnTheSameKey)
{
    PressKey(Qt::Key_A);
    QTest::mousePress(Key(60), Qt::LeftButton);
    QTest::mouseRelease(Key(60), Qt::LeftButton);
    ReleaseKey(Qt::Key_A);
    EXPECT_EQ(F->Sent(), Wire({"90 3C 78", "80 3C 28", "80 3C 28"}));
    EXPECT_EQ(Key(60)->Fill(), QColor(Qt::white));
}

TEST_F(MainPageTest, TranspositionReachesBothEndsOfTheNoteRange)
{
    F->Find<QScrollBar>("ScrollBarTranspose")->setValue(-60);
    PressKey(Qt::Key_A);
    ReleaseKey(Qt::Key_A);
    F->Find<QScrollBar>("ScrollBarTranspose")->setValue(50);
    PressKey(Qt::Key_Apostrophe);
    ReleaseKey(Qt::Key_Apostrophe);
    PressKey(Qt::Key_Semicolon);
    ReleaseKey(Qt::Key_Semicolon);
    EXPECT_EQ(F->Sent(), Wire({"90 00 78", "80 00 28", "90 7F 78", "80 7F 28", "90 7E 78", "80 7E 28"}));
}

TEST_F(MainPageTest, ChannelSixteenStatusBytes)
{
    QTest::mouseClick(ChannelItem(16), Qt::LeftButton);
    PressKey(Qt::Key_K);
    ReleaseKey(Qt::Key_K);
    EXPECT_EQ(F->Sent(), Wire({"9F 48 78", "8F 48 28"}));
}

TEST_F(MainPageTest, AutoRepeatSendsOneNoteOnAndOneNoteOff)
{
    PressKey(Qt::Key_H);
    for (int i = 0; i < 5; ++i) {
        ReleaseKey(Qt::Key_H, true);
        PressKey(Qt::Key_H, true);
    }
    ReleaseKey(Qt::Key_H);
    EXPECT_EQ(F->Sent(), Wire({"90 45 78", "80 45 28"}));
}

TEST_F(MainPageTest, ComputerKeysPlayOnlyOnTheMainPage)
{
    F->Find<QTabWidget>("PageMain")->setCurrentIndex(1);
    PressKey(Qt::Key_A);
    ReleaseKey(Qt::Key_A);
    F->Find<QTabWidget>("PageMain")->setCurrentIndex(2);
    PressKey(Qt::Key_A);
    EXPECT_TRUE(F->Sent().empty());
}

// A computer key held while its release can no longer reach the keyboard: the note ends when
// the key is taken away, and the release that may still arrive sends nothing more.
struct THeldKeyCase {
    const char* Name;
    std::function<void(QWidget& main, TKelvaneFixture& form, QWidget& other)> Away;
    std::function<void(QWidget& main, TKelvaneFixture& form, QWidget& other)> Back;
    bool ReleasedAfterComingBack;
};

void PrintTo(const THeldKeyCase& c, std::ostream* out)
{
    *out << c.Name;
}

class HeldKeyTest : public MainPageTest, public ::testing::WithParamInterface<THeldKeyCase> {};

TEST_P(HeldKeyTest, EndsItsNoteOnceWhenTakenAway)
{
    QWidget other;  // a second window to take the focus
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(700, 0, 100, 100);
    F->Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F->Main()));
    PressKey(Qt::Key_G);
    GetParam().Away(F->Main(), *F, other);
    EXPECT_EQ(F->Sent(), Wire({"90 43 78", "80 43 28"}));
    EXPECT_FALSE(F->Keyboard().Sounding(67));
    EXPECT_EQ(Key(67)->Fill(), QColor(Qt::white));

    if (GetParam().ReleasedAfterComingBack) {
        GetParam().Back(F->Main(), *F, other);
        ReleaseKey(Qt::Key_G);
    } else {
        ReleaseKey(Qt::Key_G);  // where the focus is now
        GetParam().Back(F->Main(), *F, other);
    }
    EXPECT_EQ(F->Sent(), Wire({"90 43 78", "80 43 28"}));

    // The key plays as before afterwards.
    F->ClearSent();
    PressKey(Qt::Key_G);
    ReleaseKey(Qt::Key_G);
    EXPECT_EQ(F->Sent(), Wire({"90 43 78", "80 43 28"}));
}

const auto OtherPage = [](QWidget&, TKelvaneFixture& form, QWidget&) {
    QTest::mouseClick(form.Find<QTabWidget>("PageMain")->tabBar(), Qt::LeftButton, {}, form.Find<QTabWidget>("PageMain")->tabBar()->tabRect(1).center());
    ASSERT_EQ(form.Find<QTabWidget>("PageMain")->currentIndex(), 1);
};
const auto MainPage = [](QWidget&, TKelvaneFixture& form, QWidget&) {
    QTest::mouseClick(form.Find<QTabWidget>("PageMain")->tabBar(), Qt::LeftButton, {}, form.Find<QTabWidget>("PageMain")->tabBar()->tabRect(0).center());
    ASSERT_EQ(form.Find<QTabWidget>("PageMain")->currentIndex(), 0);
};
const auto OtherWindow = [](QWidget& main, TKelvaneFixture&, QWidget& other) {
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_FALSE(main.isActiveWindow());
};
const auto MainWindow = [](QWidget& main, TKelvaneFixture&, QWidget&) {
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
};

INSTANTIATE_TEST_SUITE_P(
    Keyboard, HeldKeyTest,
    ::testing::Values(THeldKeyCase{"PageChangedThenReleased", OtherPage, MainPage, false},
                      THeldKeyCase{"PageChangedAndBackBeforeRelease", OtherPage, MainPage, true},
                      THeldKeyCase{"FocusLostThenReleased", OtherWindow, MainWindow, false},
                      THeldKeyCase{"FocusLostAndBackBeforeRelease", OtherWindow, MainWindow, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MainPageTest, PitchBendReturnsToCentreWhenTheLastKeyIsReleased)
{
    PressKey(Qt::Key_A);
    PressKey(Qt::Key_S);
    F->Find<QSlider>("TrackBarPitchBend")->setValue(1000);
    F->ClearSent();
    ReleaseKey(Qt::Key_A);
    EXPECT_EQ(F->Sent(), Wire({"80 3C 28"}));
    ReleaseKey(Qt::Key_S);
    EXPECT_EQ(F->Sent(), Wire({"80 3C 28", "80 3E 28", "E0 00 40"}));
    EXPECT_EQ(F->Find<QSlider>("TrackBarPitchBend")->value(), 0);

    F->ClearSent();
    PressKey(Qt::Key_A);
    ReleaseKey(Qt::Key_A);
    EXPECT_EQ(F->Sent(), Wire({"90 3C 78", "80 3C 28"}));  // already centred: nothing more
}

TEST_F(MainPageTest, RightButtonTestNoteOnThePageAndLabelsOnly)
{
    const QPoint background(620, 380);  // below the commands, on the page itself
    ASSERT_EQ(F->Find<QWidget>("TabMain")->childAt(background), nullptr);
    QTest::mousePress(F->Find<QWidget>("TabMain"), Qt::RightButton, {}, background);
    QTest::mouseRelease(F->Find<QWidget>("TabMain"), Qt::RightButton, {}, background);
    QTest::mousePress(F->Find<QLabel>("LabelVolume"), Qt::RightButton);
    QTest::mouseRelease(F->Find<QLabel>("LabelVolume"), Qt::RightButton);
    QTest::mousePress(F->Find<QPushButton>("ButtonSendAll"), Qt::RightButton);
    QTest::mouseRelease(F->Find<QPushButton>("ButtonSendAll"), Qt::RightButton);
    EXPECT_EQ(F->Sent(), Wire({"90 3C 78", "80 3C 28", "90 3C 78", "80 3C 28", "90 3C 78", "80 3C 28"}));

    F->ClearSent();
    QTest::mousePress(F->Find<QScrollBar>("ScrollBarVolume"), Qt::RightButton);
    QTest::mouseRelease(F->Find<QScrollBar>("ScrollBarVolume"), Qt::RightButton);
    QTest::mousePress(F->Find<QCheckBox>("CheckPortamento"), Qt::RightButton);
    QTest::mouseRelease(F->Find<QCheckBox>("CheckPortamento"), Qt::RightButton);
    QTest::mousePress(ChannelItem(3), Qt::RightButton);
    QTest::mouseRelease(ChannelItem(3), Qt::RightButton);
    QTest::mousePress(F->Find<QWidget>("TabMain"), Qt::LeftButton, {}, background);
    QTest::mouseRelease(F->Find<QWidget>("TabMain"), Qt::LeftButton, {}, background);
    EXPECT_TRUE(F->Sent().empty());
}

TEST_F(MainPageTest, TheTestNoteIsCarriedByEveryLabelOfThePage)
{
    const QList<QLabel*> labels = F->Find<QWidget>("TabMain")->findChildren<QLabel*>();
    // The captions of the panel and the commands are among them, whatever else the form holds.
    for (const char* name : {"LabelVolume", "LabelVolumeValue", "LabelMasterFineTuneValue", "LabelProgram", "LabelDeviceID"})
        ASSERT_TRUE(labels.contains(F->Find<QLabel>(name))) << name;
    for (QLabel* label : labels) {
        F->ClearSent();
        QTest::mousePress(label, Qt::RightButton);
        QTest::mouseRelease(label, Qt::RightButton);
        EXPECT_EQ(F->Sent(), Wire({"90 3C 78", "80 3C 28"})) << label->objectName().toStdString();
    }
    EXPECT_TRUE(F->Messages.isEmpty()) << F->Messages.join('|').toStdString();
}

TEST_F(MainPageTest, ProgramFieldEnter)
{
    struct TCase {
        int Range;
        QString Text;
        const char* Sent;     // "" = nothing
        const char* Message;  // "" = none
    };
    const TCase cases[] = {
        {1, "1", "C0 00", ""},
        {1, "128", "C0 7F", ""},
        {0, "12.5", "", "プログラム番号に小数点は使えません"},
        {0, "200", "", "プログラム番号の範囲外です"},
        {0, "", "", ""},
        {1, "-", "C0 00", ""},  // not an integer: read as the minimum
    };
    for (const TCase& c : cases) {
        QTest::mouseClick(RangeItem(c.Range), Qt::LeftButton);
        TypeProgram(c.Text);
        F->ClearSent();
        F->Messages.clear();
        PressEnterInProgramField();
        const auto expected = *c.Sent ? Wire({c.Sent}) : std::vector<std::vector<uint8_t>>{};
        EXPECT_EQ(F->Sent(), expected) << c.Text.toStdString();
        EXPECT_EQ(F->Messages, *c.Message ? QStringList{QString::fromUtf8(c.Message)} : QStringList{})
            << c.Text.toStdString();
        EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Color(), *c.Sent ? QColor(Qt::white) : Aqua) << c.Text.toStdString();
        EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Text(), c.Text);
    }
}

TEST_F(MainPageTest, RangeSwitchKeepsTheProgramAndItsColour)
{
    ASSERT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Text(), "1");
    PressEnterInProgramField();
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Color(), QColor(Qt::white));
    F->ClearSent();
    QTest::mouseClick(RangeItem(0), Qt::LeftButton);
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Text(), "0");
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Color(), QColor(Qt::white));
    EXPECT_TRUE(F->Sent().empty());
    QTest::mouseDClick(F->Find<TSpinEdit>("SpinEditProgram")->findChild<QLineEdit*>(), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"C0 00"}));
}

TEST_F(MainPageTest, ArrowsChangeTheProgramWithoutSendingIt)
{
    PressEnterInProgramField();
    ASSERT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Color(), QColor(Qt::white));
    F->ClearSent();
    QTest::keyClick(F->Find<TSpinEdit>("SpinEditProgram"), Qt::Key_Up);
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Text(), "2");
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Color(), Aqua);
    EXPECT_TRUE(F->Sent().empty());
    PressEnterInProgramField();
    EXPECT_EQ(F->Sent(), Wire({"C0 01"}));
}

TEST_F(MainPageTest, GsResetUsesTheDeviceIdAndGmSystemOnTheBroadcastId)
{
    QTest::mouseClick(ChannelItem(4), Qt::LeftButton);
    QTest::mouseClick(F->Find<QPushButton>("ButtonGsReset"), Qt::LeftButton);
    for (int i = 0; i < 20; ++i)
        F->Find<TSpinEdit>("SpinEditDeviceID")->stepBy(-1);
    QTest::mouseClick(F->Find<QPushButton>("ButtonGsReset"), Qt::LeftButton);
    QTest::mouseClick(F->Find<QPushButton>("ButtonGmSystemOn"), Qt::LeftButton);
    EXPECT_EQ(F->Sent(), Wire({"F0 41 10 42 12 40 00 7F 00 41 F7", "F0 41 00 42 12 40 00 7F 00 41 F7", "F0 7E 7F 09 01 F7"}));
    EXPECT_EQ(Background(F->Find<QLabel>("LabelVolumeValue")), Aqua);

    QTest::mouseDClick(F->Find<QLabel>("LabelDeviceID"), Qt::LeftButton);
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditDeviceID")->Value(), 17);
}

TEST_F(MainPageTest, AllNotesOffCoversSixteenChannelsAndRestsTheKeys)
{
    PressKey(Qt::Key_W);
    F->ClearSent();
    QTest::mouseClick(F->Find<QPushButton>("ButtonAllNoteOff"), Qt::LeftButton);
    const auto sent = F->Sent();
    ASSERT_EQ(sent.size(), 32u);
    for (int channel = 0; channel < 16; ++channel) {
        EXPECT_EQ(sent[2 * channel], (std::vector<uint8_t>{uint8_t(0xB0 + channel), 0x78, 0x00}));
        EXPECT_EQ(sent[2 * channel + 1], (std::vector<uint8_t>{uint8_t(0xB0 + channel), 0x7B, 0x00}));
    }
    EXPECT_EQ(Key(61)->Fill(), QColor(Qt::black));
    EXPECT_FALSE(F->Keyboard().Sounding(61));
}

TEST_F(MainPageTest, SendAllWithAnEmptyProgramFieldStillSendsTheParameters)
{
    TypeProgram("");
    F->ClearSent();
    QTest::mouseClick(F->Find<QPushButton>("ButtonSendAll"), Qt::LeftButton);
    const auto sent = F->Sent();
    ASSERT_EQ(sent.size(), 25u);
    EXPECT_EQ(sent[4], Bytes("B0 07 64"));
    EXPECT_EQ(sent[24], Bytes("B0 7F 00"));
    EXPECT_EQ(Background(F->Find<QLabel>("LabelVolumeValue")), F->Find<QLabel>("LabelVolumeValue")->palette().color(QPalette::Button));
    EXPECT_EQ(F->Find<TSpinEdit>("SpinEditProgram")->Color(), Aqua);
}

TEST_F(MainPageTest, DefaultsWhenEverythingStandsAtItsDefault)
{
    QTest::mouseClick(F->Find<QPushButton>("ButtonDefault"), Qt::LeftButton);
    const auto sent = F->Sent();
    ASSERT_EQ(sent.size(), 27u);
    EXPECT_EQ(sent[0], Bytes("C0 00"));
    EXPECT_EQ(sent[1], Bytes("C0 00"));
    EXPECT_EQ(sent[2], Bytes("B0 01 00"));
    EXPECT_EQ(sent[26], Bytes("B0 7F 00"));
}

TEST_F(MainPageTest, DefaultsSendEachChangedControlFirst)
{
    F->Find<QScrollBar>("ScrollBarVolume")->setValue(90);
    F->Find<QCheckBox>("CheckMono")->setChecked(true);
    F->ClearSent();
    QTest::mouseClick(F->Find<QPushButton>("ButtonDefault"), Qt::LeftButton);
    const auto sent = F->Sent();
    ASSERT_EQ(sent.size(), 29u);
    EXPECT_EQ(sent[1], Bytes("B0 07 64"));
    EXPECT_EQ(sent[2], Bytes("B0 7F 00"));
    EXPECT_EQ(sent[3], Bytes("C0 00"));
}

TEST_F(MainPageTest, RefusedSendShowsTheErrorOnceAndKeepsThePosition)
{
    F->Service().Failures["SendShort"] = Refusal("Test Synth refused the message");
    F->Find<QSlider>("TrackBarPitchBend")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(F->Errors, QStringList{"Test Synth refused the message"});
    EXPECT_EQ(F->Find<QSlider>("TrackBarPitchBend")->value(), 100);

    F->Errors.clear();
    F->Find<QScrollBar>("ScrollBarVolume")->setValue(90);
    QTest::mouseClick(F->Find<QPushButton>("ButtonDefault"), Qt::LeftButton);
    EXPECT_EQ(F->Errors.size(), 2);  // the volume slider, then the defaults button: once each
    EXPECT_EQ(F->Find<QScrollBar>("ScrollBarVolume")->value(), 90);  // the defaults stopped at their first send

    F->Errors.clear();
    PressKey(Qt::Key_A);
    EXPECT_EQ(F->Errors.size(), 1);
    EXPECT_FALSE(F->Keyboard().Sounding(60));
    EXPECT_EQ(Key(60)->Fill(), QColor(Qt::white));
    F->Service().Failures.clear();
}

} // namespace
