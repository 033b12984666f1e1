// The INI reader and writer shared by the settings file, note.ini and program.ini.
#include "IniFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

TIniFile LoadText(const QByteArray& bytes)
{
    QTemporaryDir dir;
    return TIniFile::Load(WriteFile(dir, "test.ini", bytes));
}

struct TReadCase {
    const char* Name;
    QByteArray File;
    const char* Section;
    const char* Key;
    int Default;
    int Expected;
};

class IniReadInteger : public testing::TestWithParam<TReadCase> {};

TEST_P(IniReadInteger, GivesValueOrDefault)
{
    const TReadCase& c = GetParam();
    EXPECT_EQ(LoadText(c.File).ReadInteger(c.Section, c.Key, c.Default), c.Expected);
}

const TReadCase IntegerCases[] = {
    {"Decimal", "[ControlChange]\nVolume=64\n", "ControlChange", "Volume", 100, 64},
    {"SectionAndKeyIgnoreCase", "[ControlChange]\nVOLUME=64\n", "controlCHANGE", "volume", 100, 64},
    {"FirstOfTwoKeys", "[S]\nA=1\na=2\n", "S", "A", 9, 1},
    {"FirstOfTwoSectionsOnly", "[S]\nA=1\n[s]\nB=3\n", "S", "B", 9, 9},
    {"FirstOfTwoSectionsValue", "[S]\nA=1\n[s]\nA=2\n", "S", "A", 9, 1},
    {"BlanksAroundKeyAndValue", "[S]\n  A \t=\t 64  \n", "S", "A", 9, 64},
    {"BlanksAroundSectionName", "[ S ]\nA=5\n", "S", "A", 9, 5},
    {"DollarHex", "[S]\nA=$40\n", "S", "A", 100, 64},
    {"DollarHexLowercase", "[S]\nA=$ff\n", "S", "A", 100, 255},
    {"ZeroXHex", "[S]\nA=0x40\n", "S", "A", 100, 64},
    {"ZeroXUpperHex", "[S]\nA=0X7f\n", "S", "A", 100, 127},
    {"ZeroXAlone", "[S]\nA=0x\n", "S", "A", 100, 100},
    {"DollarAlone", "[S]\nA=$\n", "S", "A", 100, 100},
    {"BadHexDigit", "[S]\nA=0x4G\n", "S", "A", 100, 100},
    {"Letters", "[S]\nA=abc\n", "S", "A", 100, 100},
    {"Negative", "[S]\nA=-300\n", "S", "A", 0, -300},
    {"Plus", "[S]\nA=+12\n", "S", "A", 0, 12},
    {"TrailingJunk", "[S]\nA=12abc\n", "S", "A", 100, 100},
    {"InnerBlank", "[S]\nA=1 2\n", "S", "A", 100, 100},
    {"Empty", "[S]\nA=\n", "S", "A", 100, 100},
    {"MaxInt", "[S]\nA=2147483647\n", "S", "A", 0, 2147483647},
    {"MinInt", "[S]\nA=-2147483648\n", "S", "A", 0, -2147483647 - 1},
    {"Overflow", "[S]\nA=2147483648\n", "S", "A", 7, 7},
    {"HugeOverflow", "[S]\nA=99999999999999999999\n", "S", "A", 7, 7},
    {"HexOverflow", "[S]\nA=$80000000\n", "S", "A", 7, 7},
    {"MissingKey", "[S]\nA=1\n", "S", "B", 7, 7},
    {"MissingSection", "[S]\nA=1\n", "T", "A", 7, 7},
    {"KeyBeforeAnySection", "A=1\n[S]\nB=2\n", "S", "A", 7, 7},
    {"KeyOfNextSectionNotSeen", "[S]\n[T]\nA=1\n", "S", "A", 7, 7},
    {"SemicolonComment", "[S]\n;A=5\nA=6\n", "S", "A", 7, 6},
    {"HashComment", "[S]\n  #A=5\nA=6\n", "S", "A", 7, 6},
    {"CrLf", "[S]\r\nA=1\r\nB=2\r\n", "S", "B", 7, 2},
    {"CrOnly", "[S]\rA=1\rB=2", "S", "B", 7, 2},
    {"MixedBreaks", "[T]\nX=0\r[S]\r\nA=1\n\rB=2", "S", "B", 7, 2},
    {"SectionLineWithoutClose", "[S]\nA=1\n[T\nB=2\n", "S", "B", 7, 2},
};

INSTANTIATE_TEST_SUITE_P(Table, IniReadInteger, testing::ValuesIn(IntegerCases),
    [](const testing::TestParamInfo<TReadCase>& info) { return std::string(info.param.Name); });

struct TStringCase {
    const char* Name;
    QByteArray File;
    const char* Section;
    const char* Key;
    QString Expected;
};

class IniReadString : public testing::TestWithParam<TStringCase> {};

TEST_P(IniReadString, GivesValueOrDefault)
{
    const TStringCase& c = GetParam();
    EXPECT_EQ(LoadText(c.File).ReadString(c.Section, c.Key, "<default>"), c.Expected);
}

const TStringCase StringCases[] = {
    {"AfterFirstEquals", "[S]\nName = a = b \n", "S", "name", "a = b"},
    {"EmptyValueIsNotDefault", "[S]\nName=\n", "S", "Name", ""},
    {"MissingKey", "[S]\nName=x\n", "S", "Other", "<default>"},
    {"OnlyTabsAndSpacesTrimmed", "[S]\nName=\xE3\x80\x80x\xE3\x80\x80\n", "S", "Name", QString::fromUtf8("\u3000x\u3000")},
    {"Utf8WithBom", "\xEF\xBB\xBF[ドラム]\n名前=バスドラム\n", "ドラム", "名前", "バスドラム"},
    {"Utf8WithoutBom", "[GM（日本語）]\n035=アコースティック・バスドラム\n", "GM（日本語）", "035", "アコースティック・バスドラム"},
    {"NameCaseBeyondAscii", "[Ärger]\nÉtat=x\n", "ärger", "éTAT", "x"},
    // Letter by letter: a file may hold both of these keys, and each keeps its own value.
    {"OneLetterNeverMatchesTwo", "[S]\nstraße=x\n", "S", "STRASSE", "<default>"},
    {"LetterWhoseCapitalIsTwoLetters", "[S]\n\u0149=x\n", "S", "\u02BCN", "<default>"},
    {"DotlessIIsNotI", "[S]\n\u0131=x\n", "S", "i", "<default>"},
    {"NulInsideValue", QByteArray("[S]\nA=x\0y\n", 11), "S", "A", QString::fromLatin1("x\0y", 3)},
};

INSTANTIATE_TEST_SUITE_P(Table, IniReadString, testing::ValuesIn(StringCases),
    [](const testing::TestParamInfo<TStringCase>& info) { return std::string(info.param.Name); });

struct TBoolCase {
    const char* Name;
    const char* Value;  // nullptr: key missing
    bool Default;
    bool Expected;
};

class IniReadBool : public testing::TestWithParam<TBoolCase> {};

TEST_P(IniReadBool, ReadsAnIntegerWithDefaultOneOrZero)
{
    const TBoolCase& c = GetParam();
    const QByteArray file = c.Value ? QByteArray("[S]\nB=") + c.Value + "\n" : QByteArray("[S]\n");
    EXPECT_EQ(LoadText(file).ReadBool("S", "B", c.Default), c.Expected);
}

const TBoolCase BoolCases[] = {
    {"One", "1", false, true},
    {"Zero", "0", true, false},
    {"Two", "2", false, true},
    {"MinusOne", "-1", false, true},
    {"HexZero", "$0", true, false},
    {"LettersKeepTrue", "yes", true, true},
    {"LettersKeepFalse", "true", false, false},
    {"EmptyKeepsTrue", "", true, true},
    {"MissingKeepsTrue", nullptr, true, true},
    {"MissingKeepsFalse", nullptr, false, false},
};

INSTANTIATE_TEST_SUITE_P(Table, IniReadBool, testing::ValuesIn(BoolCases),
    [](const testing::TestParamInfo<TBoolCase>& info) { return std::string(info.param.Name); });

TEST(IniFile, ValueIsCutAt2047BytesAsStoredInTheFile)
{
    const QByteArray ascii = "[S]\nA=" + QByteArray(3000, 'x') + "\n";
    EXPECT_EQ(LoadText(ascii).ReadString("S", "A", {}), QString(2047, u'x'));

    // 1000 three-byte characters: 2047 bytes end inside the 683rd, which is left out whole.
    QString kana;
    for (int i = 0; i < 1000; ++i)
        kana += u'あ';
    const QByteArray utf8 = "[S]\nA=" + kana.toUtf8() + "\n";
    EXPECT_EQ(LoadText(utf8).ReadString("S", "A", {}), kana.left(682));

    // Shift-JIS: 1500 two-byte characters; 2047 bytes hold 1023 whole ones.
    QByteArray sjis = "[S]\nA=";
    for (int i = 0; i < 1500; ++i)
        sjis += QByteArray::fromHex("8341");  // ア
    QString expected;
    for (int i = 0; i < 1023; ++i)
        expected += u'ア';
    EXPECT_EQ(LoadText(sjis).ReadString("S", "A", {}), expected);
}

TEST(IniFile, ReadsShiftJisFilesFromOlderVersions)
{
    const QByteArray file = "[" + QByteArray::fromHex("836883898380816993FA967B8CEA816A") + "]\r\n"  // ドラム（日本語）
        + "035=" + QByteArray::fromHex("83418352815B8358836583428362834E8145836F8358836883898380") + "\r\n"
        + "036=" + QByteArray::fromHex("836F8358836883898380") + "1\r\n"  // バスドラム1
        + "Range=0" + QByteArray::fromHex("8160") + "127\r\n"  // 0～127 with the code page 932 tilde
        + "[" + QByteArray::fromHex("835D") + "]\r\n"  // ゾ, whose second byte is ']'
        + "A=1\r\n";
    const TIniFile ini = LoadText(file);
    EXPECT_EQ(ini.Sections(), QStringList({"ドラム（日本語）", "ゾ"}));
    EXPECT_EQ(ini.ReadString("ドラム（日本語）", "035", {}), "アコースティック・バスドラム");
    EXPECT_EQ(ini.ReadString("ドラム（日本語）", "036", {}), "バスドラム1");
    EXPECT_EQ(ini.ReadString("ドラム（日本語）", "Range", {}), QString::fromUtf8("0\uFF5E127"));
    EXPECT_EQ(ini.ReadInteger("ゾ", "A", 0), 1);
}

// A lead byte with no second byte after it is no character; it must not vanish, or "037=" + lead
// byte reads as no name and a key of one lead byte as no key at all, also once saved as UTF-8.
TEST(IniFile, ShiftJisLeadByteWithoutItsSecondByteIsAReplacementCharacter)
{
    const QByteArray file = "[S]\r\n037=" + QByteArray::fromHex("8341") + QByteArray::fromHex("81") + "\r\n"
        + QByteArray::fromHex("82") + "=x\r\n";
    const QList<QPair<QString, QString>> expected = {{"037", QString::fromUtf8("ア\uFFFD")},
                                                     {QString::fromUtf8("\uFFFD"), "x"}};
    EXPECT_EQ(LoadText(file).SectionEntries("S"), expected);

    // Written back as UTF-8, the file reads the same.
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "old.ini", file);
    TIniFile ini = TIniFile::Load(path);
    ini.WriteInteger("S", "N", 1);
    ASSERT_TRUE(ini.Save(nullptr));
    const auto again = TIniFile::Load(path).SectionEntries("S");
    EXPECT_EQ(again, (expected + QList<QPair<QString, QString>>({{"N", "1"}})));
}

// U+FEFF inside the file is a character like any other; only the file's first bytes are its mark.
TEST(IniFile, ByteOrderMarkCharacterInAKeyOrValueIsKept)
{
    const TIniFile ini = LoadText("\xEF\xBB\xBF[S]\n\xEF\xBB\xBF=1\nA=\xEF\xBB\xBFx\n");
    const QChar mark(0xFEFF);  // not fromUtf8, which would drop it here too
    const QList<QPair<QString, QString>> expected = {{QString(mark), "1"}, {"A", mark + QString("x")}};
    EXPECT_EQ(ini.SectionEntries("S"), expected);
}

TEST(IniFile, SectionsAndEntriesKeepFileOrderAndFirstSpelling)
{
    const TIniFile ini = LoadText("; list\n[Beta]\nz=1\nA=2\nZ=3\n;c=4\nb=\n[alpha]\n[BETA]\nq=5\n[]\nx=1\n");
    EXPECT_EQ(ini.Sections(), QStringList({"Beta", "alpha"}));
    EXPECT_TRUE(ini.SectionExists("ALPHA"));
    EXPECT_FALSE(ini.SectionExists("gamma"));
    const QList<QPair<QString, QString>> entries = {{"z", "1"}, {"A", "2"}, {"b", ""}};
    EXPECT_EQ(ini.SectionEntries("beta"), entries);
    EXPECT_TRUE(ini.SectionEntries("gamma").isEmpty());
}

TEST(IniFile, MissingFileReadsAsEmptyAndRemembersItsPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("none.ini");
    const TIniFile ini = TIniFile::Load(path);
    EXPECT_EQ(ini.Path(), path);
    EXPECT_TRUE(ini.Sections().isEmpty());
    EXPECT_EQ(ini.ReadInteger("Midi", "Channel", 1), 1);
    EXPECT_EQ(ini.ReadString("Midi", "InDeviceName", "x"), "x");
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(IniFile, FoldersAndPipesReadAsEmpty)
{
    QTemporaryDir dir;
    EXPECT_TRUE(TIniFile::Load(dir.path()).Sections().isEmpty());
    const QString pipe = dir.filePath("pipe.ini");
    ASSERT_EQ(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    EXPECT_TRUE(TIniFile::Load(pipe).Sections().isEmpty());  // returns at once, no writer needed
}

TEST(IniFile, WritingKeepsEveryLineItDoesNotOwn)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "keep.ini",
        "; kelvane settings\n"
        "[Other]\n"
        "Foo = bar\n"
        "# note\n"
        "\n"
        "[FormMain]\n"
        "  TOP = 10\n"
        "; keep me\n"
        "Left=20\n"
        "Top=30\n"
        "\n"
        "[Midi]\n"
        "Channel=3");
    TIniFile ini = TIniFile::Load(path);
    ini.WriteInteger("FormMain", "Top", 50);
    ini.WriteInteger("formmain", "Width", 700);
    ini.WriteString("Midi", "InDeviceName", "MIDI入力なし");
    ini.WriteBool("NewSection", "Flag", true);
    ini.WriteInteger("Midi", "Channel", 16);
    ini.WriteInteger("Other", "Bar", -5);
    QString error;
    ASSERT_TRUE(ini.Save(&error)) << error.toStdString();
    EXPECT_EQ(QString::fromUtf8(ReadFile(path)),
        "; kelvane settings\n"
        "[Other]\n"
        "Foo = bar\n"
        "Bar=-5\n"
        "# note\n"
        "\n"
        "[FormMain]\n"
        "TOP=50\n"
        "; keep me\n"
        "Left=20\n"
        "Top=30\n"
        "Width=700\n"
        "\n"
        "[Midi]\n"
        "Channel=16\n"
        "InDeviceName=MIDI入力なし\n"
        "[NewSection]\n"
        "Flag=1\n");
}

TEST(IniFile, WritingKeepsLineBreaksAndByteOrderMark)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "crlf.ini", "\xEF\xBB\xBF[S]\r\nA=1\r\n");
    TIniFile ini = TIniFile::Load(path);
    ini.WriteString("S", "B", "ボ");
    ini.WriteString("T", "C", "x");
    ASSERT_TRUE(ini.Save(nullptr));
    EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBF[S]\r\nA=1\r\nB=ボ\r\n[T]\r\nC=x\r\n");

    const QString fresh = dir.filePath("fresh.ini");
    TIniFile created = TIniFile::Load(fresh);
    created.WriteString("S", "A", "line\r\nbreak");
    ASSERT_TRUE(created.Save(nullptr));
    EXPECT_EQ(ReadFile(fresh), "[S]\nA=line  break\n");
}

TEST(IniFile, ShiftJisFileIsWrittenBackAsUtf8)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "old.ini", "[S]\r\nName=" + QByteArray::fromHex("836F8358") + "\r\n; " + QByteArray::fromHex("8341") + "\r\n");
    TIniFile ini = TIniFile::Load(path);
    ini.WriteInteger("S", "N", 1);
    ASSERT_TRUE(ini.Save(nullptr));
    EXPECT_EQ(ReadFile(path), "[S]\r\nName=バス\r\nN=1\r\n; ア\r\n");
    EXPECT_EQ(TIniFile::Load(path).ReadString("S", "Name", {}), "バス");
}

TEST(IniFile, ReadsBackWhatItWrote)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("round.ini");
    TIniFile ini = TIniFile::Load(path);
    ini.WriteString("FormMain", "DrumFontName", "ＭＳ Ｐゴシック");
    ini.WriteInteger("ControlChange", "MasterFineTune", -8192);
    ini.WriteBool("FormMain", "ShowHint", false);
    // Reads see the writes before saving too.
    EXPECT_EQ(ini.ReadInteger("ControlChange", "MasterFineTune", 0), -8192);
    ASSERT_TRUE(ini.Save(nullptr));
    const TIniFile back = TIniFile::Load(path);
    EXPECT_EQ(back.ReadString("FormMain", "DrumFontName", {}), "ＭＳ Ｐゴシック");
    EXPECT_EQ(back.ReadInteger("ControlChange", "MasterFineTune", 0), -8192);
    EXPECT_FALSE(back.ReadBool("FormMain", "ShowHint", true));
}

TEST(IniFile, SaveIntoAFolderThatCannotExistFails)
{
    QTemporaryDir dir;
    const QString parent = WriteFile(dir, "plain-file", "not a folder");
    TIniFile ini = TIniFile::Load(parent + "/settings.ini");
    ini.WriteInteger("Midi", "Channel", 2);
    QString error;
    EXPECT_FALSE(ini.Save(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFile(parent), "not a folder");
}

// A save that fails part way must leave the old file as it was. The file size limit stops the
// write as it would a full disk, and unlike permissions it also holds for root.
TEST(IniFile, FailedSaveLeavesTheOldFileUnchanged)
{
    QTemporaryDir dir;
    const QByteArray old = "[FormMain]\nTop=10\n";
    const QString path = WriteFile(dir, "settings.ini", old);
    TIniFile ini = TIniFile::Load(path);
    ini.WriteString("FormMain", "Long", QString(4096, u'x'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool saved_ok = ini.Save(&error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"settings.ini"}));  // no temporary left
}

// Junk of every kind loads at once, reads as defaults where nothing can be read, and is never
// touched by reading.
class IniHugeFile : public testing::TestWithParam<const char*> {};

QByteArray HugeContent(const std::string& kind)
{
    constexpr qsizetype size = 100 * 1024 * 1024;
    QByteArray data;
    if (kind == "Garbage") {
        data.resize(size);
        QRandomGenerator random(42);
        random.fillRange(reinterpret_cast<quint32*>(data.data()), size / 4);
    } else if (kind == "Nul") {
        data = QByteArray(size, '\0');
    } else if (kind == "LongLines") {
        const QByteArray line = "[S]\nA=" + QByteArray(100 * 1024, 'x') + "\n";
        data.reserve(size + line.size());
        while (data.size() < size)
            data += line;
    } else if (kind == "ShortLines") {
        data.reserve(size);
        data += "[S]\n";
        while (data.size() < size)
            data += "k=v\n";
    }
    // Invalid UTF-8 and a readable section at the very end.
    return data + "\xFF\xFE\n[Midi]\nChannel=5\n";
}

TEST_P(IniHugeFile, LoadsWithDefaultsAndLeavesTheFileAlone)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "huge.ini", HugeContent(GetParam()));
    const qint64 sizeBefore = QFileInfo(path).size();
    const QDateTime modifiedBefore = QFileInfo(path).lastModified();

    const TIniFile ini = TIniFile::Load(path);
    EXPECT_EQ(ini.ReadInteger("Midi", "Channel", 1), 5);
    EXPECT_EQ(ini.ReadInteger("ControlChange", "Volume", 100), 100);
    EXPECT_EQ(ini.ReadString("FormMain", "DrumListName", "NotDefined"), "NotDefined");
    if (std::string(GetParam()) == "LongLines") {
        EXPECT_EQ(ini.ReadString("S", "A", {}), QString(2047, u'x'));
    }

    EXPECT_EQ(QFileInfo(path).size(), sizeBefore);
    EXPECT_EQ(QFileInfo(path).lastModified(), modifiedBefore);
}

INSTANTIATE_TEST_SUITE_P(Kinds, IniHugeFile, testing::Values("Garbage", "Nul", "LongLines", "ShortLines"),
    [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
