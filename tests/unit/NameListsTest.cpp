// Drum pad names from note.ini, program lines from program.ini, where the two files are found, and
// the two files the program ships.
#include "IniFile.h"
#include "NameLists.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TIniFile LoadText(const QByteArray& bytes)
{
    QTemporaryDir dir;
    return TIniFile::Load(WriteFile(dir.filePath("list.ini"), bytes));
}

QString DataFolder()
{
    return QFileInfo(QString::fromUtf8(__FILE__)).dir().filePath("../../data");
}

TEST(NameLists, DrumPadsWithoutANameShowTheirNumber)
{
    const TIniFile ini = LoadText("[Kit]\n035=\n036=Kick\n 037 = Side Stick \n126=Applause\n36=Not three digits\n"
                                  "[kit]\n038=Later section\n");
    const QStringList names = DrumPadNames(ini, "KIT");
    ASSERT_EQ(names.size(), 128);
    EXPECT_EQ(names[0], "0");
    EXPECT_EQ(names[35], "35");
    EXPECT_EQ(names[36], "Kick");
    EXPECT_EQ(names[37], "Side Stick");
    EXPECT_EQ(names[38], "38");
    EXPECT_EQ(names[126], "Applause");
    EXPECT_EQ(names[127], "127");

    const QStringList none = DrumPadNames(TIniFile(), "Kit");
    ASSERT_EQ(none.size(), 128);
    for (int note = 0; note < 128; ++note)
        EXPECT_EQ(none[note], QString::number(note));
}

TEST(NameLists, ProgramLinesSkipEmptyValuesAndRepeatedKeys)
{
    const TIniFile ini = LoadText("[Set]\n000=Piano\n001=Bright\n002=\n003=Organ\n000=Again\n ; comment\nx = y \n");
    EXPECT_EQ(ProgramListLines(ini, "set"), QStringList({"000=Piano", "001=Bright", "003=Organ", "x=y"}));
    EXPECT_TRUE(ProgramListLines(ini, "Missing").isEmpty());
}

TEST(NameLists, DataFilesAreFoundBesideTheProgramThenInShare)
{
    QTemporaryDir root;
    const QString bin = root.filePath("bin");
    QDir().mkpath(bin);
    const QString besideProgram = QDir(bin).filePath("note.ini");
    const QString installed = root.filePath("share/kelvane/note.ini");

    EXPECT_EQ(FindDataFile(bin, "note.ini"), besideProgram);
    WriteFile(installed, "[Kit]\n");
    EXPECT_EQ(QFileInfo(FindDataFile(bin + "/", "note.ini")).canonicalFilePath(), QFileInfo(installed).canonicalFilePath());
    WriteFile(besideProgram, "[Kit]\n");
    EXPECT_EQ(FindDataFile(bin, "note.ini"), besideProgram);
}

TEST(ShippedData, JapaneseListsComeFirst)
{
    const TIniFile note = TIniFile::Load(QDir(DataFolder()).filePath("note.ini"));
    const TIniFile program = TIniFile::Load(QDir(DataFolder()).filePath("program.ini"));
    ASSERT_FALSE(note.Sections().isEmpty());
    ASSERT_FALSE(program.Sections().isEmpty());
    EXPECT_EQ(note.Sections().first(), "GM（日本語）");
    EXPECT_EQ(program.Sections().first(), "GM（日本語）");
    EXPECT_TRUE(note.SectionExists("GM (English)"));
    EXPECT_TRUE(program.SectionExists("GM (English)"));
}

TEST(ShippedData, GeneralMidiDrumMapCoversNotes35To81)
{
    const TIniFile note = TIniFile::Load(QDir(DataFolder()).filePath("note.ini"));
    const QStringList japanese = DrumPadNames(note, "GM（日本語）");
    const QStringList english = DrumPadNames(note, "GM (English)");
    EXPECT_EQ(japanese[35], "アコースティック・バスドラム");
    EXPECT_EQ(english[35], "Acoustic Bass Drum");
    EXPECT_EQ(english[38], "Acoustic Snare");
    EXPECT_EQ(english[42], "Closed Hi Hat");
    EXPECT_EQ(english[56], "Cowbell");
    EXPECT_EQ(english[81], "Open Triangle");
    for (int n = 0; n < 128; ++n) {
        const bool named = n >= 35 && n <= 81;
        EXPECT_EQ(japanese[n] != QString::number(n), named) << n;
        EXPECT_EQ(english[n] != QString::number(n), named) << n;
    }
}

TEST(ShippedData, EveryProgramSetHolds128ProgramsInNumberOrder)
{
    const TIniFile program = TIniFile::Load(QDir(DataFolder()).filePath("program.ini"));
    for (const QString& section : program.Sections()) {
        const QStringList lines = ProgramListLines(program, section);
        ASSERT_EQ(lines.size(), 128) << section.toStdString();
        for (int n = 0; n < 128; ++n)
            EXPECT_TRUE(lines[n].startsWith(QStringLiteral("%1=").arg(n, 3, 10, QLatin1Char('0')))) << lines[n].toStdString();
    }
    const QStringList english = ProgramListLines(program, "GM (English)");
    EXPECT_EQ(english[0], "000=Acoustic Grand Piano");
    EXPECT_EQ(english[19], "019=Church Organ");
    EXPECT_EQ(english[56], "056=Trumpet");
    EXPECT_EQ(english[127], "127=Gunshot");
    EXPECT_EQ(ProgramListLines(program, "GM（日本語）")[0], "000=アコースティック・グランド・ピアノ");
}

}  // namespace
