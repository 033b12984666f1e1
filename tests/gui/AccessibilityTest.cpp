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
    TKeyShape* Key(int key) { return F->Find<QWidget>("PanelNote")->findChild<TKeyShape*>(QStringLiteral("Shape%1").arg(key)); }
    TDrumPad* Pad(int note)
    {
        return F->Find<QWidget>("PanelDrum")->findChild<TDrumPad*>(QStringLiteral("DrumKey%1").arg(note, 3, 10, QLatin1Char('0')));
    }
    void UseChannel(int channel)
    {
        auto* item = F->Find<QGroupBox>("RadioChannel")->findChild<QRadioButton*>(QStringLiteral("RadioChannel%1").arg(channel));
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(item, Qt::LeftButton);
        ASSERT_EQ(F->Session().Channel(), channel);
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
    const char* Control;  // its object name
    const char* Name;
    QAccessible::Role Role;
};

const TNamedControl NamedControls[] = {
    {"ScrollBarVolume", "ボリューム", QAccessible::ScrollBar},
    {"ScrollBarMasterCoarseTune", "コース・チューン", QAccessible::ScrollBar},
    {"ScrollBarChannelPressure", "チャネルAT", QAccessible::ScrollBar},
    {"TrackBarPitchBend", "ピッチベンド", QAccessible::Slider},
    {"CheckPortamento", "ポルタメント", QAccessible::CheckBox},
    {"SpinEditProgram", "プログラム", QAccessible::SpinBox},
    {"SpinEditDeviceID", "GSデバイスＩＤ", QAccessible::SpinBox},
    {"SpinEditInterval", "送信間隔（ミリ秒）", QAccessible::SpinBox},
    {"SpinEditPacketSize", "大きさ（バイト）", QAccessible::SpinBox},
    {"MemoMidiIn", "MIDI入力", QAccessible::EditableText},
    {"MemoMidiOut", "MIDI出力", QAccessible::EditableText},
};

TEST_F(AccessibilityTest, ControlsCarryTheirCaptionsAsNames)
{
    for (const TNamedControl& c : NamedControls) {
        QWidget* control = F->Find<QWidget>(c.Control);
        EXPECT_EQ(Name(control), QString::fromUtf8(c.Name)) << control->objectName().toStdString();
        ASSERT_NE(Accessible(control), nullptr);
        EXPECT_EQ(Accessible(control)->role(), c.Role) << control->objectName().toStdString();
    }
}

TEST_F(AccessibilityTest, EveryControlAUserOperatesHasAName)
{
    QStringList nameless;
    for (QWidget* page : {F->Find<QWidget>("TabMain"), F->Find<QWidget>("TabDrum"), F->Find<QWidget>("TabBinary")}) {
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
    EXPECT_FALSE(F->Keyboard().Sounding(60));

    // The same bytes as the mouse, transposition included.
    F->Find<QScrollBar>("ScrollBarTranspose")->setValue(2);
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
    QTabBar* tabs = F->Find<QTabWidget>("PageMain")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    UseChannel(10);
    TDrumPad* pad = Pad(36);
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(Accessible(pad)->role(), QAccessible::Button);
    EXPECT_EQ(Name(pad), pad->text() + " (36)");
    EXPECT_FALSE(pad->text().isEmpty());
    Press(pad);
    EXPECT_EQ(F->Sent(), Wire({"99 24 78", "89 24 28"}));
    EXPECT_EQ(pad->BackColor(), F->Drums().DrumColors().Back);  // released again

    // The name follows the list shown.
    F->Find<QComboBox>("ComboDrumList")->setCurrentIndex(F->Find<QComboBox>("ComboDrumList")->count() - 1);
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
    const QList<QWidget*> order = {F->Find<TSpinEdit>("SpinEditProgram"), F->Find<QGroupBox>("RadioProgramRange")->findChild<QRadioButton*>("RadioProgramRange0"),
                                   F->Find<QGroupBox>("RadioProgramRange")->findChild<QRadioButton*>("RadioProgramRange1"),
                                   F->Find<QSlider>("TrackBarPitchBend"), F->Find<QScrollBar>("ScrollBarTranspose"), F->Find<QScrollBar>("ScrollBarOnVelocity")};
    for (int i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(NextByTab(order[i], &F->Main()), order[i + 1]) << order[i]->objectName().toStdString();
    EXPECT_EQ(NextByTab(F->Find<QScrollBar>("ScrollBarMasterCoarseTune"), &F->Main()), F->Find<QPushButton>("ButtonGmSystemOn"));
    // A click on a bar leaves the focus where it was.
    F->Find<QPushButton>("ButtonSendAll")->setFocus();
    QTest::mouseClick(F->Find<QScrollBar>("ScrollBarVolume"), Qt::LeftButton);
    EXPECT_EQ(F->Main().focusWidget(), F->Find<QPushButton>("ButtonSendAll"));
}

TEST_F(AccessibilityTest, TabMovesThroughTheBinaryPageInItsVisualOrder)
{
    QTabBar* tabs = F->Find<QTabWidget>("PageMain")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    const QList<QWidget*> order = {F->Find<TPortComboBox>("ComboMidiInDevice"), F->Find<QPushButton>("ButtonInClear"), F->Find<QPushButton>("ButtonInSaveBinary"),
                                   F->Find<QPushButton>("ButtonInSaveText"), F->Find<QPushButton>("ButtonBinaryFontSet"), F->Find<TSpinEdit>("SpinEditInterval"),
                                   F->Find<TSpinEdit>("SpinEditPacketSize")};
    for (int i = 0; i + 1 < order.size(); ++i) {
        EXPECT_EQ(NextByTab(order[i], &F->Main()), order[i + 1]) << order[i]->objectName().toStdString();
    }
}

} // namespace
