// The settings file through the real window: what start-up shows from it, and what closing
// writes back.
#include "IniFile.h"
#include "GuiTest.h"
#include "SpinEdit.h"
#include "Widgets.h"

#include <QButtonGroup>
#include <QFile>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QStringDecoder>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// Every key a close writes, by section, in the order it writes them.
const std::vector<std::pair<const char*, std::vector<const char*>>> WrittenKeys = {
    {"FormMain", {"Top", "Left", "Height", "Width", "DrumListName", "DrumFontName", "DrumFontSize",
                  "DrumFontCharacterSet", "DrumFontBold", "DrumFontItalic", "BinaryFontName", "BinaryFontSize",
                  "BinaryFontCharacterSet", "BinaryFontBold", "BinaryFontItalic", "ShowHint", "DrumBackColor",
                  "DrumForeColor", "DrumReverseForeColor", "DrumReverseBackColor"}},
    {"Midi", {"InDeviceName", "Channel"}},
    {"NoteParameter", {"OnVelocity", "OffVelocity", "Transpose", "ChannelPressure", "PolyPressure"}},
    {"ProgramChange", {"MinimumValue", "Program(0-127)"}},
    {"ControlChange", {"Modulation", "Breath", "Foot", "PortamentoTime", "Volume", "Panpot", "Expression", "Effect1",
                       "Effect3", "Effect4", "Hold1", "Portamento", "Sostenuto", "Soft", "Mono", "PitchBendRange",
                       "MasterFineTune", "MasterCoarseTune"}},
    {"SystemExclusiveSend", {"Interval", "PacketSize"}},
    {"FilePath", {"Binary", "Text"}},
};

TEST(SettingsFile, WithoutAFileTheDefaultsShowAndCloseWritesEveryKey)
{
    TFixtureOptions options;
    options.OpenPort = false;
    TKelvaneFixture f(options);
    ASSERT_FALSE(QFile::exists(f.Folder() + "kelvane.ini"));
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    EXPECT_EQ(f.Main().pos(), desktop.topLeft() + QPoint(100, 100));
    EXPECT_EQ(f.Main().size(), QSize(635, 440));
    EXPECT_EQ(f.Session().Channel(), 1);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarOnVelocity")->value(), 120);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarOffVelocity")->value(), 40);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarVolume")->value(), 100);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarPanpot")->value(), 64);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarExpression")->value(), 127);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarEffect1")->value(), 40);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarPitchBendRange")->value(), 2);
    EXPECT_EQ(f.Find<TSpinEdit>("SpinEditProgram")->Text(), "1");
    EXPECT_EQ(f.Controller().ProgramRangeOffset(), 1);
    EXPECT_TRUE(f.Find<QAction>("MenuFileHint")->isChecked());
    EXPECT_EQ(f.Session().ControlChange().Volume, 100);

    f.CloseWindow();
    const TIniFile written = TIniFile::Load(f.SettingsPath());
    for (const auto& [section, keys] : WrittenKeys)
        for (const char* key : keys)
            EXPECT_TRUE(written.KeyExists(section, key)) << section << "/" << key;
    EXPECT_FALSE(written.KeyExists("Midi", "OutDeviceName"));
    EXPECT_FALSE(written.SectionExists("ColorDialog"));
    EXPECT_EQ(written.ReadInteger("ControlChange", "Volume", -1), 100);
    EXPECT_EQ(written.ReadInteger("ProgramChange", "Program(0-127)", -1), 0);
    EXPECT_EQ(written.ReadString("Midi", "InDeviceName", ""), QString::fromUtf8("MIDI入力なし"));
}

TEST(SettingsFile, ValuesSurviveARestart)
{
    TKelvaneFixture f;
    f.Find<QGroupBox>("RadioChannel")->findChild<QRadioButton*>("RadioChannel7")->setChecked(true);
    f.Find<QScrollBar>("ScrollBarVolume")->setValue(90);
    f.Find<QScrollBar>("ScrollBarTranspose")->setValue(-12);
    f.Find<QCheckBox>("CheckMono")->setChecked(true);
    f.Find<QScrollBar>("ScrollBarMasterFineTune")->setValue(-100);
    f.Find<TSpinEdit>("SpinEditProgram")->SetValue(128);
    f.Find<QAction>("MenuFileHint")->trigger();
    f.Main().move(150, 160);
    f.Main().resize(700, 480);
    f.CloseWindow();

    f.Windows = CreateKelvaneWindows({}, f.ProgramPath());
    EXPECT_EQ(f.Session().Channel(), 7);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarVolume")->value(), 90);
    EXPECT_EQ(f.Session().ControlChange().Volume, 90);
    EXPECT_EQ(f.Session().Transpose(), -12);
    EXPECT_TRUE(f.Find<QCheckBox>("CheckMono")->isChecked());
    EXPECT_EQ(f.Session().ControlChange().MasterFineTune, -100);
    EXPECT_EQ(f.Find<TSpinEdit>("SpinEditProgram")->Text(), "128");
    EXPECT_FALSE(f.Find<QAction>("MenuFileHint")->isChecked());
    EXPECT_EQ(f.Main().pos(), QPoint(150, 160));
    EXPECT_EQ(f.Main().size(), QSize(700, 480));
    EXPECT_TRUE(f.Session().Output().IsOpen());
    EXPECT_EQ(TIniFile::Load(f.SettingsPath()).ReadInteger("ProgramChange", "Program(0-127)", -1), 127);
}

TEST(SettingsFile, ClosingKeepsWhatTheFileHeldBesides)
{
    TFixtureOptions options;
    options.Settings = "; written by hand\n[MyTool]\nColour=blue\n\n[ControlChange]\n; keep me\nVolume=80\nFuture=1\n"
                       "[Midi]\nOutDeviceName=Test Synth\n";
    TKelvaneFixture f(options);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarVolume")->value(), 80);
    f.CloseWindow();
    const QString text = QString::fromUtf8(ReadFile(f.SettingsPath()));
    EXPECT_TRUE(text.startsWith("; written by hand\n[MyTool]\nColour=blue\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("; keep me\nVolume=80\nFuture=1\n")) << text.toStdString();
    EXPECT_EQ(text.count("[ControlChange]"), 1);
}

TEST(SettingsFile, ShiftJisFileFromAnOlderVersionIsRead)
{
    TFixtureOptions options;
    options.OpenPort = false;
    TKelvaneFixture f(options);
    f.Windows = TKelvaneWindows();
    const QString text = QString::fromUtf8("[FormMain]\nBinaryFontName=ＭＳ 明朝\n[Midi]\nChannel=3\nOutDeviceName=Test Port\n");
    QFile file(f.Folder() + "kelvane.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QStringEncoder shiftJis("Shift_JIS");
    ASSERT_TRUE(shiftJis.isValid());
    file.write(shiftJis(text));
    file.close();

    f.Windows = CreateKelvaneWindows({}, f.ProgramPath());
    EXPECT_EQ(f.Session().Channel(), 3);
    EXPECT_EQ(f.Find<QPlainTextEdit>("MemoMidiIn")->font().family(), QString::fromUtf8("ＭＳ 明朝"));
    f.CloseWindow();
    EXPECT_EQ(TIniFile::Load(f.SettingsPath()).ReadString("FormMain", "BinaryFontName", ""), QString::fromUtf8("ＭＳ 明朝"));
}

TEST(SettingsFile, UnwritableFileIsReportedAndLeftAsItWas)
{
    TKelvaneFixture f;
    const QByteArray before = ReadFile(f.SettingsPath());
    ASSERT_FALSE(before.isEmpty());
    f.Find<QScrollBar>("ScrollBarVolume")->setValue(10);

    // Even root cannot write past the file-size limit.
    struct rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = old;
    tiny.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &tiny);
    f.CloseWindow();
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(f.Errors, QStringList{f.SettingsPath() + QString::fromUtf8(" に書き込めません\nディスクがいっぱいか，書き込みに失敗しました")});
    EXPECT_EQ(ReadFile(f.SettingsPath()), before);
}

struct TCheckCase {
    const char* Settings;
    std::function<bool(TKelvaneFixture&)> Holds;
    const char* What;
};

TEST(SettingsFile, OutOfRangeValuesFallBackToTheirDefaults)
{
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    const std::vector<TCheckCase> cases = {
        {"[FormMain]\nTop=5000\n", [&](TKelvaneFixture& f) { return f.Main().y() == desktop.top() + 100; }, "Top 5000"},
        {"[FormMain]\nTop=-300\n", [](TKelvaneFixture& f) { return f.Main().y() == -300; }, "Top -300"},
        {"[Midi]\nChannel=17\n", [](TKelvaneFixture& f) { return f.Session().Channel() == 1; }, "Channel 17"},
        {"[NoteParameter]\nTranspose=51\n", [](TKelvaneFixture& f) { return f.Session().Transpose() == 0; }, "Transpose 51"},
        {"[NoteParameter]\nTranspose=-60\n", [](TKelvaneFixture& f) { return f.Session().Transpose() == -60; }, "Transpose -60"},
        {"[ProgramChange]\nMinimumValue=0\nProgram(0-127)=5\n",
         [](TKelvaneFixture& f) { return f.Find<TSpinEdit>("SpinEditProgram")->Text() == "5"; }, "program 5 as 0..127"},
        {"[ProgramChange]\nMinimumValue=1\nProgram(0-127)=5\n",
         [](TKelvaneFixture& f) { return f.Find<TSpinEdit>("SpinEditProgram")->Text() == "6"; }, "program 5 as 1..128"},
        {"[ControlChange]\nVolume=$40\n", [](TKelvaneFixture& f) { return f.Session().ControlChange().Volume == 64; }, "Volume $40"},
        {"[ControlChange]\nVolume=abc\n", [](TKelvaneFixture& f) { return f.Session().ControlChange().Volume == 100; }, "Volume abc"},
        {"[ControlChange]\nMasterFineTune=8192\n",
         [](TKelvaneFixture& f) { return f.Session().ControlChange().MasterFineTune == 8192; }, "fine tune 8192"},
        {"[SystemExclusiveSend]\nInterval=4\nPacketSize=2048\n",
         [](TKelvaneFixture& f) { return f.Find<TSpinEdit>("SpinEditInterval")->Value() == 100 && f.Find<TSpinEdit>("SpinEditPacketSize")->Value() == 2048; },
         "interval 4, packet size 2048"},
    };
    (void)screenHeight;
    for (const auto& c : cases) {
        TFixtureOptions options;
        options.Settings = QString::fromUtf8(c.Settings);
        TKelvaneFixture f(options);
        EXPECT_TRUE(c.Holds(f)) << c.What;
        EXPECT_TRUE(f.Messages.isEmpty()) << c.What << ": " << f.Messages.join('|').toStdString();
    }
}

TEST(SettingsFile, PitchBendRangeAboveTheSlidersEndIsRefusedOnce)
{
    TFixtureOptions options;
    options.Settings = "[ControlChange]\nPitchBendRange=30\n";
    TKelvaneFixture f(options);
    EXPECT_EQ(f.Find<QScrollBar>("ScrollBarPitchBendRange")->value(), 24);
    EXPECT_EQ(f.Session().ControlChange().PitchBendRange, 24);
    EXPECT_EQ(f.Messages, QStringList{QString::fromUtf8("ピッチベンド・レンジの値は0～24でなければなりません")});
}

} // namespace
