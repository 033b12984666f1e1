// Ports that come and go while the program runs: the output-port menu and the input list are
// read afresh each time they open, keep the port in use, and send to the port chosen.
#include "GuiTest.h"
#include "IniFile.h"
#include "MainWindow.h"
#include "PortStatus.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList Captions(QMenu* menu)
{
    QStringList captions;
    for (QAction* item : menu->actions())
        captions << item->text();
    return captions;
}

QStringList Checked(QMenu* menu)
{
    QStringList checked;
    for (QAction* item : menu->actions())
        if (item->isChecked())
            checked << item->text();
    return checked;
}

QStringList Entries(QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

// How the menu and the input list show a port in use whose device is not there.
QString Absent(const char* name)
{
    return QString::fromUtf8(name) + QString::fromUtf8("（見つかりません）");
}

QAction* ItemNamed(QMenu* menu, const QString& caption)
{
    for (QAction* item : menu->actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

TEST(Ports, APortThatAppearsLaterCanBeChosenAndPlayed)
{
    TKelvaneFixture f;
    QMenu* menu = f.Find<QMenu>("MenuOutDevice");
    f.Service().OutputNames.push_back("USB Keyboard");
    EXPECT_EQ(Captions(menu), (QStringList{"Kelvane MIDI Mapper", "Test Synth", "Test Port"}));  // not yet read

    f.ClearSent();
    emit menu->aboutToShow();
    EXPECT_EQ(Captions(menu), (QStringList{"Kelvane MIDI Mapper", "Test Synth", "Test Port", "USB Keyboard"}));
    EXPECT_EQ(Checked(menu), QStringList{"Test Synth"});
    EXPECT_EQ(f.Service().CountOf("OpenOutput"), 0u);  // reading does not reopen the port in use

    f.ClearSent();
    ItemNamed(menu, "USB Keyboard")->trigger();
    EXPECT_EQ(Checked(menu), QStringList{"USB Keyboard"});
    ASSERT_EQ(f.Service().CountOf("OpenOutput"), 1u);
    for (const TRecordedCall& call : f.Service().Calls) {
        if (call.Op == "OpenOutput") {
            EXPECT_EQ(call.Device, 2);
        }
    }
    f.ClearSent();
    f.Find<QScrollBar>("ScrollBarVolume")->setValue(90);
    EXPECT_EQ(f.Sent(), Wire({"B0 07 5A"}));

    f.CloseWindow();
    EXPECT_EQ(TIniFile::Load(f.SettingsPath()).ReadString("Midi", "OutDeviceName", ""), "USB Keyboard");
}

TEST(Ports, ThePortInUseKeepsItsCheckWhenOthersMove)
{
    TKelvaneFixture f;
    QMenu* menu = f.Find<QMenu>("MenuOutDevice");
    // A port appears before the one in use: the check follows the name, not the position.
    f.Service().OutputNames.insert(f.Service().OutputNames.begin(), "Early Port");
    emit menu->aboutToShow();
    EXPECT_EQ(Captions(menu), (QStringList{"Kelvane MIDI Mapper", "Early Port", "Test Synth", "Test Port"}));
    EXPECT_EQ(Checked(menu), QStringList{"Test Synth"});
}

TEST(Ports, AVanishedPortInUseStaysCheckedUntilAnotherIsChosen)
{
    TKelvaneFixture f;
    QMenu* menu = f.Find<QMenu>("MenuOutDevice");
    f.Service().OutputNames = {"Test Port"};
    emit menu->aboutToShow();
    EXPECT_EQ(Captions(menu), (QStringList{"Kelvane MIDI Mapper", "Test Port", Absent("Test Synth")}));
    EXPECT_EQ(Checked(menu), QStringList{Absent("Test Synth")});

    // Reading again keeps it once.
    emit menu->aboutToShow();
    EXPECT_EQ(Captions(menu), (QStringList{"Kelvane MIDI Mapper", "Test Port", Absent("Test Synth")}));

    ItemNamed(menu, "Test Port")->trigger();
    EXPECT_EQ(Checked(menu), QStringList{"Test Port"});
    emit menu->aboutToShow();
    EXPECT_EQ(Captions(menu), (QStringList{"Kelvane MIDI Mapper", "Test Port"}));
}

TEST(Ports, ChoosingAVanishedPortSaysItHasGone)
{
    TKelvaneFixture f;
    QMenu* menu = f.Find<QMenu>("MenuOutDevice");
    emit menu->aboutToShow();
    f.Service().OutputNames = {"Test Synth"};  // gone after the menu was read
    ItemNamed(menu, "Test Port")->trigger();
    EXPECT_EQ(f.Messages, QStringList{QString::fromUtf8("指定された出力ポートを開けませんでした\nTest Port はもうありません")});
    EXPECT_TRUE(Checked(menu).isEmpty());
}

// A port the user chose could not be opened: the pages stay, and a key played then says that no
// output port is open and where to choose one.
TEST(Ports, AKeyWithNoPortOpenSaysWhereToChooseOne)
{
    TKelvaneFixture f;
    f.Service().FailingOpens = {1};
    ItemNamed(f.Find<QMenu>("MenuOutDevice"), "Test Port")->trigger();
    ASSERT_FALSE(f.Session().Output().IsOpen());
    f.ClearSent();
    QTest::keyPress(QApplication::focusWidget() ? QApplication::focusWidget() : &f.Main(), Qt::Key_A);
    EXPECT_EQ(f.Errors, QStringList{QString::fromUtf8(
                            "MIDI出力ポートが開いていません。「出力ポート」メニューから，MIDI出力ポートを選択してください")});
    EXPECT_TRUE(f.Sent().empty());
}

TEST(Ports, TheInputListIsReadAfreshAndKeepsTheDeviceInUse)
{
    TFixtureOptions options;
    options.Settings = QStringLiteral("[Midi]\nOutDeviceName=Test Synth\nInDeviceName=Test Input\n");
    TKelvaneFixture f(options);
    QComboBox* combo = f.Find<TPortComboBox>("ComboMidiInDevice");
    ASSERT_EQ(combo->currentText(), "Test Input");
    ASSERT_TRUE(f.Service().InputOpen());

    f.Service().InputNames.insert(f.Service().InputNames.begin(), "Late Input");
    OpenInputList(combo);
    EXPECT_EQ(Entries(combo), (QStringList{QString::fromUtf8("MIDI入力なし"), "Late Input", "Test Input"}));
    EXPECT_EQ(combo->currentText(), "Test Input");
    EXPECT_TRUE(f.Service().InputOpen());  // reading the list leaves the monitor alone

    // Choosing the new device opens it by its new number.
    f.ClearSent();
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    ASSERT_TRUE(f.Service().InputOpen());
    int opened = -1;
    for (const TRecordedCall& call : f.Service().Calls)
        if (call.Op == "OpenInput")
            opened = call.Device;
    EXPECT_EQ(opened, 0);

    // It goes away while in use: still selected until another is chosen.
    f.Service().InputNames = {"Test Input"};
    OpenInputList(combo);
    EXPECT_EQ(Entries(combo), (QStringList{QString::fromUtf8("MIDI入力なし"), "Test Input", Absent("Late Input")}));
    EXPECT_EQ(combo->currentText(), Absent("Late Input"));
}

// The status line shows the ports in use beneath what it says, on every page: a port chosen, a
// port that failed to open, no input, a device that went and came back.
TEST(Ports, TheStatusLineShowsThePortsInUse)
{
    TFixtureOptions options;
    options.Settings = QStringLiteral("[Midi]\nOutDeviceName=Test Synth\nInDeviceName=Test Input\n");
    TKelvaneFixture f(options);
    TPortStatus& status = f.Main().PortStatus();
    auto shown = [&](const char* output, const char* input) {
        return QString::fromUtf8("出力：%1　　入力：%2").arg(QString::fromUtf8(output), QString::fromUtf8(input)).toStdString();
    };
    EXPECT_EQ(status.PortsShown().toStdString(), shown("Test Synth", "Test Input"));

    QMenu* menu = f.Find<QMenu>("MenuOutDevice");
    ItemNamed(menu, "Test Port")->trigger();
    EXPECT_EQ(status.PortsShown().toStdString(), shown("Test Port", "Test Input"));

    QComboBox* combo = f.Find<TPortComboBox>("ComboMidiInDevice");
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_EQ(status.PortsShown().toStdString(), shown("Test Port", "なし"));

    f.Service().Vanish("Test Port");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Session().Output().Absent(); }, 5000));
    EXPECT_EQ(status.PortsShown().toStdString(), shown("Test Port（見つかりません）", "なし"));
    EXPECT_EQ(status.Text().toStdString(), "出力ポート Test Port が見つかりません — 戻ると自動で再接続します");
    f.Service().Return("Test Port");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Session().Output().IsOpen(); }, 5000));
    EXPECT_EQ(status.PortsShown().toStdString(), shown("Test Port", "なし"));

    // A port that fails to open: the line says so by the time the box is up.
    f.Service().FailingOpens = {0};
    emit menu->aboutToShow();
    ItemNamed(menu, "Test Synth")->trigger();
    ASSERT_FALSE(f.Session().Output().IsOpen());
    EXPECT_EQ(status.PortsShown().toStdString(), shown("なし", "なし"));
}

// However long a port's name, the window keeps the width it may be made; the line shows what
// fits and ends in "…", and its hint and accessible name give the whole text.
TEST(Ports, ALongPortNameDoesNotWidenTheWindow)
{
    TKelvaneFixture f;
    const int narrowest = f.Main().minimumSizeHint().width();
    const std::string name = "USB MIDI Interface " + std::string(300, 'x');
    f.Service().OutputNames.push_back(name);
    QMenu* menu = f.Find<QMenu>("MenuOutDevice");
    emit menu->aboutToShow();
    ItemNamed(menu, QString::fromStdString(name))->trigger();
    ASSERT_TRUE(f.Session().Output().IsOpen());

    EXPECT_EQ(f.Main().minimumSizeHint().width(), narrowest);
    const auto* line = f.Find<TElidedLabel>("LabelPorts");
    const QString whole = f.Main().PortStatus().PortsShown();
    EXPECT_TRUE(whole.contains(QString::fromStdString(name)));
    EXPECT_TRUE(line->ShownText().endsWith(QChar(0x2026))) << line->ShownText().toStdString();
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->ShownText()), line->contentsRect().width());
    EXPECT_EQ(line->toolTip(), whole);
    EXPECT_EQ(line->accessibleName(), whole);
}

} // namespace
