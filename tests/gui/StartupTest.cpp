// Start-up, the output-port menu, the function menu and closing, through the real window.
#include "KelvaneFixture.h"
#include "IniFile.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString ChoosePort = QString::fromUtf8("「出力ポート」メニューから，MIDI出力ポートを選択してください");

TEST(Startup, SavedPortOpensAndIsChecked)
{
    TKelvaneFixture f;
    ASSERT_TRUE(f.Session().Output().IsOpen());
    const auto items = f.Find<QMenu>("MenuOutDevice")->actions();
    ASSERT_EQ(items.size(), 3);  // the mapper, then the two devices
    EXPECT_EQ(items[0]->text(), "Kelvane MIDI Mapper");
    EXPECT_EQ(items[1]->text(), "Test Synth");
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_TRUE(f.Find<QTabWidget>("PageMain")->isVisibleTo(&f.Main()));
    EXPECT_TRUE(f.Messages.isEmpty()) << f.Messages.join("|").toStdString();
    EXPECT_TRUE(f.Sent().empty());  // restoring the values sent nothing
}

TEST(Startup, PagesAndCaptions)
{
    TKelvaneFixture f;
    ASSERT_EQ(f.Find<QTabWidget>("PageMain")->count(), 3);
    EXPECT_EQ(f.Find<QTabWidget>("PageMain")->tabText(0), QString::fromUtf8("メイン(&Z)\u3000"));
    EXPECT_EQ(f.Find<QTabWidget>("PageMain")->tabText(1), QString::fromUtf8("ドラム(&X)\u3000"));
    EXPECT_EQ(f.Find<QTabWidget>("PageMain")->tabText(2), QString::fromUtf8("バイナリ(&C)\u3000"));
    EXPECT_EQ(f.Find<QTabWidget>("PageMain")->currentIndex(), 0);
    EXPECT_EQ(f.Main().windowTitle(), "Kelvane");
    EXPECT_EQ(f.Find<QMenu>("MenuFile")->title(), QString::fromUtf8("機能(&N)"));
    EXPECT_EQ(f.Find<QMenu>("MenuOutDevice")->title(), QString::fromUtf8("出力ポート(&M)"));
    EXPECT_EQ(QFileInfo(f.SettingsPath()), QFileInfo(f.Folder() + "kelvane.ini"));
}

TEST(Startup, NoOutputDeviceShowsTheMessageAndEndsWithoutWriting)
{
    TFixtureOptions options;
    options.Outputs.clear();
    options.OpenPort = false;
    TKelvaneFixture f(options);
    EXPECT_TRUE(f.Main().EndRequested());
    EXPECT_EQ(f.Messages, QStringList{QString::fromUtf8("MIDI出力ポートを発見できません。プログラムを終了します")});
    EXPECT_FALSE(f.Windows.ProgramList);
    f.Windows = TKelvaneWindows();  // the program ends here: nothing closes the window
    EXPECT_FALSE(QFile::exists(f.Folder() + "kelvane.ini"));
}

// The main window is the dialogs' only owner: they go with it, each once, and a new start
// makes new ones.
TEST(Startup, TheDialogsGoWithTheMainWindow)
{
    TKelvaneFixture f;
    const QPointer<TProgramListDialog> programList = f.Windows.ProgramList;
    const QPointer<TDrumColorDialog> drumColor = f.Windows.DrumColor;
    ASSERT_TRUE(programList && drumColor);
    EXPECT_EQ(programList->parent(), &f.Main());
    EXPECT_EQ(drumColor->parent(), &f.Main());

    f.Windows = CreateKelvaneWindows({}, f.ProgramPath());
    EXPECT_TRUE(programList.isNull());
    EXPECT_TRUE(drumColor.isNull());
    ASSERT_TRUE(f.Windows.ProgramList && f.Windows.DrumColor);
    EXPECT_EQ(f.Windows.ProgramList->parent(), &f.Main());

    f.Windows.Main.reset();
    EXPECT_TRUE(f.Windows.ProgramList.isNull());
    EXPECT_TRUE(f.Windows.DrumColor.isNull());
}

TEST(Startup, WithoutASavedPortThePagesWaitForAChoice)
{
    TFixtureOptions options;
    options.OpenPort = false;
    TKelvaneFixture f(options);
    EXPECT_EQ(f.Messages, QStringList{ChoosePort});
    EXPECT_FALSE(f.Find<QTabWidget>("PageMain")->isVisibleTo(&f.Main()));
    for (QAction* item : f.Find<QMenu>("MenuOutDevice")->actions())
        EXPECT_FALSE(item->isChecked());

    f.Find<QMenu>("MenuOutDevice")->actions()[2]->trigger();
    EXPECT_TRUE(f.Session().Output().IsOpen());
    EXPECT_EQ(f.Session().Output().DeviceID(), 1);
    EXPECT_TRUE(f.Find<QMenu>("MenuOutDevice")->actions()[2]->isChecked());
    EXPECT_TRUE(f.Find<QTabWidget>("PageMain")->isVisibleTo(&f.Main()));
    EXPECT_EQ(f.Find<QLabel>("LabelVolumeValue")->palette().color(QPalette::Window), QColor(0, 255, 255));
}

TEST(Startup, SavedPortThatFailsToOpenStaysCheckedAndAnotherCanBeChosen)
{
    TFixtureOptions options;
    options.OutDeviceName = "Test Port";
    options.FailingOpens = {1};
    TKelvaneFixture f(options);
    EXPECT_EQ(f.Messages, QStringList{ChoosePort});
    QAction* saved = f.Find<QMenu>("MenuOutDevice")->actions()[2];
    EXPECT_TRUE(saved->isChecked());
    EXPECT_FALSE(f.Session().Output().IsOpen());
    EXPECT_FALSE(f.Find<QTabWidget>("PageMain")->isVisibleTo(&f.Main()));

    saved->trigger();  // already checked: nothing happens
    EXPECT_TRUE(saved->isChecked());
    EXPECT_EQ(f.Messages.size(), 1);

    f.Find<QMenu>("MenuOutDevice")->actions()[0]->trigger();
    EXPECT_TRUE(f.Session().Output().IsOpen());
    EXPECT_FALSE(saved->isChecked());
    EXPECT_TRUE(f.Find<QMenu>("MenuOutDevice")->actions()[0]->isChecked());
    EXPECT_TRUE(f.Find<QTabWidget>("PageMain")->isVisibleTo(&f.Main()));
}

TEST(Startup, ChoosingThePortInUseDoesNotReopenIt)
{
    TKelvaneFixture f;
    f.ClearSent();
    f.Find<QMenu>("MenuOutDevice")->actions()[1]->trigger();
    EXPECT_EQ(f.Service().CountOf("CloseOutput"), 0u);
    EXPECT_EQ(f.Service().CountOf("OpenOutput"), 0u);
    EXPECT_TRUE(f.Find<QMenu>("MenuOutDevice")->actions()[1]->isChecked());
}

TEST(Startup, PortThatFailsWhenChosenLeavesNothingChecked)
{
    TKelvaneFixture f;
    f.Service().FailingOpens = {1};
    f.Find<QMenu>("MenuOutDevice")->actions()[2]->trigger();
    // The second line says why, in Japanese: the service's busy device.
    EXPECT_EQ(f.Messages, QStringList{QString::fromUtf8("指定された出力ポートを開けませんでした\nTest Port は他のプログラムが使用中です")});
    for (QAction* item : f.Find<QMenu>("MenuOutDevice")->actions())
        EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(f.Session().Output().IsOpen());
    EXPECT_TRUE(f.Find<QTabWidget>("PageMain")->isVisibleTo(&f.Main()));  // the pages stay as they were
}

TEST(Startup, ArgumentNamesTheSettingsFileAndTheTitle)
{
    TFixtureOptions options;
    options.Arguments = {"studio.ini"};
    options.Settings = "[Midi]\nChannel=5\n";
    TKelvaneFixture f(options);
    EXPECT_EQ(f.Main().windowTitle(), "Kelvane - studio.ini");
    EXPECT_EQ(f.Session().ApplicationTitle(), "studio");
    EXPECT_EQ(QFileInfo(f.SettingsPath()), QFileInfo(f.Folder() + "studio.ini"));
    EXPECT_EQ(f.Session().Channel(), 5);  // read from the named file, not from the current folder's
}

TEST(Startup, VersionBoxHasItsTwoFixedLines)
{
    TKelvaneFixture f;
    f.Find<QAction>("MenuFileVersion")->trigger();
    ASSERT_EQ(f.Messages.size(), 1);
    const QStringList lines = f.Messages[0].split('\n');
    EXPECT_EQ(lines[0], QString::fromUtf8("Kelvane（ケルヴェイン）"));
    EXPECT_EQ(lines[1], QString::fromUtf8("Ver.0.18（2000/03/04）"));
    EXPECT_EQ(lines[2], "");
}

TEST(Startup, HintMenuSwitchesTheHints)
{
    TKelvaneFixture f;
    EXPECT_TRUE(f.Find<QAction>("MenuFileHint")->isChecked());
    EXPECT_TRUE(HintsShown());
    f.Find<QAction>("MenuFileHint")->trigger();
    EXPECT_FALSE(f.Find<QAction>("MenuFileHint")->isChecked());
    EXPECT_FALSE(HintsShown());
    f.Find<QAction>("MenuFileHint")->trigger();
    EXPECT_TRUE(HintsShown());
    EXPECT_EQ(f.Find<QPushButton>("ButtonSendAll")->toolTip(), QString::fromUtf8("すべてのコントロール・パラメータとプログラム・チェンジを送信します"));
}

TEST(Startup, BinaryPageMemosShareTheWidth)
{
    TKelvaneFixture f;
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    f.Find<QTabWidget>("PageMain")->setCurrentIndex(2);
    QApplication::processEvents();
    // An odd width: (691 - 30) / 2 rounds toward zero.
    f.Main().resize(f.Main().width() + 691 - f.Find<QWidget>("PanelBinary")->width(), f.Main().height());
    QApplication::processEvents();
    ASSERT_EQ(f.Find<QWidget>("PanelBinary")->width(), 691);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->width(), 330);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiOut")->width(), 330);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiOut")->x(), 349);
    EXPECT_EQ(f.Find<QLabel>("LabelMidiOut")->x(), 349);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->height(), f.Find<QWidget>("PanelBinary")->height() - f.Find<QPlainTextEdit>("MemoMidiIn")->y() - 5);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->y(), f.Find<QLabel>("LabelMidiIn")->height() + 10);
}

TEST(Startup, ExitClosesBothPortsAndWritesTheSettings)
{
    TFixtureOptions options;
    options.Settings = QStringLiteral("[Midi]\nOutDeviceName=Test Synth\nInDeviceName=Test Input\n");
    TKelvaneFixture f(options);
    ASSERT_TRUE(f.Session().Output().IsOpen());
    ASSERT_TRUE(f.Session().Input().IsOpen());
    ASSERT_TRUE(f.Service().InputOpen());
    f.ClearSent();
    f.Find<QAction>("MenuFileExit")->trigger();
    EXPECT_FALSE(f.Session().Output().IsOpen());
    EXPECT_FALSE(f.Session().Input().IsOpen());
    // Closed at the service too, each once, by the Exit.
    EXPECT_FALSE(f.Service().InputOpen());
    EXPECT_EQ(f.Service().CountOf("CloseInput"), 1u);
    EXPECT_EQ(f.Service().CountOf("CloseOutput"), 1u);
    const TIniFile written = TIniFile::Load(f.SettingsPath());
    EXPECT_EQ(written.ReadString("Midi", "OutDeviceName", ""), "Test Synth");
    EXPECT_EQ(written.ReadString("Midi", "InDeviceName", ""), "Test Input");
}

// An installed program finds its name lists in ../share/kelvane; its settings go to the user's
// configuration folder even when its own folder can be written (as root can /usr/local/bin).
TEST(Startup, InstalledProgramKeepsItsSettingsInTheConfigurationFolder)
{
    TKelvaneFixture f;
    QTemporaryDir prefix;
    QTemporaryDir config;
    ASSERT_TRUE(QDir().mkpath(prefix.path() + "/bin") && QDir().mkpath(prefix.path() + "/share/kelvane"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KELVANE_SOURCE_DIR "/data/note.ini"), prefix.path() + "/share/kelvane/note.ini"));
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    f.Windows = CreateKelvaneWindows({}, prefix.path() + "/bin/kelvane");
    f.CloseWindow();
    qputenv("XDG_CONFIG_HOME", savedConfig);
    EXPECT_EQ(f.SettingsPath(), config.path() + "/kelvane/kelvane.ini");
    EXPECT_TRUE(QFileInfo::exists(config.path() + "/kelvane/kelvane.ini"));
    EXPECT_FALSE(QFileInfo::exists(prefix.path() + "/bin/kelvane.ini"));
    // The name lists are the installed ones.
    EXPECT_GT(f.Find<QComboBox>("ComboDrumList")->count(), 1);
}

} // namespace
