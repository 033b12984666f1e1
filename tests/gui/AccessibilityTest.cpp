// What assistive technology sees through Qt's accessibility interfaces: the names and roles of
// the controls, and keys and drum pads as buttons whose press plays the note like a click.
#include "KelvaneFixture.h"
#include "Widgets.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QAccessibleInterface* Accessible(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

QString Name(QWidget* widget)
{
    QAccessibleInterface* face = Accessible(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        F = std::make_unique<TKelvaneFixture>();
        F->Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&F->Main()));
    }
    Ui::TFormMain& Form() { return F->Form(); }
    TKeyShape* Key(int key) { return Form().PanelNote->findChild<TKeyShape*>(QStringLiteral("Shape%1").arg(key)); }
    TDrumPad* Pad(int note)
    {
        return Form().PanelDrum->findChild<TDrumPad*>(QStringLiteral("DrumKey%1").arg(note, 3, 10, QLatin1Char('0')));
    }
    void UseChannel(int channel)
    {
        auto* item = Form().RadioChannel->findChild<QRadioButton*>(QStringLiteral("RadioChannel%1").arg(channel));
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(item, Qt::LeftButton);
        ASSERT_EQ(F->Main().Channel, channel);
        F->ClearSent();
    }
    static void Press(QWidget* widget)
    {
        QAccessibleInterface* face = Accessible(widget);
        ASSERT_NE(face, nullptr);
        QAccessibleActionInterface* actions = face->actionInterface();
        ASSERT_NE(actions, nullptr);
        ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
    }

    std::unique_ptr<TKelvaneFixture> F;
};

struct TNamedControl {
    QWidget* Ui::TFormMain::*Control;
    const char* Name;
    QAccessible::Role Role;
};

const TNamedControl NamedControls[] = {
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::ScrollBarVolume, "ボリューム", QAccessible::ScrollBar},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::ScrollBarMasterCoarseTune, "コース・チューン", QAccessible::ScrollBar},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::ScrollBarChannelPressure, "チャネルAT", QAccessible::ScrollBar},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::TrackBarPitchBend, "ピッチベンド", QAccessible::Slider},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::CheckPortamento, "ポルタメント", QAccessible::CheckBox},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::SpinEditProgram, "プログラム", QAccessible::SpinBox},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::SpinEditDeviceID, "GSデバイスＩＤ", QAccessible::SpinBox},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::SpinEditInterval, "送信間隔（ミリ秒）", QAccessible::SpinBox},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::SpinEditPacketSize, "大きさ（バイト）", QAccessible::SpinBox},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::MemoMidiIn, "MIDI入力", QAccessible::EditableText},
    {(QWidget * Ui::TFormMain::*)&Ui::TFormMain::MemoMidiOut, "MIDI出力", QAccessible::EditableText},
};

TEST_F(AccessibilityTest, ControlsCarryTheirCaptionsAsNames)
{
    for (const TNamedControl& c : NamedControls) {
        QWidget* control = Form().*c.Control;
        EXPECT_EQ(Name(control), QString::fromUtf8(c.Name)) << control->objectName().toStdString();
        ASSERT_NE(Accessible(control), nullptr);
        EXPECT_EQ(Accessible(control)->role(), c.Role) << control->objectName().toStdString();
    }
}

TEST_F(AccessibilityTest, EveryControlAUserOperatesHasAName)
{
    QStringList nameless;
    for (QWidget* page : {Form().TabMain, Form().TabDrum, Form().TabBinary}) {
        for (QWidget* control : page->findChildren<QWidget*>()) {
            const bool operated = qobject_cast<QAbstractSlider*>(control) || qobject_cast<QAbstractSpinBox*>(control)
                                  || qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control)
                                  || qobject_cast<QPlainTextEdit*>(control) || qobject_cast<TKeyShape*>(control)
                                  || qobject_cast<TDrumPad*>(control);
            // Qt's own inner parts (a memo's scroll bars) have no object name; their owner speaks for them.
            if (operated && !control->objectName().isEmpty() && Name(control).trimmed().isEmpty())
                nameless << control->objectName();
        }
    }
    EXPECT_TRUE(nameless.isEmpty()) << nameless.join(", ").toStdString();
}

TEST_F(AccessibilityTest, KeysAreButtonsNamedByNoteAndNumber)
{
    const std::pair<int, const char*> keys[] = {{60, "C4 (60)"}, {61, "C#4 (61)"}, {71, "B4 (71)"}, {72, "C5 (72)"},
                                                {77, "F5 (77)"}};
    for (const auto& [key, name] : keys) {
        ASSERT_NE(Key(key), nullptr) << key;
        EXPECT_EQ(Name(Key(key)), QString::fromUtf8(name));
        EXPECT_EQ(Accessible(Key(key))->role(), QAccessible::Button) << key;
    }
}

TEST_F(AccessibilityTest, PressingAKeySendsWhatAClickSends)
{
    UseChannel(10);
    Press(Key(60));
    EXPECT_EQ(F->Sent(), Wire({"99 3C 78", "89 3C 28"}));
    EXPECT_FALSE(F->Main().KeySounding[0]);

    // The same bytes as the mouse, transposition included.
    F->Form().ScrollBarTranspose->setValue(2);
    F->ClearSent();
    QTest::mousePress(Key(61), Qt::LeftButton);
    QTest::mouseRelease(Key(61), Qt::LeftButton);
    const auto clicked = F->Sent();
    F->ClearSent();
    Press(Key(61));
    EXPECT_EQ(F->Sent(), clicked);
    EXPECT_EQ(F->Sent(), Wire({"99 3F 78", "89 3F 28"}));
}

TEST_F(AccessibilityTest, PadsAreButtonsThatPlayTheirNote)
{
    QTabBar* tabs = Form().PageMain->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    UseChannel(10);
    TDrumPad* pad = Pad(36);
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(Accessible(pad)->role(), QAccessible::Button);
    EXPECT_EQ(Name(pad), pad->text() + " (36)");
    EXPECT_FALSE(pad->text().isEmpty());
    Press(pad);
    EXPECT_EQ(F->Sent(), Wire({"99 24 78", "89 24 28"}));
    EXPECT_EQ(pad->BackColor(), F->Main().DrumBackColor);  // released again

    // The name follows the list shown.
    Form().ComboDrumList->setCurrentIndex(Form().ComboDrumList->count() - 1);
    EXPECT_EQ(Name(pad), pad->text() + " (36)");
}

// The control Tab moves to from this one.
QWidget* NextByTab(QWidget* control, QWidget* window)
{
    QWidget* next = control->nextInFocusChain();
    while (next && next != control
           && (!(next->focusPolicy() & Qt::TabFocus) || next->focusProxy() || !next->isVisibleTo(window)))
        next = next->nextInFocusChain();
    return next;
}

TEST_F(AccessibilityTest, TabReachesTheBarsOfTheMainPageInReadingOrder)
{
    const QList<QWidget*> order = {Form().SpinEditProgram, Form().RadioProgramRange->findChild<QRadioButton*>("RadioProgramRange0"),
                                   Form().RadioProgramRange->findChild<QRadioButton*>("RadioProgramRange1"),
                                   Form().TrackBarPitchBend, Form().ScrollBarTranspose, Form().ScrollBarOnVelocity};
    for (int i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(NextByTab(order[i], &F->Main()), order[i + 1]) << order[i]->objectName().toStdString();
    EXPECT_EQ(NextByTab(Form().ScrollBarMasterCoarseTune, &F->Main()), Form().ButtonGmSystemOn);
    // A click on a bar leaves the focus where it was.
    Form().ButtonSendAll->setFocus();
    QTest::mouseClick(Form().ScrollBarVolume, Qt::LeftButton);
    EXPECT_EQ(F->Main().focusWidget(), Form().ButtonSendAll);
}

TEST_F(AccessibilityTest, TabMovesThroughTheBinaryPageInItsVisualOrder)
{
    QTabBar* tabs = Form().PageMain->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    const QList<QWidget*> order = {Form().ComboMidiInDevice, Form().ButtonInClear, Form().ButtonInSaveBinary,
                                   Form().ButtonInSaveText, Form().ButtonBinaryFontSet, Form().SpinEditInterval,
                                   Form().SpinEditPacketSize};
    for (int i = 0; i + 1 < order.size(); ++i) {
        EXPECT_EQ(NextByTab(order[i], &F->Main()), order[i + 1]) << order[i]->objectName().toStdString();
    }
}

} // namespace
