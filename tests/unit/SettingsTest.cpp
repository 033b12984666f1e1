// The settings file's keys: defaults, the checks on reading, and the order of writing.
#include "IniFile.h"
#include "Settings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A desktop larger than the primary screen, reaching left and up, so that defaults (from the
// desktop) and checks (against the primary screen) cannot be mixed up unnoticed.
const TScreenGeometry Screen{QRect(-1280, -200, 2560, 1400), QSize(1280, 1024)};
const QString ProgramFolder = QStringLiteral("/opt/kelvane/bin/");

TIniFile LoadText(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath("settings.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    return TIniFile::Load(path);
}

TIniFile LoadText(const QByteArray& bytes)
{
    QTemporaryDir dir;
    return LoadText(dir, bytes);
}

QString SavedText(TIniFile& ini)
{
    QString error;
    EXPECT_TRUE(ini.Save(&error)) << error.toStdString();
    QFile file(ini.Path());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

struct TMainCase {
    const char* Name;
    QByteArray File;
    int (*Field)(const TMainSettings&);
    int Expected;
};

class MainSettingsRead : public testing::TestWithParam<TMainCase> {};

TEST_P(MainSettingsRead, ChecksEveryValue)
{
    const TMainCase& c = GetParam();
    EXPECT_EQ(c.Field(ReadMainSettings(LoadText(c.File), Screen, ProgramFolder)), c.Expected);
}

int Top(const TMainSettings& s) { return s.Top; }
int Left(const TMainSettings& s) { return s.Left; }
int Channel(const TMainSettings& s) { return s.Channel; }
int Transpose(const TMainSettings& s) { return s.Transpose; }
int OnVelocity(const TMainSettings& s) { return s.OnVelocity; }
int MinimumValue(const TMainSettings& s) { return s.MinimumValue; }
int Program(const TMainSettings& s) { return s.Program; }
int Volume(const TMainSettings& s) { return s.Volume; }
int PitchBendRange(const TMainSettings& s) { return s.PitchBendRange; }
int MasterFineTune(const TMainSettings& s) { return s.MasterFineTune; }
int MasterCoarseTune(const TMainSettings& s) { return s.MasterCoarseTune; }
int Interval(const TMainSettings& s) { return s.Interval; }
int PacketSize(const TMainSettings& s) { return s.PacketSize; }
int WaitAfterMessage(const TMainSettings& s) { return s.WaitAfterMessage; }
int DrumCharacterSet(const TMainSettings& s) { return s.DrumFont.CharacterSet; }
int BinaryCharacterSet(const TMainSettings& s) { return s.BinaryFont.CharacterSet; }
int DrumBackColor(const TMainSettings& s) { return s.DrumBackColor; }
int ShowHint(const TMainSettings& s) { return s.ShowHint; }
int Mono(const TMainSettings& s) { return s.Mono; }
int MonitorTop(const TMainSettings& s) { return s.Monitor.Top; }
int MonitorHeight(const TMainSettings& s) { return s.Monitor.Height; }
int MonitorWidth(const TMainSettings& s) { return s.Monitor.Width; }
int MemoLines(const TMainSettings& s) { return s.Monitor.MemoLines; }
int RecordSent(const TMainSettings& s) { return s.Monitor.RecordSent; }
int FirstColumnWidth(const TMainSettings& s) { return s.Monitor.ColumnWidths.value(0, -1); }
int LastColumnShown(const TMainSettings& s) { return s.Monitor.ColumnOrder.value(6, -1); }

const TMainCase MainCases[] = {
    {"TopBelowScreenGivesDesktopTopPlus100", "[FormMain]\nTop=5000\n", Top, -100},
    {"TopNegativeKept", "[FormMain]\nTop=-300\n", Top, -300},
    {"TopAtLimitKept", "[FormMain]\nTop=924\n", Top, 924},
    {"TopPastLimit", "[FormMain]\nTop=925\n", Top, -100},
    {"LeftAtLimitKept", "[FormMain]\nLeft=1180\n", Left, 1180},
    {"LeftPastLimitGivesDesktopLeftPlus100", "[FormMain]\nLeft=1181\n", Left, -1180},
    {"Channel0", "[Midi]\nChannel=0\n", Channel, 1},
    {"Channel17", "[Midi]\nChannel=17\n", Channel, 1},
    {"Channel16", "[Midi]\nChannel=16\n", Channel, 16},
    {"Transpose51", "[NoteParameter]\nTranspose=51\n", Transpose, 0},
    {"TransposeMinus60", "[NoteParameter]\nTranspose=-60\n", Transpose, -60},
    {"TransposeMinus61", "[NoteParameter]\nTranspose=-61\n", Transpose, 0},
    {"OnVelocity128", "[NoteParameter]\nOnVelocity=128\n", OnVelocity, 120},
    {"MinimumValue2", "[ProgramChange]\nMinimumValue=2\n", MinimumValue, 1},
    {"MinimumValue0", "[ProgramChange]\nMinimumValue=0\n", MinimumValue, 0},
    {"Program127", "[ProgramChange]\nProgram(0-127)=127\n", Program, 127},
    {"Program128", "[ProgramChange]\nProgram(0-127)=128\n", Program, 0},
    {"VolumeZeroX", "[ControlChange]\nVolume=0x40\n", Volume, 64},
    {"VolumeDollar", "[ControlChange]\nVolume=$40\n", Volume, 64},
    {"VolumeLetters", "[ControlChange]\nVolume=abc\n", Volume, 100},
    {"Volume128", "[ControlChange]\nVolume=128\n", Volume, 100},
    {"PitchBendRange30KeptHere", "[ControlChange]\nPitchBendRange=30\n", PitchBendRange, 30},
    {"PitchBendRange128", "[ControlChange]\nPitchBendRange=128\n", PitchBendRange, 2},
    {"FineTune8192", "[ControlChange]\nMasterFineTune=8192\n", MasterFineTune, 8192},
    {"FineTune8193", "[ControlChange]\nMasterFineTune=8193\n", MasterFineTune, 0},
    {"FineTuneMinus8192", "[ControlChange]\nMasterFineTune=-8192\n", MasterFineTune, -8192},
    {"CoarseTuneMinus64", "[ControlChange]\nMasterCoarseTune=-64\n", MasterCoarseTune, -64},
    {"CoarseTune65", "[ControlChange]\nMasterCoarseTune=65\n", MasterCoarseTune, 0},
    {"MonoOn", "[ControlChange]\nMono=1\n", Mono, 1},
    {"Interval4", "[SystemExclusiveSend]\nInterval=4\n", Interval, 100},
    {"Interval500", "[SystemExclusiveSend]\nInterval=500\n", Interval, 500},
    {"Interval501", "[SystemExclusiveSend]\nInterval=501\n", Interval, 100},
    {"PacketSize2048", "[SystemExclusiveSend]\nPacketSize=2048\n", PacketSize, 2048},
    {"PacketSize127", "[SystemExclusiveSend]\nPacketSize=127\n", PacketSize, 1024},
    {"WaitAfterMessage0", "[SystemExclusiveSend]\nWaitAfterMessage=0\n", WaitAfterMessage, 0},
    {"WaitAfterMessage5000", "[SystemExclusiveSend]\nWaitAfterMessage=5000\n", WaitAfterMessage, 5000},
    {"WaitAfterMessage5001", "[SystemExclusiveSend]\nWaitAfterMessage=5001\n", WaitAfterMessage, 0},
    {"WaitAfterMessageMinus1", "[SystemExclusiveSend]\nWaitAfterMessage=-1\n", WaitAfterMessage, 0},
    {"WaitAfterMessageHex", "[SystemExclusiveSend]\nWaitAfterMessage=$1F4\n", WaitAfterMessage, 500},
    {"WaitAfterMessageLetters", "[SystemExclusiveSend]\nWaitAfterMessage=lang\n", WaitAfterMessage, 0},
    {"DrumCharacterSet300", "[FormMain]\nDrumFontCharacterSet=300\n", DrumCharacterSet, 128},
    {"DrumCharacterSet0", "[FormMain]\nDrumFontCharacterSet=0\n", DrumCharacterSet, 0},
    {"BinaryCharacterSetMinus1", "[FormMain]\nBinaryFontCharacterSet=-1\n", BinaryCharacterSet, 128},
    {"ColourKept", "[FormMain]\nDrumBackColor=255\n", DrumBackColor, 255},
    {"SystemColourNumberGivesDefault", "[FormMain]\nDrumBackColor=-16777201\n", DrumBackColor, 8388608},
    {"ColourBeyond24Bits", "[FormMain]\nDrumBackColor=16777216\n", DrumBackColor, 8388608},
    {"ShowHintOff", "[FormMain]\nShowHint=0\n", ShowHint, 0},
    {"KeysCompareWithoutCase", "[controlchange]\nvolume=50\n", Volume, 50},
    {"MonitorTopGivesDesktopTopPlus150", "[MidiMonitor]\nTop=925\n", MonitorTop, -50},
    {"MonitorHeightPastBottom", "[MidiMonitor]\nTop=800\nHeight=225\n", MonitorHeight, 460},
    {"MonitorHeightTooSmall", "[MidiMonitor]\nHeight=100\n", MonitorHeight, 460},
    {"MonitorWidthFits", "[MidiMonitor]\nLeft=100\nWidth=1180\n", MonitorWidth, 1180},
    {"MemoLinesDefaultAMillion", "", MemoLines, 1'000'000},
    {"MemoLinesSmall", "[MidiMonitor]\nMemoLines=5\n", MemoLines, 5},
    {"MemoLinesZero", "[MidiMonitor]\nMemoLines=0\n", MemoLines, 1'000'000},
    {"MemoLinesBeyondInt", "[MidiMonitor]\nMemoLines=99999999999\n", MemoLines, 1'000'000},
    {"RecordSentOn", "[MidiMonitor]\nRecordSent=1\n", RecordSent, 1},
    {"ColumnWidthsRead", "[MidiMonitor]\nColumnWidths=90, 70,50,50,120,300,200\n", FirstColumnWidth, 90},
    {"ColumnWidthsTooFew", "[MidiMonitor]\nColumnWidths=90,70,50,50,120,300\n", FirstColumnWidth, -1},
    {"ColumnWidthNotANumber", "[MidiMonitor]\nColumnWidths=90,70,x,50,120,300,200\n", FirstColumnWidth, -1},
    {"ColumnWidthZero", "[MidiMonitor]\nColumnWidths=0,70,50,50,120,300,200\n", FirstColumnWidth, -1},
    {"ColumnOrderRead", "[MidiMonitor]\nColumnOrder=6,5,4,3,2,1,0\n", LastColumnShown, 0},
    {"ColumnOrderTwice", "[MidiMonitor]\nColumnOrder=0,1,2,3,4,5,5\n", LastColumnShown, -1},
    {"ColumnOrderUnknownColumn", "[MidiMonitor]\nColumnOrder=0,1,2,3,4,5,7\n", LastColumnShown, -1},
};

INSTANTIATE_TEST_SUITE_P(Table, MainSettingsRead, testing::ValuesIn(MainCases),
    [](const testing::TestParamInfo<TMainCase>& info) { return std::string(info.param.Name); });

TEST(MainSettings, NoFileGivesTheDefaults)
{
    const TMainSettings s = ReadMainSettings(TIniFile(), Screen, ProgramFolder);
    EXPECT_EQ(s.Top, -100);
    EXPECT_EQ(s.Left, -1180);
    EXPECT_EQ(s.Height, 440);
    EXPECT_EQ(s.Width, 635);
    EXPECT_TRUE(s.ShowHint);
    EXPECT_EQ(s.DrumListName, "NotDefined");
    EXPECT_EQ(s.DrumFont, (TFontSetting{"ＭＳ Ｐゴシック", 9, 128, false, false}));
    EXPECT_EQ(s.BinaryFont, (TFontSetting{"ＭＳ ゴシック", 9, 128, false, false}));
    EXPECT_EQ(s.DrumBackColor, 8388608);
    EXPECT_EQ(s.DrumForeColor, 16777215);
    EXPECT_EQ(s.DrumReverseBackColor, 16776960);
    EXPECT_EQ(s.DrumReverseForeColor, 0);
    EXPECT_EQ(s.OutDeviceName, "NotDefined");
    EXPECT_FALSE(s.HasOutDeviceName);
    EXPECT_EQ(s.InDeviceName, "MIDI入力なし");
    EXPECT_EQ(s.Channel, 1);
    EXPECT_EQ(s.Transpose, 0);
    EXPECT_EQ(s.OnVelocity, 120);
    EXPECT_EQ(s.OffVelocity, 40);
    EXPECT_EQ(s.ChannelPressure, 40);
    EXPECT_EQ(s.PolyPressure, 40);
    EXPECT_EQ(s.MinimumValue, 1);
    EXPECT_EQ(s.Program, 0);
    EXPECT_EQ(s.Modulation, 0);
    EXPECT_EQ(s.Volume, 100);
    EXPECT_EQ(s.Panpot, 64);
    EXPECT_EQ(s.Expression, 127);
    EXPECT_EQ(s.Effect1, 40);
    EXPECT_EQ(s.Effect3, 0);
    EXPECT_FALSE(s.Hold1);
    EXPECT_FALSE(s.Mono);
    EXPECT_EQ(s.PitchBendRange, 2);
    EXPECT_EQ(s.MasterFineTune, 0);
    EXPECT_EQ(s.MasterCoarseTune, 0);
    EXPECT_EQ(s.Interval, 100);
    EXPECT_EQ(s.PacketSize, 1024);
    EXPECT_EQ(s.WaitAfterMessage, 0);
    EXPECT_EQ(s.BinaryFolder, ProgramFolder);
    EXPECT_EQ(s.TextFolder, ProgramFolder);
    EXPECT_TRUE(s.ColorDialogEntries.isEmpty());
}

TEST(MainSettings, StringsAndColourDialogEntriesAreRead)
{
    const TMainSettings s = ReadMainSettings(LoadText("[Midi]\n"
                                                      "OutDeviceName=Kelvane MIDI Mapper\n"
                                                      "InDeviceName=USB MIDI #2\n"
                                                      "[FilePath]\n"
                                                      "Binary=/home/u/syx/\n"
                                                      "Text=/home/u/txt/\n"
                                                      "[ColorDialog]\n"
                                                      "ColorA=FFFFFF\n"
                                                      "ColorB=\n"
                                                      "ColorC=8000FF\n"
                                                      "colora=000000\n"),
        Screen, ProgramFolder);
    EXPECT_TRUE(s.HasOutDeviceName);
    EXPECT_EQ(s.OutDeviceName, "Kelvane MIDI Mapper");
    EXPECT_EQ(s.InDeviceName, "USB MIDI #2");
    EXPECT_EQ(s.BinaryFolder, "/home/u/syx/");
    EXPECT_EQ(s.TextFolder, "/home/u/txt/");
    EXPECT_EQ(s.ColorDialogEntries, QStringList({"ColorA=FFFFFF", "ColorC=8000FF"}));
}

TEST(MainSettings, WritesEveryKeyInItsOrder)
{
    QTemporaryDir dir;
    TIniFile ini = TIniFile::Load(dir.filePath("fresh.ini"));
    TMainSettings s;
    s.Top = 12;
    s.Left = -34;
    s.HasOutDeviceName = true;
    s.OutDeviceName = "Kelvane MIDI Mapper";
    s.Program = 127;
    s.MasterFineTune = -8192;
    s.Hold1 = true;
    s.BinaryFolder = "/b/";
    s.TextFolder = "/t/";
    s.ColorDialogEntries = {"ColorA=FFFFFF", "ColorP=00FF00"};
    WriteMainSettings(ini, s);
    EXPECT_EQ(SavedText(ini),
        "[FormMain]\n"
        "Top=12\n"
        "Left=-34\n"
        "Height=440\n"
        "Width=635\n"
        "DrumListName=NotDefined\n"
        "DrumFontName=ＭＳ Ｐゴシック\n"
        "DrumFontSize=9\n"
        "DrumFontCharacterSet=128\n"
        "DrumFontBold=0\n"
        "DrumFontItalic=0\n"
        "BinaryFontName=ＭＳ ゴシック\n"
        "BinaryFontSize=9\n"
        "BinaryFontCharacterSet=128\n"
        "BinaryFontBold=0\n"
        "BinaryFontItalic=0\n"
        "ShowHint=1\n"
        "DrumBackColor=8388608\n"
        "DrumForeColor=16777215\n"
        "DrumReverseForeColor=0\n"
        "DrumReverseBackColor=16776960\n"
        "[Midi]\n"
        "OutDeviceName=Kelvane MIDI Mapper\n"
        "InDeviceName=MIDI入力なし\n"
        "Channel=1\n"
        "[NoteParameter]\n"
        "OnVelocity=120\n"
        "OffVelocity=40\n"
        "Transpose=0\n"
        "ChannelPressure=40\n"
        "PolyPressure=40\n"
        "[ProgramChange]\n"
        "MinimumValue=1\n"
        "Program(0-127)=127\n"
        "[ControlChange]\n"
        "Modulation=0\n"
        "Breath=0\n"
        "Foot=0\n"
        "PortamentoTime=0\n"
        "Volume=100\n"
        "Panpot=64\n"
        "Expression=127\n"
        "Effect1=40\n"
        "Effect3=0\n"
        "Effect4=0\n"
        "Hold1=1\n"
        "Portamento=0\n"
        "Sostenuto=0\n"
        "Soft=0\n"
        "Mono=0\n"
        "PitchBendRange=2\n"
        "MasterFineTune=-8192\n"
        "MasterCoarseTune=0\n"
        "[SystemExclusiveSend]\n"
        "Interval=100\n"
        "PacketSize=1024\n"
        "WaitAfterMessage=0\n"
        "[FilePath]\n"
        "Binary=/b/\n"
        "Text=/t/\n"
        "[ColorDialog]\n"
        "ColorA=FFFFFF\n"
        "ColorP=00FF00\n"
        "[MidiMonitor]\n"
        "Top=0\n"
        "Left=0\n"
        "Height=460\n"
        "Width=820\n"
        "WallClock=0\n"
        "RecordSent=0\n"
        "MemoLines=1000000\n");
}

TEST(MainSettings, WithoutAPortOrColoursThoseKeysKeepWhatTheFileHeld)
{
    QTemporaryDir dir;
    TIniFile ini = LoadText(dir, "[Midi]\nOutDeviceName=Old Synth\n[ColorDialog]\nColorA=123456\n");
    TMainSettings s;
    s.ColorDialogEntries.clear();
    s.HasOutDeviceName = false;
    WriteMainSettings(ini, s);
    const QString text = SavedText(ini);
    EXPECT_TRUE(text.startsWith("[Midi]\nOutDeviceName=Old Synth\nInDeviceName=MIDI入力なし\nChannel=1\n[ColorDialog]\nColorA=123456\n[FormMain]\n"))
        << text.toStdString();
}

TEST(MainSettings, HandMadeColourKeysSurviveARoundTrip)
{
    TIniFile ini = LoadText("[ColorDialog]\nCustom1=ABCDEF\nColorB=010203\n");
    const TMainSettings read = ReadMainSettings(ini, Screen, ProgramFolder);
    EXPECT_EQ(read.ColorDialogEntries, QStringList({"Custom1=ABCDEF", "ColorB=010203"}));
    WriteMainSettings(ini, read);
    EXPECT_EQ(ReadMainSettings(ini, Screen, ProgramFolder).ColorDialogEntries, read.ColorDialogEntries);
    EXPECT_EQ(ini.SectionEntries("ColorDialog"), (QList<QPair<QString, QString>>{{"Custom1", "ABCDEF"}, {"ColorB", "010203"}}));
}

TEST(MainSettings, WhatIsWrittenReadsBackUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("round.ini");
    TMainSettings s;
    s.Top = 300;
    s.Left = 200;
    s.Height = 500;
    s.Width = 700;
    s.ShowHint = false;
    s.DrumListName = "GM（日本語）";
    s.DrumFont = {"Noto Sans CJK JP", 11, 0, true, true};
    s.DrumBackColor = 0x123456;
    s.BinaryFont = {"Monospace", 10, 255, true, false};
    s.HasOutDeviceName = true;
    s.OutDeviceName = "FluidSynth";
    s.InDeviceName = "Keyboard";
    s.Channel = 10;
    s.Transpose = -60;
    s.OnVelocity = 1;
    s.OffVelocity = 2;
    s.ChannelPressure = 3;
    s.PolyPressure = 4;
    s.MinimumValue = 0;
    s.Program = 5;
    s.Modulation = 6;
    s.Breath = 7;
    s.Foot = 8;
    s.PortamentoTime = 9;
    s.Volume = 10;
    s.Panpot = 11;
    s.Expression = 12;
    s.Effect1 = 13;
    s.Effect3 = 14;
    s.Effect4 = 15;
    s.Hold1 = s.Portamento = s.Sostenuto = s.Soft = s.Mono = true;
    s.PitchBendRange = 24;
    s.MasterFineTune = 8192;
    s.MasterCoarseTune = -64;
    s.Interval = 5;
    s.PacketSize = 2048;
    s.WaitAfterMessage = 2500;
    s.BinaryFolder = "/data/syx/";
    s.TextFolder = "/data/txt/";
    s.ColorDialogEntries = {"ColorA=FFFFFF"};
    s.Monitor = {10, 20, 300, 400, {80, 60, 40, 40, 100, 250, 150}, {1, 0, 2, 3, 4, 6, 5}, true, true, 12};
    TIniFile ini = TIniFile::Load(path);
    WriteMainSettings(ini, s);
    ASSERT_TRUE(ini.Save(nullptr));
    EXPECT_EQ(ReadMainSettings(TIniFile::Load(path), Screen, ProgramFolder), s);
}

struct TListCase {
    const char* Name;
    QByteArray File;
    int (*Field)(const TProgramListSettings&);
    int Expected;
};

class ProgramListSettingsRead : public testing::TestWithParam<TListCase> {};

TEST_P(ProgramListSettingsRead, ChecksEveryValue)
{
    const TListCase& c = GetParam();
    EXPECT_EQ(c.Field(ReadProgramListSettings(LoadText(c.File), Screen)), c.Expected);
}

int ListTop(const TProgramListSettings& s) { return s.Top; }
int ListLeft(const TProgramListSettings& s) { return s.Left; }
int ListHeight(const TProgramListSettings& s) { return s.Height; }
int ListWidth(const TProgramListSettings& s) { return s.Width; }
int ListColumns(const TProgramListSettings& s) { return s.Columns; }
int ListCharacterSet(const TProgramListSettings& s) { return s.Font.CharacterSet; }

const TListCase ListCases[] = {
    {"NoTopGivesDesktopTopPlus200", "", ListTop, 0},
    {"NoLeftGivesDesktopLeftPlus200", "", ListLeft, -1080},
    {"TopBelowScreen", "[FormProgramList]\nTop=925\n", ListTop, 0},
    {"TopKept", "[FormProgramList]\nTop=924\n", ListTop, 924},
    {"LeftPastScreen", "[FormProgramList]\nLeft=1181\n", ListLeft, -1080},
    {"HeightFits", "[FormProgramList]\nTop=800\nHeight=224\n", ListHeight, 224},
    {"HeightPastBottom", "[FormProgramList]\nTop=800\nHeight=225\n", ListHeight, 300},
    {"HeightCheckedAgainstCorrectedTop", "[FormProgramList]\nTop=5000\nHeight=1000\n", ListHeight, 1000},
    {"WidthFits", "[FormProgramList]\nLeft=1000\nWidth=280\n", ListWidth, 280},
    {"WidthPastRight", "[FormProgramList]\nLeft=1000\nWidth=281\n", ListWidth, 600},
    {"WidthCheckedAgainstCorrectedLeft", "[FormProgramList]\nLeft=5000\nWidth=2000\n", ListWidth, 2000},
    {"Columns0", "[FormProgramList]\nColumns=0\n", ListColumns, 3},
    {"Columns9", "[FormProgramList]\nColumns=9\n", ListColumns, 3},
    {"Columns5", "[FormProgramList]\nColumns=5\n", ListColumns, 5},
    {"CharacterSet256", "[FormProgramList]\nCharacterSet=256\n", ListCharacterSet, 128},
};

INSTANTIATE_TEST_SUITE_P(Table, ProgramListSettingsRead, testing::ValuesIn(ListCases),
    [](const testing::TestParamInfo<TListCase>& info) { return std::string(info.param.Name); });

TEST(ProgramListSettings, WritesItsSectionInOrderAndReadsItBack)
{
    QTemporaryDir dir;
    TIniFile ini = LoadText(dir, "[FormMain]\nTop=1\n");
    TProgramListSettings s;
    s.Top = 10;
    s.Left = 20;
    s.Height = 400;
    s.Width = 500;
    s.ListName = "GM (English)";
    s.Font = {"ＭＳ Ｐゴシック", 12, 128, true, false};
    s.Columns = 4;
    WriteProgramListSettings(ini, s);
    EXPECT_EQ(SavedText(ini),
        "[FormMain]\nTop=1\n"
        "[FormProgramList]\n"
        "Top=10\n"
        "Left=20\n"
        "Height=400\n"
        "Width=500\n"
        "ListName=GM (English)\n"
        "FontName=ＭＳ Ｐゴシック\n"
        "FontSize=12\n"
        "CharacterSet=128\n"
        "FontBold=1\n"
        "FontItalic=0\n"
        "Columns=4\n");
    EXPECT_EQ(ReadProgramListSettings(ini, Screen), s);
    EXPECT_EQ(ReadProgramListSettings(TIniFile(), Screen).ListName, "NotDefined");
}

}  // namespace
