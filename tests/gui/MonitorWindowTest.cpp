// The MIDI monitor window as a user works it: opened from the menu, its filters, pause and clear
// over messages the input port received, its exports, its settings, what a screen reader gets,
// and its English face.
#include "GuiTest.h"
#include "IniFile.h"
#include "Language.h"
#include "MidiMonitorWindow.h"
#include "ProgramListDialog.h"
#include "StandardMidiFile.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

TFixtureOptions WithInput(const QString& more = QString())
{
    TFixtureOptions options;
    options.Settings = "[Midi]\nOutDeviceName=Test Synth\nInDeviceName=Test Input\n" + more;
    return options;
}

// A message of each kind the filters tell apart, on channels 1 and 2.
const std::vector<TBytes> Mixed{
    {0x90, 0x3C, 0x64},                          // note on, channel 1
    {0xB1, 0x07, 0x64},                          // volume, channel 2
    {0xC0, 0x05},                                // program change, channel 1
    {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7},        // GM system on
    {0xE1, 0x00, 0x40},                          // pitch bend, channel 2
    {0x80, 0x3C, 0x40},                          // note off, channel 1
};

TMidiMonitorWindow& OpenMonitor(TKelvaneFixture& f)
{
    f.Find<QAction>("MenuFileMonitor")->trigger();
    TMidiMonitorWindow& window = f.Main().MonitorWindow();
    EXPECT_TRUE(window.isVisible());
    return window;
}

void Inject(TKelvaneFixture& f, const std::vector<TBytes>& messages)
{
    for (const TBytes& message : messages)
        f.Service().Inject(message);
    SettleEvents();
}

// The bytes column of every row the table shows.
QStringList ShownBytes(TMidiMonitorWindow& window)
{
    const QAbstractItemModel* model = window.Table().model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, TMonitorTableModel::BytesColumn).data().toString();
    return rows;
}

template <class T>
T* Control(TMidiMonitorWindow& window, const char* name)
{
    return ::Find<T>(window, QString::fromLatin1(name));
}

}  // namespace

TEST(MonitorWindow, OpensFromTheMenuBesideTheMainWindowAndShowsWhatCameBefore)
{
    TKelvaneFixture f(WithInput());
    f.Main().show();
    QAction* item = f.Find<QAction>("MenuFileMonitor");
    EXPECT_EQ(item->text(), QStringLiteral("MIDIモニター"));
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    Inject(f, Mixed);  // before the window is opened: the record has them

    TMidiMonitorWindow& window = OpenMonitor(f);
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(ShownBytes(window),
              (QStringList{"90 3c 64", "b1 07 64", "c0 05", "f0 7e 7f 09 01 f7", "e1 00 40", "80 3c 40"}));
    EXPECT_TRUE(f.Main().isVisible()) << "the main window stays usable";
    EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join('|').toStdString();
}

// --- filters

struct TFilterCase {
    const char* Name;
    std::function<void(TMidiMonitorWindow&)> Act;
    QStringList Shown;
};

void PrintTo(const TFilterCase& c, std::ostream* out)
{
    *out << c.Name;
}

class MonitorFilter : public ::testing::TestWithParam<TFilterCase> {};

TEST_P(MonitorFilter, ChangesTheRowsShownNeverTheRecord)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Inject(f, Mixed);
    GetParam().Act(window);
    SettleEvents();
    EXPECT_EQ(ShownBytes(window), GetParam().Shown);
    EXPECT_EQ(f.Session().Log().Record().Count(), Mixed.size());

    // New messages pass the same filter as they arrive.
    Inject(f, Mixed);
    EXPECT_EQ(ShownBytes(window), GetParam().Shown + GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MonitorFilter,
    ::testing::Values(
        TFilterCase{"NotesOff", [](TMidiMonitorWindow& w) { Click(Control<QCheckBox>(w, "MonitorGroup0")); },
                    {"b1 07 64", "c0 05", "f0 7e 7f 09 01 f7", "e1 00 40"}},
        TFilterCase{"SystemExclusiveAndPitchBendOff",
                    [](TMidiMonitorWindow& w) {
                        Click(Control<QCheckBox>(w, "MonitorGroup5"));
                        Click(Control<QCheckBox>(w, "MonitorGroup4"));
                    },
                    {"90 3c 64", "b1 07 64", "c0 05", "80 3c 40"}},
        // System exclusive has no channel: it stays whatever the channels.
        TFilterCase{"ChannelOneOff", [](TMidiMonitorWindow& w) { Control<QAction>(w, "MonitorChannel1")->trigger(); },
                    {"b1 07 64", "f0 7e 7f 09 01 f7", "e1 00 40"}},
        TFilterCase{"ChannelTwoOffThenAllAgain",
                    [](TMidiMonitorWindow& w) {
                        Control<QAction>(w, "MonitorChannel2")->trigger();
                        Control<QAction>(w, "MonitorChannelAll")->trigger();
                    },
                    {"90 3c 64", "b1 07 64", "c0 05", "f0 7e 7f 09 01 f7", "e1 00 40", "80 3c 40"}},
        TFilterCase{"TextInTheMeaning",
                    [](TMidiMonitorWindow& w) { Control<QLineEdit>(w, "MonitorTextFilter")->insert("ボリューム"); },
                    {"b1 07 64"}},
        TFilterCase{"TextOfASysexMaker",
                    [](TMidiMonitorWindow& w) { QTest::keyClicks(Control<QLineEdit>(w, "MonitorTextFilter"), "gm"); },
                    {"f0 7e 7f 09 01 f7"}},
        TFilterCase{"IncomingOff", [](TMidiMonitorWindow& w) { Click(Control<QCheckBox>(w, "MonitorIncoming")); }, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MonitorWindow, ShowsSentMessagesBesideReceivedOnesWhenAskedAndFiltersThemByDirection)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Click(Control<QCheckBox>(window, "MonitorRecordSent"));
    ASSERT_TRUE(f.Session().Log().RecordsSent());
    Inject(f, {{0x90, 0x3C, 0x64}});
    f.Session().Send(TShortMessage{0xB0, 0x07, 0x50});
    SettleEvents();
    const QAbstractItemModel* model = window.Table().model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(0, TMonitorTableModel::DirectionColumn).data().toString(), QStringLiteral("入力"));
    EXPECT_EQ(model->index(1, TMonitorTableModel::DirectionColumn).data().toString(), QStringLiteral("出力"));

    Click(Control<QCheckBox>(window, "MonitorIncoming"));
    EXPECT_EQ(ShownBytes(window), QStringList{"b0 07 50"});
    Click(Control<QCheckBox>(window, "MonitorIncoming"));
    Click(Control<QCheckBox>(window, "MonitorOutgoing"));
    EXPECT_EQ(ShownBytes(window), QStringList{"90 3c 64"});
}

// --- pause and clear

TEST(MonitorWindow, PauseFreezesTheTableCountsWhatWaitsAndShowsItAfter)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Inject(f, {{0x90, 0x3C, 0x64}});
    auto* pause = Control<QPushButton>(window, "MonitorPause");
    auto* waiting = Control<QLabel>(window, "MonitorWaiting");
    Click(pause);
    Inject(f, {{0x90, 0x3E, 0x64}, {0x90, 0x40, 0x64}, {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}});
    EXPECT_EQ(ShownBytes(window), QStringList{"90 3c 64"});
    EXPECT_EQ(waiting->text(), QStringLiteral("一時停止中：3件が表示を待っています"));
    EXPECT_EQ(f.Session().Log().Record().Count(), 4u) << "the record goes on";
    // A filter change while paused keeps the table still, and counts by the new filter.
    Click(Control<QCheckBox>(window, "MonitorGroup5"));
    EXPECT_EQ(ShownBytes(window), QStringList{"90 3c 64"});
    EXPECT_EQ(waiting->text(), QStringLiteral("一時停止中：2件が表示を待っています"));

    Click(pause);
    EXPECT_EQ(ShownBytes(window), (QStringList{"90 3c 64", "90 3e 64", "90 40 64"}));
    EXPECT_EQ(waiting->text(), QString());
}

TEST(MonitorWindow, ClearEmptiesTheRecordTheTableAndTheBinaryPagesMemoTogether)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Inject(f, Mixed);
    ASSERT_FALSE(f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText().isEmpty());
    Click(Control<QPushButton>(window, "MonitorClear"));
    EXPECT_EQ(window.Table().model()->rowCount(), 0);
    EXPECT_EQ(f.Session().Log().Record().Count(), 0u);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText(), QString());
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力"));
    EXPECT_TRUE(f.Monitor().ReceivedBytes().isEmpty());

    // Both go on from the clear; the Binary page's clear empties the table as well.
    Inject(f, {{0x90, 0x3C, 0x64}});
    EXPECT_EQ(ShownBytes(window), QStringList{"90 3c 64"});
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText(), QStringLiteral("90 3c 64"));
    Click(f.Find<QPushButton>("ButtonInClear"));
    SettleEvents();
    EXPECT_EQ(window.Table().model()->rowCount(), 0);
}

// --- exports

TEST(MonitorWindow, ExportsTheShownRowsAsTextAndTheWholeRecordAsAMidiFile)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Inject(f, Mixed);
    Click(Control<QCheckBox>(window, "MonitorGroup0"));  // notes off: four rows shown

    QTemporaryDir dir;
    QStringList answers{dir.path() + "/shown.txt", dir.path() + "/all.mid"};
    std::vector<TFileDialogRequest> requests;
    DialogHooks().File = [&](const TFileDialogRequest& request) {
        requests.push_back(request);
        return answers.takeFirst();
    };
    Click(Control<QPushButton>(window, "MonitorExportText"));
    Click(Control<QPushButton>(window, "MonitorExportMidi"));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].DefaultSuffix, "txt");
    EXPECT_EQ(requests[1].DefaultSuffix, "mid");

    const QStringList lines = QString::fromUtf8(ReadFile(dir.path() + "/shown.txt")).split("\r\n");
    ASSERT_EQ(lines.size(), 5) << lines.join('|').toStdString();
    EXPECT_EQ(lines.last(), "");
    const QStringList expected{"b1 07 64", "c0 05", "f0 7e 7f 09 01 f7", "e1 00 40"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(lines[i].endsWith("\t" + expected[i])) << lines[i].toStdString();
        EXPECT_TRUE(lines[i].contains(QStringLiteral("入力"))) << lines[i].toStdString();
    }

    // The MIDI file holds the notes the table hides too: it is the record's.
    const QByteArray file = ReadFile(dir.path() + "/all.mid");
    EXPECT_EQ(file, StandardMidiFile(f.Session().Log().Record()));
    EXPECT_TRUE(file.contains(QByteArray("\x90\x3C\x64", 3)));
    EXPECT_TRUE(file.contains(QByteArray("\x80\x3C\x40", 3)));
    EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join('|').toStdString();
}

TEST(MonitorWindow, AnExportThatCannotBeWrittenSaysWhy)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Inject(f, Mixed);
    DialogHooks().File = [&](const TFileDialogRequest&) { return f.Folder() + "no such folder/x.mid"; };
    Click(Control<QPushButton>(window, "MonitorExportMidi"));
    ASSERT_EQ(f.Errors.size(), 1);
    EXPECT_TRUE(f.Errors.first().contains("x.mid")) << f.Errors.first().toStdString();
}

// --- settings

TEST(MonitorWindow, KeepsItsPlaceColumnsAndChoicesInItsOwnSectionBesideForeignLines)
{
    QString saved;
    {
        TKelvaneFixture f(WithInput("[MidiMonitor]\nSomeoneElses=kept\nTop=40\nLeft=30\nWidth=700\nHeight=400\n"
                                    "ColumnOrder=0,1,2,3,4,6,5\nColumnWidths=100,60,50,40,120,250,180\n"
                                    "RecordSent=1\nWallClock=1\n"));
        TMidiMonitorWindow& window = f.Main().MonitorWindow();
        EXPECT_EQ(window.size(), QSize(700, 400));
        EXPECT_TRUE(f.Session().Log().RecordsSent());
        EXPECT_TRUE(Control<QCheckBox>(window, "MonitorRecordSent")->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(window, "MonitorWallClock")->isChecked());
        EXPECT_EQ(window.Model().TimeFormat(), TMonitorTableModel::TTimeFormat::WallClock);
        QHeaderView* header = window.Table().horizontalHeader();
        EXPECT_EQ(header->logicalIndex(5), TMonitorTableModel::BytesColumn);
        EXPECT_EQ(header->sectionSize(TMonitorTableModel::TimeColumn), 100);

        OpenMonitor(f);
        window.resize(600, 380);
        header->moveSection(header->visualIndex(TMonitorTableModel::DirectionColumn), 0);
        header->resizeSection(TMonitorTableModel::GapColumn, 77);
        Click(Control<QCheckBox>(window, "MonitorRecordSent"));
        f.CloseWindow();
        EXPECT_FALSE(window.isVisible()) << "it closes with the main window";
        saved = f.SettingsPath();
        const TIniFile ini = TIniFile::Load(saved);
        EXPECT_EQ(ini.ReadString("MidiMonitor", "SomeoneElses", ""), "kept");
        EXPECT_EQ(ini.ReadInteger("MidiMonitor", "Width", 0), 600);
        EXPECT_EQ(ini.ReadInteger("MidiMonitor", "Height", 0), 380);
        EXPECT_EQ(ini.ReadString("MidiMonitor", "ColumnOrder", ""), "2,0,1,3,4,6,5");
        EXPECT_EQ(ini.ReadString("MidiMonitor", "ColumnWidths", "").section(',', 1, 1), "77");
        EXPECT_FALSE(ini.ReadBool("MidiMonitor", "RecordSent", true));
        EXPECT_TRUE(ini.ReadBool("MidiMonitor", "WallClock", false));
    }
}

// --- accessibility

TEST(MonitorWindow, EveryControlHasANameAndTheTableReadsCellByCell)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Inject(f, Mixed);

    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window) || control->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(face, nullptr);
        if (face->role() == QAccessible::ScrollBar)
            continue;
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty())
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&window.Table());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(table->text(QAccessible::Name), QStringLiteral("MIDIメッセージの一覧"));
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), int(Mixed.size()));
    EXPECT_EQ(cells->columnCount(), int(TMonitorTableModel::ColumnCount));
    QAccessibleInterface* meaning = cells->cellAt(1, TMonitorTableModel::MeaningColumn);
    ASSERT_NE(meaning, nullptr);
    EXPECT_TRUE(meaning->text(QAccessible::Name).contains(QStringLiteral("ボリューム")))
        << meaning->text(QAccessible::Name).toStdString();
    QAccessibleInterface* column = cells->cellAt(0, TMonitorTableModel::DirectionColumn);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->text(QAccessible::Name), QStringLiteral("入力"));
}

// --- English

class MonitorWindowEnglish : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseLanguage(TLanguage::English)); }
    void TearDown() override { UseLanguage(TLanguage::Japanese); }
};

TEST_F(MonitorWindowEnglish, SpeaksEnglishInTheMenuTheWindowAndTheTable)
{
    TKelvaneFixture f(WithInput());
    EXPECT_EQ(f.Find<QAction>("MenuFileMonitor")->text(), QStringLiteral("MIDI Monitor"));
    TMidiMonitorWindow& window = OpenMonitor(f);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("MIDI Monitor"));
    EXPECT_EQ(Control<QPushButton>(window, "MonitorPause")->text().remove('&'), QStringLiteral("Pause"));
    Inject(f, {{0xB1, 0x07, 0x64}});
    const QAbstractItemModel* model = window.Table().model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, TMonitorTableModel::DirectionColumn).data().toString(), QStringLiteral("In"));
    EXPECT_TRUE(model->index(0, TMonitorTableModel::MeaningColumn).data().toString().contains("Volume"));
}

TEST(MonitorWindow, NamesProgramsFromTheProgramListCountedAsThePanelCountsThem)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Inject(f, {{0xC0, 0x05}});
    const QAbstractItemModel* model = window.Table().model();
    ASSERT_EQ(model->rowCount(), 1);
    const auto meaning = [&] { return model->index(0, TMonitorTableModel::MeaningColumn).data().toString(); };
    Click(f.Find<QRadioButton>("RadioProgramRange0"));
    EXPECT_EQ(meaning(), QStringLiteral("5 エレクトリック・ピアノ2"));
    Click(f.Find<QRadioButton>("RadioProgramRange1"));
    EXPECT_EQ(meaning(), QStringLiteral("6 エレクトリック・ピアノ2"));
}

// Another list chosen in the program dialog names the programs from then on, also those already
// shown.
TEST(MonitorWindow, FollowsTheListChosenInTheProgramDialog)
{
    TKelvaneFixture f(WithInput());
    TMidiMonitorWindow& window = OpenMonitor(f);
    Inject(f, {{0xC0, 0x05}});
    const QAbstractItemModel* model = window.Table().model();
    ASSERT_EQ(model->rowCount(), 1);
    const auto meaning = [&] { return model->index(0, TMonitorTableModel::MeaningColumn).data().toString().toStdString(); };
    ASSERT_EQ(meaning(), "6 エレクトリック・ピアノ2");

    auto* lists = ::Find<QComboBox>(*f.Windows.ProgramList, "ComboProgramList");
    lists->setCurrentIndex(lists->findText(QStringLiteral("GM (English)")));
    EXPECT_EQ(meaning(), "6 Electric Piano 2");
}
