// The input monitor in the running window, fed by a JACK client through a JACK server of our own
// (dummy driver, 48 kHz, 256 frames a cycle):
//   rate    the highest sustained rate of short messages shown with no overflow (queue 1024)
//   sysex   one 1 MiB system exclusive message, sent in pieces of at most 16 KiB
//   memory  resident memory after 1,000,000 monitor lines
//   goal    ten runs of 300,000 at 125,000/s and one of 1,000,000 at 100,000/s, none may overflow
//   holds   the highest rate at which ten runs of 300,000 all hold
//   window  with the MIDI monitor window open and following the newest row: the goal's ten runs
//           of 300,000 at 125,000/s, then 10,000,000 at 100,000/s with the anonymous memory
//           before and after, a filter change and a jump to the first row over them
// Usage: bench_monitor [rate] [sysex] [memory] [goal] [holds]   (the first three when none is
// named). The platform is QT_QPA_PLATFORM's (offscreen when unset); bench/monitor-xcb.sh runs
// it on xcb under xvfb-run.
#include "JackPeer.h"
#include "JackServer.h"
#include "GuiTest.h"
#include "KelvaneFixture.h"
#include "MidiMonitorWindow.h"
#include "MonitorWindow.h"
#include "platform/DeviceList.h"

#include <QApplication>
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTableView>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr double CyclesPerSecond = 48000.0 / 256.0;

// CPU time of the calling thread (the window thread here), in seconds.
double ThreadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKiB(const char* field = "VmRSS:")
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

class TBench {
public:
    bool Start()
    {
        if (!TJackServer::Available()) {
            std::printf("jackd is not installed\n");
            return false;
        }
        if (!Server.Start()) {
            std::printf("jackd did not start: %s\n", Server.Error().c_str());
            return false;
        }
        Peer = std::make_unique<TJackPeer>("kelvane-bench");
        if (!Peer->IsOpen()) {
            std::printf("peer: %s\n", Peer->Error().c_str());
            return false;
        }
        return Window.Open(TMidiApi::Jack, Peer->InputPortName(), Peer->OutputPortName(), false);
    }

    ~TBench()
    {
        Window.Close();
        Peer.reset();
        Server.Stop();
    }

    struct TRun {
        qint64 Shown = 0;          // lines in the memo
        qint64 Bytes = 0;          // ReceivedBytes
        long Overflows = 0;
        double SendSeconds = 0;    // until the peer had put everything into cycles
        double TotalSeconds = 0;   // until the window showed everything (or gave up)
        double WindowCpuSeconds = 0;  // the window thread's own share
    };

    using TMessageAt = std::function<std::vector<uint8_t>(size_t index)>;

    // Sends count messages at perCycle events a cycle (0: as many as fit), handing them to the
    // peer a slice at a time so that the sender's own queue stays small, and lets the window run
    // its event loop until it has received expectedBytes, an overflow happened and the sending
    // is over, or time is up.
    TRun Run(const TMessageAt& messageAt, size_t count, size_t perCycle, qint64 expectedBytes, int timeoutMs)
    {
        Window.Clear();
        Peer->SetEventsPerCycle(perCycle);
        const size_t slice = perCycle ? std::max<size_t>(1000, size_t(perCycle * CyclesPerSecond / 2)) : count;
        size_t next = 0;
        const auto feed = [&] {
            for (const size_t end = std::min(count, next + slice); next < end; ++next)
                Peer->Send(messageAt(next));
        };
        const double cpuBefore = ThreadCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        feed();
        TRun run;
        bool sent = false;
        // The window runs its own event loop, as the program does (blocking while idle, not
        // polling); a timer looks at the progress now and then.
        QEventLoop loop;
        QTimer look;
        look.setInterval(20);
        QObject::connect(&look, &QTimer::timeout, &loop, [&] {
            // Asking the peer takes the lock its process thread holds for a whole cycle: seldom.
            if (!sent && Peer->WaitUntilSent(0)) {
                if (next < count) {
                    feed();
                } else {
                    sent = true;
                    run.SendSeconds = clock.nsecsElapsed() / 1e9;
                }
            }
            const bool done = Window.Fixture->Monitor().ReceivedByteCount() >= expectedBytes;
            const bool lost = sent && Window.Overflows > 0 && clock.elapsed() > run.SendSeconds * 1000 + 500;
            if (done || lost || clock.elapsed() > timeoutMs)
                loop.quit();
        });
        look.start();
        loop.exec();
        look.stop();
        run.TotalSeconds = clock.nsecsElapsed() / 1e9;
        run.WindowCpuSeconds = ThreadCpuSeconds() - cpuBefore;
        QTest::qWait(100);  // the memo's last turn of the loop
        if (!sent)
            run.SendSeconds = run.TotalSeconds;
        const QString shown = Window.Fixture->Find<QPlainTextEdit>("MemoMidiIn")->toPlainText();
        run.Shown = shown.isEmpty() ? 0 : shown.count('\n') + 1;
        run.Bytes = Window.Fixture->Monitor().ReceivedByteCount();
        run.Overflows = Window.Overflows;
        return run;
    }

    // Note-ons that differ in channel, key and velocity.
    static std::vector<uint8_t> NoteAt(size_t i)
    {
        return {uint8_t(0x90 | (i % 16)), uint8_t(i / 16 % 128), uint8_t(i % 127 + 1)};
    }

    void Rate()
    {
        std::printf("\n== short messages at a steady rate for 3 s, queue capacity %u ==\n",
                    unsigned(Window.Fixture->Session().Input().Capacity()));
        std::printf("%10s %10s %10s %10s %10s %10s %14s\n", "rate/s", "sent", "shown", "overflows", "send s", "shown s",
                    "window us/msg");
        double best = 0;
        for (size_t perCycle : {267, 534, 667, 800, 1067, 1334, 1600, 2000, 2400}) {
            const double rate = perCycle * CyclesPerSecond;
            const size_t count = size_t(rate * 3);
            const TRun run = Run(NoteAt, count, perCycle, qint64(count) * 3, 20000);
            std::printf("%10.0f %10zu %10lld %10ld %10.2f %10.2f %14.2f\n", rate, count, run.Shown, run.Overflows,
                        run.SendSeconds, run.TotalSeconds,
                        run.WindowCpuSeconds * 1e6 / double(std::max<qint64>(1, run.Shown)));
            std::fflush(stdout);
            if (run.Overflows != 0 || run.Shown != qint64(count))
                break;
            best = rate;
        }
        std::printf("highest sustained rate shown whole: %.0f messages/s (goal >= 125000)\n", best);
    }

    // The goal on a real display: ten runs of 300,000 at 125,000/s and one of 1,000,000 at
    // 100,000/s with no overflow; then, rate by rate, whether ten runs of 300,000 hold.
    bool Runs(size_t perCycle, size_t count, int runs)
    {
        const double rate = perCycle * CyclesPerSecond;
        int held = 0;
        for (int n = 0; n < runs; ++n) {
            const TRun run = Run(NoteAt, count, perCycle, qint64(count) * 3, int(count / rate * 1000) + 20000);
            const bool whole = run.Overflows == 0 && run.Shown == qint64(count);
            held += whole;
            std::printf("%10.0f %10zu %10lld %10ld %10.2f %10.2f %14.2f %s\n", rate, count, run.Shown, run.Overflows,
                        run.SendSeconds, run.TotalSeconds,
                        run.WindowCpuSeconds * 1e6 / double(std::max<qint64>(1, run.Shown)), whole ? "" : "LOST");
            std::fflush(stdout);
        }
        std::printf("%.0f/s, %zu messages: %d of %d runs without loss\n", rate, count, held, runs);
        return held == runs;
    }

    void Goal()
    {
        std::printf("\n== the goal: 10 x 300,000 at 125,000/s, 1 x 1,000,000 at 100,000/s (%s) ==\n",
                    QGuiApplication::platformName().toUtf8().constData());
        std::printf("%10s %10s %10s %10s %10s %10s %14s\n", "rate/s", "sent", "shown", "overflows", "send s",
                    "shown s", "window us/msg");
        Runs(667, 300'000, 10);
        Runs(534, 1'000'000, 1);
    }

    void Holds()
    {
        std::printf("\n== the highest rate that holds in ten runs of 300,000 (%s) ==\n",
                    QGuiApplication::platformName().toUtf8().constData());
        double best = 0;
        for (size_t perCycle : {134, 267, 400, 534, 667, 800, 934, 1067}) {
            if (!Runs(perCycle, 300'000, 10))
                break;
            best = perCycle * CyclesPerSecond;
        }
        std::printf("highest rate holding ten of ten: %.0f messages/s\n", best);
    }

    void Sysex()
    {
        std::printf("\n== one system exclusive message of 1 MiB, pieces of at most 16 KiB ==\n");
        std::vector<uint8_t> message(1 << 20);
        for (size_t i = 0; i < message.size(); ++i)
            message[i] = uint8_t((i * 31 + i / 4096) % 128);
        message.front() = 0xF0;
        message.back() = 0xF7;
        std::vector<std::vector<uint8_t>> pieces;
        for (size_t start = 0; start < message.size(); start += 16 * 1024)
            pieces.emplace_back(message.begin() + std::ptrdiff_t(start),
                                message.begin() + std::ptrdiff_t(std::min(message.size(), start + 16 * 1024)));
        const TRun run = Run([&](size_t i) { return pieces[i]; }, pieces.size(), 0, qint64(message.size()), 30000);
        const QByteArray received = Window.Fixture->Monitor().ReceivedBytes();
        const bool exact = received == QByteArray(reinterpret_cast<const char*>(message.data()), qsizetype(message.size()));
        std::printf("pieces %zu, received %lld bytes in %lld lines, byte-exact: %s, overflows: %ld\n", pieces.size(),
                    run.Bytes, run.Shown, exact ? "yes" : "NO", run.Overflows);
        std::printf("peer done sending after %.3f s, window showed it all after %.3f s\n", run.SendSeconds,
                    run.TotalSeconds);
    }

    void Memory()
    {
        std::printf("\n== resident memory after 1,000,000 monitor lines ==\n");
        Window.Clear();
        const long before = ResidentKiB();
        constexpr size_t Lines = 1'000'000;
        constexpr size_t PerCycle = 267;  // 50,062 messages/s: memory is measured here, not speed
        const TRun run = Run(NoteAt, Lines, PerCycle, qint64(Lines) * 3, 120000);
        QTest::qWait(200);
        const long after = ResidentKiB();
        std::printf("lines shown %lld, overflows %ld, %.2f s\n", run.Shown, run.Overflows, run.TotalSeconds);
        std::printf("resident before %.1f MB, after %.1f MB (the monitor's share %.1f MB; peak %.1f MB; goal under "
                    "300 MB)\n",
                    before / 1024.0, after / 1024.0, (after - before) / 1024.0, ResidentKiB("VmHWM:") / 1024.0);
        // The memo laid out again after a resize, and a scroll to the top: what a user would do.
        QElapsedTimer clock;
        clock.start();
        Window.Fixture->Main().resize(900, 700);
        QCoreApplication::processEvents();
        auto* bar = Window.Fixture->Find<QPlainTextEdit>("MemoMidiIn")->verticalScrollBar();
        bar->setValue(0);
        QCoreApplication::processEvents();
        std::printf("resize and scroll to the top with 1,000,000 lines: %.3f s\n", clock.nsecsElapsed() / 1e9);
    }

    void MonitorWindow()
    {
        Window.Fixture->Find<QAction>("MenuFileMonitor")->trigger();
        TMidiMonitorWindow& monitor = Window.Fixture->Main().MonitorWindow();
        if (!QTest::qWaitForWindowExposed(&monitor)) {
            std::printf("the monitor window was never shown\n");
            return;
        }
        std::printf("\n== the monitor window open, following the newest row (%s) ==\n",
                    QGuiApplication::platformName().toUtf8().constData());
        std::printf("%10s %10s %10s %10s %10s %10s %14s\n", "rate/s", "sent", "shown", "overflows", "send s",
                    "shown s", "window us/msg");
        Runs(667, 300'000, 10);

        constexpr size_t Messages = 10'000'000;
        Window.Clear();
        QTest::qWait(300);
        const long before = ResidentKiB("RssAnon:");
        const TRun run = Run(NoteAt, Messages, 534, qint64(Messages) * 3, int(Messages / 100) + 120000);
        QTest::qWait(300);
        const long after = ResidentKiB("RssAnon:");
        const int rows = monitor.Model().rowCount();
        std::printf("%zu at 100,000/s: %d rows in the table, %lld bytes received, overflows %ld, sent in %.2f s, shown "
                    "after %.2f s, window %.2f us/msg\n",
                    Messages, rows, run.Bytes, run.Overflows, run.SendSeconds, run.TotalSeconds,
                    run.WindowCpuSeconds * 1e6 / double(Messages));
        std::printf("anonymous memory before %.1f MB, after %.1f MB: up by %.1f MB (goal at most 200 MB)\n",
                    before / 1024.0, after / 1024.0, (after - before) / 1024.0);

        // What a user does over the ten million rows: a filter change (channel 1 off, then on
        // again) and a jump to the first row, each timed until the table has been painted.
        QAction* channel1 = monitor.findChild<QAction*>(QStringLiteral("MonitorChannel1"));
        QTableView& table = monitor.Table();
        const auto timed = [&](const char* what, const std::function<void()>& act) {
            QElapsedTimer clock;
            clock.start();
            act();
            table.viewport()->repaint();
            QCoreApplication::processEvents();
            std::printf("%-40s %8.1f ms, %d rows shown\n", what, clock.nsecsElapsed() / 1e6, monitor.Model().rowCount());
        };
        timed("filter: channel 1 off", [&] { channel1->trigger(); });
        timed("filter: channel 1 on again", [&] { channel1->trigger(); });
        timed("jump to the first row", [&] { table.scrollToTop(); });
        timed("jump to the last row", [&] { table.scrollToBottom(); });
    }

private:
    TJackServer Server;
    std::unique_ptr<TJackPeer> Peer;
    TMonitorWindow Window;
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    std::vector<std::string> parts(argv + 1, argv + argc);
    if (parts.empty())
        parts = {"memory", "rate", "sysex"};
    TBench bench;
    if (!bench.Start())
        return 1;
    for (const std::string& part : parts) {
        if (part == "rate")
            bench.Rate();
        else if (part == "sysex")
            bench.Sysex();
        else if (part == "memory")
            bench.Memory();
        else if (part == "goal")
            bench.Goal();
        else if (part == "holds")
            bench.Holds();
        else if (part == "window")
            bench.MonitorWindow();
        else
            std::printf("unknown part %s\n", part.c_str());
    }
    return 0;
}
