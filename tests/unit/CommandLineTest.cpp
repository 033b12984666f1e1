// The command line: questions answered on the terminal with no display, mistakes refused with
// status 2, and a settings file whose name starts with "-" still reachable after "--".
#include "CommandLine.h"
#include "KelvaneFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TReadCase {
    QStringList Arguments;
    TCommandAction Action;
    QString SettingsFile;
    QString Refused;
};

void PrintTo(const TReadCase& c, std::ostream* out) { *out << c.Arguments.join(' ').toStdString(); }

class ReadCommandLineCases : public ::testing::TestWithParam<TReadCase> {};

TEST_P(ReadCommandLineCases, ActionSettingsFileAndRefusal)
{
    const TCommandLine line = ReadCommandLine(GetParam().Arguments);
    EXPECT_EQ(line.Action, GetParam().Action);
    EXPECT_EQ(line.SettingsFile, GetParam().SettingsFile);
    EXPECT_EQ(line.Refused, GetParam().Refused);
}

using A = TCommandAction;
INSTANTIATE_TEST_SUITE_P(
    Cases, ReadCommandLineCases,
    ::testing::Values(TReadCase{{}, A::OpenWindow, "", ""},
                      TReadCase{{"studio.ini"}, A::OpenWindow, "studio.ini", ""},
                      TReadCase{{"/tmp/a b.ini"}, A::OpenWindow, "/tmp/a b.ini", ""},
                      TReadCase{{"--help"}, A::ShowUsage, "", ""},
                      TReadCase{{"-h"}, A::ShowUsage, "", ""},
                      TReadCase{{"--version"}, A::ShowVersion, "", ""},
                      TReadCase{{"--list-ports"}, A::ListPorts, "", ""},
                      TReadCase{{"--version", "--help"}, A::ShowUsage, "", ""},
                      TReadCase{{"studio.ini", "--list-ports"}, A::ListPorts, "studio.ini", ""},
                      // Anything else that looks like an option is a mistake, Qt's own included.
                      TReadCase{{"--helps"}, A::Refuse, "", "--helps"},
                      TReadCase{{"-platform", "offscreen"}, A::Refuse, "offscreen", "-platform"},
                      TReadCase{{"-"}, A::Refuse, "", "-"},
                      TReadCase{{"--bogus", "--help"}, A::Refuse, "", "--bogus"},
                      TReadCase{{"a.ini", "b.ini"}, A::Refuse, "a.ini", "b.ini"},
                      // After "--" every argument is a file's name.
                      TReadCase{{"--", "-mine.ini"}, A::OpenWindow, "-mine.ini", ""},
                      TReadCase{{"--", "--help"}, A::OpenWindow, "--help", ""},
                      TReadCase{{"--", "--"}, A::OpenWindow, "--", ""},
                      TReadCase{{"--", "a.ini", "-b.ini"}, A::Refuse, "a.ini", "-b.ini"}));

// The program itself, in a folder of its own, with no display to connect to.
struct TRun {
    int Code = -1;
    QString Out;
    QString Err;
};

class CommandLineProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        ASSERT_TRUE(QFile::copy(QStringLiteral(KELVANE_BINARY), Program()));
    }
    QString Program() const { return Folder.filePath("kelvane"); }
    TRun Run(const QStringList& arguments, const QString& language = "ja_JP.UTF-8")
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "KELVANE_LANG", "LC_ALL", "LC_MESSAGES"})
            environment.remove(name);
        environment.insert("LANG", language);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(Program(), arguments);
        TRun run;
        if (!process.waitForFinished(60000))
            return run;
        run.Code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.Out = QString::fromUtf8(process.readAllStandardOutput());
        run.Err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    QTemporaryDir Folder;
};

TEST_F(CommandLineProgram, HelpPrintsTheUsageInJapaneseOrEnglish)
{
    for (const char* option : {"--help", "-h"}) {
        const TRun run = Run({option});
        EXPECT_EQ(run.Code, 0) << run.Err.toStdString();
        EXPECT_TRUE(run.Out.startsWith(QString::fromUtf8("使い方: kelvane [設定ファイル]\n"))) << run.Out.toStdString();
        EXPECT_EQ(run.Err, "");
    }
    const TRun english = Run({"--help"}, "en_GB.UTF-8");
    EXPECT_EQ(english.Code, 0) << english.Err.toStdString();
    EXPECT_TRUE(english.Out.startsWith("Usage: kelvane [settings-file]\n")) << english.Out.toStdString();
    for (const TRun& run : {Run({"--help"}), english}) {
        for (const char* word : {"--list-ports", "--version", "--help", " -- ", "KELVANE_LANG", "KELVANE_MIDI_API",
                                 "KELVANE_SOUNDFONT", "KELVANE_AUDIO_DRIVER", "KELVANE_DEBUG"})
            EXPECT_TRUE(run.Out.contains(word)) << word;
    }
}

TEST_F(CommandLineProgram, VersionPrintsTheVersion)
{
    const TRun run = Run({"--version"});
    EXPECT_EQ(run.Code, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "Kelvane " KELVANE_VERSION "\n");
}

TEST_F(CommandLineProgram, MistakesAreRefusedInOneLineWithStatusTwo)
{
    const TRun option = Run({"--bogus"});
    EXPECT_EQ(option.Code, 2);
    EXPECT_EQ(option.Out, "");
    EXPECT_EQ(option.Err, QString::fromUtf8("kelvane: --bogus というオプションはありません（使い方は kelvane --help）\n"));
    const TRun english = Run({"--bogus"}, "en_US.UTF-8");
    EXPECT_EQ(english.Code, 2);
    EXPECT_EQ(english.Err, "kelvane: unknown option --bogus (see kelvane --help)\n");
    const TRun two = Run({"a.ini", "b.ini"}, "en_US.UTF-8");
    EXPECT_EQ(two.Code, 2);
    EXPECT_EQ(two.Err, "kelvane: only one settings file can be given: b.ini (see kelvane --help)\n");
}

TEST_F(CommandLineProgram, AnswersLeaveNoFileBehind)
{
    for (const QStringList& arguments : {QStringList{"--help"}, QStringList{"--version"}, QStringList{"-x"}})
        Run(arguments);
    EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kelvane"});
}

// The window takes the settings file named after "--", whatever its first character.
TEST(CommandLineWindow, SettingsFileStartingWithADashAfterTheEnd)
{
    TFixtureOptions options;
    options.Arguments = WindowArguments(ReadCommandLine(QStringList{"--", "-mine.ini"}));
    options.OpenPort = false;  // no settings file before: the window writes it as it closes
    TKelvaneFixture f(options);
    EXPECT_EQ(f.Main().windowTitle(), "Kelvane - -mine.ini");
    ASSERT_FALSE(QFile::exists(f.Folder() + "-mine.ini"));
    f.CloseWindow();
    EXPECT_TRUE(QFile::exists(f.Folder() + "-mine.ini"));
    EXPECT_FALSE(QFile::exists(f.Folder() + "kelvane.ini"));
}

} // namespace
