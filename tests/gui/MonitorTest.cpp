// The input monitor of the Binary page through the real window: the recording backend plays the
// input device, and the buttons and the device list are used as a person would.
#include "IniFile.h"
#include "GuiTest.h"
#include "platform/DeviceChanges.h"
#include "platform/InputReception.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

// Readable failures: QString as text.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using TBytes = std::vector<uint8_t>;

const QString NoInput = QStringLiteral("MIDI入力なし");
const QString Overflow = QStringLiteral("MIDIイン・オーバーフロー");

TFixtureOptions WithInput(const QString& inDeviceName = QStringLiteral("Test Input"),
                          std::vector<std::string> inputs = {"Test Input"})
{
    TFixtureOptions options;
    options.Settings = "[Midi]\nOutDeviceName=Test Synth\nInDeviceName=" + inDeviceName + "\n";
    options.Inputs = std::move(inputs);
    return options;
}

// Lets the window handle what the input posted: the notifications, the memo's catching up, the
// notifications of buffers lent again and of what the service kept waiting for room, until
// passes find nothing more to do.
void Settle()
{
    QEventLoop loop;
    for (int pass = 0, quiet = 0; pass < 100000 && quiet < 3; ++pass)
        quiet = loop.processEvents() ? 0 : quiet + 1;
}

QByteArray AsByteArray(const TBytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QString MemoText(TKelvaneFixture& f)
{
    return f.Find<QPlainTextEdit>("MemoMidiIn")->toPlainText();
}

// Lines as the user sees and saves them (a paragraph of the memo may hold several).
qsizetype MemoLines(TKelvaneFixture& f)
{
    const QString text = MemoText(f);
    return text.isEmpty() ? 0 : text.count('\n') + 1;
}

bool ButtonsEnabled(TKelvaneFixture& f)
{
    const bool clear = f.Find<QPushButton>("ButtonInClear")->isEnabled();
    EXPECT_EQ(f.Find<QPushButton>("ButtonInSaveBinary")->isEnabled(), clear);
    EXPECT_EQ(f.Find<QPushButton>("ButtonInSaveText")->isEnabled(), clear);
    return clear;
}

std::vector<int> InputOpens(TKelvaneFixture& f)
{
    std::vector<int> devices;
    for (const auto& call : f.Service().Calls)
        if (call.Op == "OpenInput")
            devices.push_back(call.Device);
    return devices;
}

}  // namespace

// --- what is shown

struct TShowCase {
    const char* Name;
    std::vector<TBytes> Wire;
    QString Lines;  // the memo's text (lines apart by LF, as the memo keeps them)
    TBytes Received;
};

class MonitorShows : public ::testing::TestWithParam<TShowCase> {};

TEST_P(MonitorShows, OneLinePerMessageAndTheByteCount)
{
    TKelvaneFixture f(WithInput());
    ASSERT_TRUE(f.Session().Input().IsOpen());
    EXPECT_FALSE(ButtonsEnabled(f));
    for (const TBytes& message : GetParam().Wire)
        f.Service().Inject(message);
    Settle();
    EXPECT_EQ(MemoText(f), GetParam().Lines);
    EXPECT_EQ(f.Monitor().ReceivedBytes().toHex(' '), AsByteArray(GetParam().Received).toHex(' '));
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(),
              QStringLiteral("MIDI入力（%1バイト）").arg(GetParam().Received.size()));
    EXPECT_TRUE(ButtonsEnabled(f));
    EXPECT_TRUE(f.Messages.isEmpty()) << f.Messages.join('|').toStdString();
    EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join('|').toStdString();
}

TBytes Sysex10000()
{
    TBytes bytes(10000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i % 100);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

// Three lines: 4096, 4096 and 1808 bytes, every pair followed by a blank.
QString Sysex10000Lines()
{
    const TBytes bytes = Sysex10000();
    QStringList lines;
    for (size_t start = 0; start < bytes.size(); start += 4096) {
        QString line;
        for (size_t i = start; i < std::min(bytes.size(), start + 4096); ++i)
            line += QStringLiteral("%1 ").arg(bytes[i], 2, 16, QLatin1Char('0'));
        lines << line;
    }
    return lines.join('\n');
}

INSTANTIATE_TEST_SUITE_P(
    Table, MonitorShows,
    ::testing::Values(
        TShowCase{"NoteOnAndOff", {{0x90, 0x3C, 0x7F}, {0x80, 0x3C, 0x00}}, "90 3c 7f\n80 3c 00",
                  {0x90, 0x3C, 0x7F, 0x80, 0x3C, 0x00}},
        TShowCase{"Sysex", {{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}, "f0 7e 7f 09 01 f7 ",
                  {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        TShowCase{"ShortMessagesAlwaysThreeBytes",
                  {{0xC0, 0x05}, {0xFA}, {0xF8}, {0xFE}, {0xB0, 0x07, 0x64}},
                  "c0 05 00\nfa 00 00\nb0 07 64",
                  {0xC0, 0x05, 0x00, 0xFA, 0x00, 0x00, 0xB0, 0x07, 0x64}},
        TShowCase{"FourteenBytes", {{0x90, 0x3C, 0x7F}, {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x7F, 0x00, 0x41, 0xF7}, {0xFC}},
                  "90 3c 7f\nf0 41 10 42 12 40 7f 00 41 f7 \nfc 00 00",
                  {0x90, 0x3C, 0x7F, 0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x7F, 0x00, 0x41, 0xF7, 0xFC, 0x00, 0x00}},
        TShowCase{"LongSysexOneLinePerBuffer", {Sysex10000()}, Sysex10000Lines(), Sysex10000()}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Monitor, LabelReadsFourteenBytesAfterFourteen)
{
    TKelvaneFixture f(WithInput());
    f.Service().Inject({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
    f.Service().Inject({0xC0, 0x05});
    Settle();
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（14バイト）"));
}

TEST(Monitor, ManyLinesAndLongLinesKeepTheirOrderOnScreenAndInTheSavedText)
{
    TKelvaneFixture f(WithInput());
    QTemporaryDir dir;
    DialogHooks().File = [&](const TFileDialogRequest&) { return dir.path() + "/in.txt"; };
    QStringList expected;
    for (int n = 0; n < 70; ++n) {
        f.Service().Inject({0x90, uint8_t(n), 0x40});
        expected << QStringLiteral("90 %1 40").arg(n, 2, 16, QLatin1Char('0'));
        if (n % 25 == 0)
            Settle();  // several appends, not one
    }
    f.Service().Inject(Sysex10000());
    expected << Sysex10000Lines().split('\n');
    f.Service().Inject({0x80, 0x3C, 0x00});
    expected << "80 3c 00";
    Settle();
    EXPECT_EQ(MemoText(f).split('\n'), expected);
    Click(f.Find<QPushButton>("ButtonInSaveText"));
    EXPECT_EQ(ReadFile(dir.path() + "/in.txt"), (expected.join("\r\n") + "\r\n").toLatin1());
}

// The view follows new lines while it shows the last one, and stays where the user scrolled to.
TEST(Monitor, ViewFollowsTheLastLineUnlessScrolledAway)
{
    TKelvaneFixture f(WithInput());
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    f.Find<QTabWidget>("PageMain")->setCurrentIndex(2);
    QScrollBar* bar = f.Find<QPlainTextEdit>("MemoMidiIn")->verticalScrollBar();
    for (int n = 0; n < 300; ++n) {
        f.Service().Inject({0x90, uint8_t(n % 128), 0x40});
        if (n % 50 == 0)
            Settle();
    }
    Settle();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(bar->maximum() / 2);
    const int away = bar->value();
    for (int n = 0; n < 100; ++n)
        f.Service().Inject({0x80, uint8_t(n), 0x00});
    Settle();
    EXPECT_EQ(bar->value(), away);
    EXPECT_EQ(MemoLines(f), 400);
}

// --- clear

TEST(Monitor, ClearEmptiesEverythingRestartsThePortAndTheNextMessageEnablesAgain)
{
    TKelvaneFixture f(WithInput());
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    ASSERT_TRUE(ButtonsEnabled(f));
    f.Service().Inject({0x90, 0x3D, 0x7F});  // still waiting when the clear comes: discarded
    f.Service().ClearCalls();

    Click(f.Find<QPushButton>("ButtonInClear"));
    EXPECT_EQ(MemoText(f), "");
    EXPECT_TRUE(f.Monitor().ReceivedBytes().isEmpty());
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力"));
    EXPECT_FALSE(ButtonsEnabled(f));
    std::vector<std::string> ops;
    for (const auto& call : f.Service().Calls)
        if (call.Op == "Stop" || call.Op == "CloseInput" || call.Op == "OpenInput" || call.Op == "Start")
            ops.push_back(call.Op);
    EXPECT_EQ(ops, (std::vector<std::string>{"Stop", "CloseInput", "OpenInput", "Start"}));
    Settle();
    EXPECT_EQ(MemoText(f), "") << "what waited before the clear is gone";
    EXPECT_FALSE(f.Find<QPlainTextEdit>("MemoMidiIn")->document()->isUndoRedoEnabled()) << "a cleared memo keeps no undo record either";
    EXPECT_FALSE(ButtonsEnabled(f));

    f.Service().Inject({0x80, 0x3C, 0x00});
    Settle();
    EXPECT_EQ(MemoText(f), "80 3c 00");
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（3バイト）"));
    EXPECT_TRUE(ButtonsEnabled(f));
}

TEST(Monitor, PortErrorDuringClearIsReportedAndTheWindowGoesOn)
{
    TKelvaneFixture f(WithInput());
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    const char* refused = "Test Input could not be started";
    f.Service().Failures["Start"] = Refusal(refused);
    Click(f.Find<QPushButton>("ButtonInClear"));
    EXPECT_EQ(f.Errors, QStringList{refused});
    EXPECT_EQ(MemoText(f), "");
}

// --- saving

TEST(Monitor, SavesTheReceivedBytesAsSyxAndTheLinesAsTextWithCrLf)
{
    TKelvaneFixture f(WithInput());
    const QString oldFolder = f.Binary().Folders().Binary;
    EXPECT_EQ(oldFolder, QDir::toNativeSeparators(f.Folder()));
    QTemporaryDir saveDir;
    std::vector<TFileDialogRequest> requests;
    QString answer;
    DialogHooks().File = [&](const TFileDialogRequest& request) {
        requests.push_back(request);
        return answer;
    };
    f.Service().Inject({0x90, 0x3C, 0x7F});
    f.Service().Inject({0x80, 0x3C, 0x00});
    f.Service().Inject({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
    Settle();

    answer = saveDir.path() + "/in.syx";
    Click(f.Find<QPushButton>("ButtonInSaveBinary"));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].Save);
    EXPECT_EQ(requests[0].DefaultSuffix, "syx");
    EXPECT_EQ(requests[0].Filter, QStringLiteral("システム・エクスクルーシブ(*.syx)|*.syx|すべてのファイル(*.*)|*.*"));
    EXPECT_EQ(requests[0].InitialFolder, oldFolder);
    EXPECT_EQ(ReadFile(answer).toHex(' '), QByteArray("90 3c 7f 80 3c 00 f0 7e 7f 09 01 f7"));
    EXPECT_EQ(f.Binary().Folders().Binary, QDir::toNativeSeparators(saveDir.path() + "/"));

    answer = saveDir.path() + "/in.txt";
    Click(f.Find<QPushButton>("ButtonInSaveText"));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].DefaultSuffix, "txt");
    EXPECT_EQ(requests[1].Filter, QStringLiteral("テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*"));
    EXPECT_EQ(requests[1].InitialFolder, QDir::toNativeSeparators(f.Folder()));
    EXPECT_EQ(ReadFile(answer), QByteArray("90 3c 7f\r\n80 3c 00\r\nf0 7e 7f 09 01 f7 \r\n"));
    EXPECT_EQ(f.Binary().Folders().Text, QDir::toNativeSeparators(saveDir.path() + "/"));
    EXPECT_TRUE(f.Errors.isEmpty());

    // Overwriting replaces the whole file.
    answer = saveDir.path() + "/in.syx";
    Click(f.Find<QPushButton>("ButtonInClear"));
    f.Service().Inject({0xC0, 0x05});
    Settle();
    Click(f.Find<QPushButton>("ButtonInSaveBinary"));
    EXPECT_EQ(ReadFile(answer), QByteArray("\xC0\x05\x00", 3));
}

TEST(Monitor, CancelledSaveWritesNothingAndKeepsTheFolders)
{
    TKelvaneFixture f(WithInput());
    DialogHooks().File = [](const TFileDialogRequest&) { return QString(); };
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    const QString binary = f.Binary().Folders().Binary;
    const QString text = f.Binary().Folders().Text;
    Click(f.Find<QPushButton>("ButtonInSaveBinary"));
    Click(f.Find<QPushButton>("ButtonInSaveText"));
    EXPECT_EQ(f.Binary().Folders().Binary, binary);
    EXPECT_EQ(f.Binary().Folders().Text, text);
    EXPECT_TRUE(f.Errors.isEmpty());
}

TEST(Monitor, UnwritableFileIsReportedAndTheFolderIsStillRemembered)
{
    TKelvaneFixture f(WithInput());
    QTemporaryDir dir;
    const QString path = dir.path() + "/no such folder/in.syx";
    DialogHooks().File = [&](const TFileDialogRequest&) { return path; };
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    Click(f.Find<QPushButton>("ButtonInSaveBinary"));
    ASSERT_EQ(f.Errors.size(), 1);
    EXPECT_TRUE(f.Errors[0].contains("in.syx")) << f.Errors[0].toStdString();
    EXPECT_EQ(f.Binary().Folders().Binary, QDir::toNativeSeparators(dir.path() + "/no such folder/"));
    EXPECT_EQ(MemoText(f), "90 3c 7f") << "the monitor keeps what it shows";
}

TEST(Monitor, SaveButtonsAreDisabledAfterAClear)
{
    TKelvaneFixture f(WithInput());
    int asked = 0;
    DialogHooks().File = [&](const TFileDialogRequest&) {
        ++asked;
        return QString();
    };
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    Click(f.Find<QPushButton>("ButtonInClear"));
    Click(f.Find<QPushButton>("ButtonInSaveBinary"));
    Click(f.Find<QPushButton>("ButtonInSaveText"));
    EXPECT_EQ(asked, 0);
}

// --- the device list

TEST(MonitorDevices, ListHoldsNoInputThenEveryDevice)
{
    TKelvaneFixture f(WithInput(NoInput, {"In A", "In B"}));
    QComboBox* combo = f.Find<TPortComboBox>("ComboMidiInDevice");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), NoInput);
    EXPECT_EQ(combo->itemText(1), "In A");
    EXPECT_EQ(combo->itemText(2), "In B");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_FALSE(combo->isEditable());
}

TEST(MonitorDevices, WithoutInputDevicesTheListHoldsOnlyNoInput)
{
    TKelvaneFixture f(WithInput(NoInput, {}));
    EXPECT_EQ(f.Find<TPortComboBox>("ComboMidiInDevice")->count(), 1);
    EXPECT_EQ(f.Find<TPortComboBox>("ComboMidiInDevice")->currentText(), NoInput);
    EXPECT_FALSE(f.Session().Input().IsOpen());
    EXPECT_TRUE(f.Errors.isEmpty());
}

TEST(MonitorDevices, ChoosingADeviceOpensItAndNoInputClosesIt)
{
    TKelvaneFixture f(WithInput(NoInput, {"In A", "In B"}));
    QComboBox* combo = f.Find<TPortComboBox>("ComboMidiInDevice");
    EXPECT_FALSE(f.Session().Input().IsOpen());
    combo->setFocus();
    f.Service().ClearCalls();
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentIndex(), 2);
    ASSERT_TRUE(f.Session().Input().IsOpen());
    EXPECT_EQ(f.Session().Input().DeviceID(), 1);
    EXPECT_EQ(InputOpens(f).back(), 1);
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    EXPECT_EQ(MemoText(f), "90 3c 7f");

    QTest::keyClick(combo, Qt::Key_Home);
    ASSERT_EQ(combo->currentIndex(), 0);
    EXPECT_FALSE(f.Session().Input().IsOpen());
    EXPECT_FALSE(f.Service().InputOpen());
    EXPECT_EQ(MemoText(f), "");
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力"));
    EXPECT_TRUE(f.Errors.isEmpty());
}

// A saved device not there at start-up is shown as missing and taken as soon as it comes; until
// then the name stays the user's choice.
TEST(MonitorDevices, SavedNameThatMatchesNothingIsAwaitedAndSaved)
{
    TKelvaneFixture f(WithInput("Removed Device", {"Test Input"}));
    EXPECT_EQ(f.Find<TPortComboBox>("ComboMidiInDevice")->currentText(), QStringLiteral("Removed Device（見つかりません）"));
    EXPECT_TRUE(f.Session().Input().Absent());
    EXPECT_TRUE(InputOpens(f).empty());

    f.Service().InputNames.push_back("Removed Device");
    DeviceChanges().Notify();  // as a backend says that its devices changed
    Settle();
    EXPECT_EQ(InputOpens(f), std::vector<int>{1});
    EXPECT_FALSE(f.Session().Input().Absent());
    EXPECT_EQ(f.Find<TPortComboBox>("ComboMidiInDevice")->currentText(), "Removed Device");
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    EXPECT_EQ(MemoText(f), "90 3c 7f");
    f.CloseWindow();
    EXPECT_EQ(TIniFile::Load(f.SettingsPath()).ReadString("Midi", "InDeviceName", "?"), "Removed Device");
}

TEST(MonitorDevices, SavedNameRestoresTheDeviceAndClosingSavesItAndClosesThePort)
{
    TKelvaneFixture f(WithInput("In B", {"In A", "In B"}));
    EXPECT_EQ(f.Find<TPortComboBox>("ComboMidiInDevice")->currentIndex(), 2);
    ASSERT_TRUE(f.Session().Input().IsOpen());
    EXPECT_EQ(f.Session().Input().DeviceID(), 1);
    f.CloseWindow();
    EXPECT_FALSE(f.Service().InputOpen());
    EXPECT_EQ(TIniFile::Load(f.SettingsPath()).ReadString("Midi", "InDeviceName", "?"), "In B");
}

// Two devices of one name are told apart by " #2" in the list, so a saved name restores
// exactly its own device and opens no other.
TEST(MonitorDevices, EqualNamesAreToldApartAndTheSavedOneIsRestored)
{
    for (const auto& [saved, index, device] : {std::tuple{"Dup", 1, 0}, std::tuple{"Dup #2", 3, 2}}) {
        TKelvaneFixture f(WithInput(saved, {"Dup", "Other", "Dup"}));
        QComboBox* combo = f.Find<TPortComboBox>("ComboMidiInDevice");
        EXPECT_EQ(combo->itemText(3), "Dup #2");
        EXPECT_EQ(combo->currentIndex(), index) << saved;
        ASSERT_TRUE(f.Session().Input().IsOpen()) << saved;
        EXPECT_EQ(f.Session().Input().DeviceID(), device) << saved;
        EXPECT_EQ(InputOpens(f), std::vector<int>{device}) << saved;
    }
}

// Devices come and go while the monitor runs: a clear restarts the port on the device the list
// shows, never on whichever device now has the number it was opened by.
struct TClearAfterChangeCase {
    const char* Name;
    std::vector<std::string> WhenListRead;  // the devices when the list is opened; empty: not opened
    std::vector<std::string> AtClear;       // the devices when the clear comes
    int Opened;                             // the device number opened, -1: none
};

void PrintTo(const TClearAfterChangeCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ClearAfterDevicesChange : public ::testing::TestWithParam<TClearAfterChangeCase> {};

TEST_P(ClearAfterDevicesChange, RestartsTheDeviceTheListShows)
{
    const TClearAfterChangeCase& c = GetParam();
    TKelvaneFixture f(WithInput("In B", {"In A", "In B"}));
    QComboBox* combo = f.Find<TPortComboBox>("ComboMidiInDevice");
    f.Service().Inject({0x90, 0x3C, 0x7F});
    Settle();
    if (!c.WhenListRead.empty()) {
        f.Service().InputNames = c.WhenListRead;
        OpenInputList(combo);
    }
    ASSERT_EQ(f.Monitor().ChosenDevice(), "In B");
    f.Service().InputNames = c.AtClear;
    f.Service().ClearCalls();

    Click(f.Find<QPushButton>("ButtonInClear"));
    const std::vector<int> opens = InputOpens(f);
    if (c.Opened < 0) {
        EXPECT_TRUE(opens.empty());
        EXPECT_FALSE(f.Service().InputOpen());
    } else {
        EXPECT_EQ(opens, std::vector<int>{c.Opened});
        EXPECT_TRUE(f.Service().InputOpen());
    }
    // Still the device chosen (marked as not there when the list found it gone).
    EXPECT_EQ(f.Monitor().ChosenDevice(), "In B");
    EXPECT_EQ(MemoText(f), "");
    EXPECT_TRUE(f.Errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    MonitorDevices, ClearAfterDevicesChange,
    ::testing::Values(
        TClearAfterChangeCase{"Unchanged", {}, {"In A", "In B"}, 1},
        TClearAfterChangeCase{"DeviceAddedBeforeListRead", {"New", "In A", "In B"}, {"New", "In A", "In B"}, 2},
        TClearAfterChangeCase{"DeviceAddedBeforeListNotRead", {}, {"New", "In A", "In B"}, 2},
        TClearAfterChangeCase{"DeviceBeforeRemovedListNotRead", {}, {"In B"}, 0},
        TClearAfterChangeCase{"GoneAnotherHasItsNumber", {"In A", "Other"}, {"In A", "Other"}, -1},
        TClearAfterChangeCase{"GoneListNotRead", {}, {"In A", "Other"}, -1},
        TClearAfterChangeCase{"GoneAndBackElsewhere", {"In A"}, {"Other", "In A", "In B"}, 2}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- lost input

// Inject hands each message to the port's reception at once, so every message below is queued
// or dropped before the window handles the first notification: 1,024 kept, the rest lost in one
// burst. What the queue and the reception keep while the window takes nothing: more is lost.
const int Kept = 1024 + int(TInputReception::WaitingShortLimit);

void Burst(TKelvaneFixture& f, int count)
{
    for (int n = 0; n < count; ++n)
        f.Service().Inject({0x90, uint8_t(n % 128), 0x40});
}

// The message hook runs no loop of its own; this one does, as a modal box would, and notes a box
// that opens while another is open instead of nesting it.
struct TModalBoxes {
    QStringList Texts;
    int Open = 0;
    int OpenedWhileOpen = 0;

    void Install()
    {
        DialogHooks().Message = [this](const QString& text, bool) {
            Texts << text;
            if (Open > 0) {
                ++OpenedWhileOpen;
                return;
            }
            ++Open;
            Settle();
            --Open;
        };
    }
};

TEST(MonitorOverflow, BurstOfLostEventsOpensOneBoxAndTheNextBoxCountsThem)
{
    TModalBoxes boxes;  // outlives the window, whose hooks the fixture resets
    TKelvaneFixture f(WithInput());
    boxes.Install();
    Burst(f, Kept + 5000);
    Settle();
    EXPECT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts.value(0), Overflow);
    EXPECT_EQ(boxes.OpenedWhileOpen, 0);
    EXPECT_EQ(MemoLines(f), Kept);
    EXPECT_EQ(f.Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（%1バイト）").arg(Kept * 3));

    // The window answers afterwards.
    f.Service().Inject({0x80, 0x3C, 0x00});
    Settle();
    EXPECT_EQ(MemoLines(f), Kept + 1);
    EXPECT_TRUE(MemoText(f).endsWith("\n80 3c 00"));

    // The next loss says how many were lost while the first box was open; the one after that
    // has nothing more to say.
    Burst(f, Kept + 1);
    Settle();
    Burst(f, Kept + 1);
    Settle();
    ASSERT_EQ(boxes.Texts.size(), 3);
    EXPECT_EQ(boxes.Texts[1], Overflow + "\n" + QStringLiteral("（前回の表示中に、さらに4999件の入力が失われました）"));
    EXPECT_EQ(boxes.Texts[2], Overflow);
    EXPECT_EQ(boxes.OpenedWhileOpen, 0);
    EXPECT_TRUE(f.Errors.isEmpty());
}

// The same burst against the real modal QMessageBox: at most one is ever on screen, and the user
// closing it with its OK button ends the matter.
TEST(MonitorOverflow, RealMessageBoxesNeverStack)
{
    TKelvaneFixture f(WithInput());
    DialogHooks().Message = nullptr;
    std::set<QMessageBox*> seen;
    size_t mostAtOnce = 0;
    int ticks = 0;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        std::vector<QMessageBox*> open;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                open.push_back(box);
        mostAtOnce = std::max(mostAtOnce, open.size());
        for (QMessageBox* box : open) {
            seen.insert(box);
            EXPECT_EQ(box->text(), Overflow);
        }
        // Let the box's own loop take the rest of the burst, then press OK as a person would.
        if (!open.empty() && ++ticks >= 5)
            for (QMessageBox* box : open)
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    watcher.start();
    Burst(f, Kept + 5000);
    // Everything the queue and the service kept is shown, and the box has come and gone.
    auto anyBoxOpen = [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(widget) && widget->isVisible())
                return true;
        return false;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.empty() && !anyBoxOpen() && MemoLines(f) >= Kept; }, 60000))
        << seen.size() << " boxes seen, one still open: " << anyBoxOpen() << ", " << MemoLines(f) << " lines";

    // A message sent now comes after everything the burst left to do: once it shows, a second
    // box would have come (the watcher closes any that does).
    f.Service().Inject({0x80, 0x3C, 0x00});
    ASSERT_TRUE(QTest::qWaitFor([&] { return MemoText(f).endsWith("\n80 3c 00") && !anyBoxOpen(); }, 60000));
    Settle();
    watcher.stop();
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(mostAtOnce, 1u);
    EXPECT_EQ(MemoLines(f), Kept + 1);  // what the queue and the service kept, then the message
}
