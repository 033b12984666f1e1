// The program started from a terminal with no MIDI service to find: the libraries' complaints
// stay out of the terminal, and KELVANE_DEBUG=1 brings them back through Kelvane's log.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct TRun {
    QByteArray Out;
    QByteArray Err;
    int Code = -1;
};

TRun ListPorts(bool debug)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // JACK is asked for a server that is not there, so it always has something to say.
    environment.insert("KELVANE_MIDI_API", "jack");
    environment.insert("JACK_DEFAULT_SERVER", "kelvane-test-no-such-server");
    environment.insert("JACK_NO_START_SERVER", "1");
    environment.remove("KELVANE_DEBUG");
    if (debug)
        environment.insert("KELVANE_DEBUG", "1");
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KELVANE_BINARY), {QStringLiteral("--list-ports")});
    TRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    run.Code = process.exitCode();
    return run;
}

TEST(CleanTerminal, LibraryMessagesStayOutOfTheTerminal)
{
    const TRun run = ListPorts(false);
    ASSERT_EQ(run.Code, 0);
    EXPECT_TRUE(run.Out.startsWith("Output ports:\nKelvane MIDI Mapper\n")) << run.Out.toStdString();
    EXPECT_EQ(run.Err, QByteArray()) << run.Err.toStdString();
}

TEST(CleanTerminal, DebugShowsThemThroughKelvanesLog)
{
    const TRun run = ListPorts(true);
    ASSERT_EQ(run.Code, 0);
    EXPECT_TRUE(run.Err.contains("kelvane: JACK: ")) << run.Err.toStdString();
    for (const QByteArray& line : run.Err.split('\n')) {
        if (!line.isEmpty()) {
            EXPECT_TRUE(line.startsWith("kelvane: ")) << line.toStdString();
        }
    }
}

} // namespace
