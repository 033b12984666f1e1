// The ALSA sequencer path, measured with a peer client of our own (make test-alsa's virtual
// machine has a sequencer; run this there, e.g.
//   ../shared/tools/alsa-vm -- build/bin/bench_alsa, or $ALSA_VM instead of that path):
//   rate    the highest steady rate of short messages the monitor shows with no overflow
//   sysex   one 1 MiB system exclusive message each way: peer to monitor (256-byte events, as
//           devices send them) and PutLong to the peer (1,024-byte packets, then one block)
// Usage: bench_alsa [rate] [sysex]   (both when none is named)
#include "AlsaPeer.h"
#include "GuiTest.h"
#include "KelvaneFixture.h"
#include "MonitorWindow.h"
#include "platform/DeviceList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <exception>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class TBench {
public:
    bool Start()
    {
        if (!TAlsaPeer::SequencerPresent()) {
            std::printf("no ALSA sequencer here (/dev/snd/seq)\n");
            return false;
        }
        Peer = std::make_unique<TAlsaPeer>("kelvane-bench");
        if (!Peer->IsOpen()) {
            std::printf("peer: %s\n", Peer->Error().c_str());
            return false;
        }
        return Window.Open(TMidiApi::Alsa, Peer->InputPortName(), Peer->OutputPortName(), true);
    }

    ~TBench()
    {
        Window.Close();
        Peer.reset();
    }

    // The peer sends on a thread of its own, `rate` messages a second in batches every 10 ms;
    // the window runs its event loop until everything is shown, something was lost, or time is up.
    void Rate()
    {
        std::printf("\n== short messages at a steady rate for 2 s, queue capacity %u ==\n",
                    unsigned(Window.Fixture->Session().Input().Capacity()));
        std::printf("%10s %10s %10s %10s %10s %10s\n", "rate/s", "sent", "shown", "overflows", "send s", "shown s");
        double best = 0;
        for (double rate : {1000.0, 2000.0, 5000.0, 10000.0, 20000.0, 40000.0, 80000.0, 160000.0}) {
            Window.Clear();
            const size_t count = size_t(rate * 2);
            std::atomic<bool> done{false};
            std::atomic<int> failures{0};
            double sendSeconds = 0;
            const auto start = Clock::now();
            std::thread sender([&] {
                for (size_t i = 0; i < count; ++i) {
                    const auto due = start + std::chrono::duration<double>(double(i) / rate);
                    if (i % std::max<size_t>(1, size_t(rate / 100)) == 0)
                        std::this_thread::sleep_until(due);
                    const uint8_t note[] = {uint8_t(0x90 | (i % 16)), uint8_t(i / 16 % 128), uint8_t(i % 127 + 1)};
                    if (Peer->Send({note, note + 3}) != 0)
                        ++failures;
                }
                sendSeconds = std::chrono::duration<double>(Clock::now() - start).count();
                done = true;
            });
            const qint64 expected = qint64(count) * 3;
            // Whether all came is what the row below reports.
            static_cast<void>(QTest::qWaitFor(
                [&] {
                    return Window.Fixture->Monitor().ReceivedByteCount() >= expected || (done && Window.Overflows > 0) ||
                           Clock::now() - start > std::chrono::seconds(60);
                },
                70000));
            sender.join();
            const double shownSeconds = std::chrono::duration<double>(Clock::now() - start).count();
            QTest::qWait(200);
            const QString text = Window.Fixture->Find<QPlainTextEdit>("MemoMidiIn")->toPlainText();
            const qint64 shown = text.isEmpty() ? 0 : text.count('\n') + 1;
            std::printf("%10.0f %10zu %10lld %10ld %10.2f %10.2f%s\n", rate, count, shown, Window.Overflows, sendSeconds,
                        shownSeconds, failures ? " (peer's sends refused)" : "");
            std::fflush(stdout);
            const bool kept = shown == qint64(count) && Window.Overflows == 0 && failures == 0 && sendSeconds < 2.5;
            if (!kept)
                break;
            best = rate;
        }
        std::printf("highest steady rate shown whole: %.0f messages/s\n", best);
    }

    // The sequencer has no flow control: a receiver's queue that runs full is emptied. Both
    // ways the sender here keeps at most 24 KiB in flight, judged by what the receiver has.
    void Sysex()
    {
        std::vector<uint8_t> message(1 << 20);
        for (size_t i = 0; i < message.size(); ++i)
            message[i] = uint8_t((i * 31 + i / 4096) % 128);
        message.front() = 0xF0;
        message.back() = 0xF7;
        constexpr size_t InFlight = 24 * 1024;

        std::printf("\n== 1 MiB system exclusive, peer to monitor, events of 256 bytes ==\n");
        Window.Clear();
        const QByteArray received = Window.Fixture->Monitor().ReceivedBytes();
        auto start = Clock::now();
        int refused = 0;
        for (size_t at = 0; at < message.size(); at += 256) {
            // Keeps at most InFlight bytes on the way; a stall shows in the time and the bytes below.
            static_cast<void>(QTest::qWaitFor([&] { return size_t(received.size()) + InFlight >= at; }, 60000));
            if (Peer->Send({message.begin() + std::ptrdiff_t(at), message.begin() + std::ptrdiff_t(at + 256)}) != 0)
                ++refused;
        }
        static_cast<void>(QTest::qWaitFor([&] { return received.size() >= qsizetype(message.size()); }, 300000));
        const double in = std::chrono::duration<double>(Clock::now() - start).count();
        const bool exact = received == QByteArray(reinterpret_cast<const char*>(message.data()), qsizetype(message.size()));
        std::printf("all shown after %.3f s, byte-exact: %s, overflows: %ld, refused: %d\n", in, exact ? "yes" : "NO",
                    Window.Overflows, refused);

        std::printf("\n== 1 MiB system exclusive to the peer, PutLong of 1,024-byte packets ==\n");
        Peer->Clear();
        start = Clock::now();
        std::string error;
        try {
            for (size_t at = 0; at < message.size(); at += 1024) {
                Peer->WaitForBytes(at < InFlight ? 0 : at - InFlight, 60000);
                Window.Fixture->Session().Output().PutLong(message.data() + at, 1024);
                QCoreApplication::sendPostedEvents();
            }
        } catch (const std::exception& e) {
            error = e.what();
        }
        Peer->WaitForBytes(message.size(), 300000);
        const double out = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("the peer had it all after %.3f s, byte-exact: %s%s%s\n", out,
                    Peer->AllBytes() == message ? "yes" : "NO", error.empty() ? "" : ", error: ", error.c_str());

        std::printf("\n== 1 MiB system exclusive to the peer, one PutLong, nothing held back ==\n");
        Peer->Clear();
        start = Clock::now();
        error.clear();
        try {
            Window.Fixture->Session().Output().PutLong(message.data(), uint32_t(message.size()));
        } catch (const std::exception& e) {
            error = e.what();
        }
        const double call = std::chrono::duration<double>(Clock::now() - start).count();
        Peer->WaitForBytes(message.size(), error.empty() ? 60000 : 2000);
        std::printf("PutLong returned after %.3f s%s%s; the peer has %zu bytes\n", call,
                    error.empty() ? "" : " with: ", error.c_str(), Peer->AllBytes().size());
    }

private:
    std::unique_ptr<TAlsaPeer> Peer;
    TMonitorWindow Window;
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    std::vector<std::string> parts(argv + 1, argv + argc);
    if (parts.empty())
        parts = {"rate", "sysex"};
    TBench bench;
    if (!bench.Start())
        return 1;
    for (const std::string& part : parts) {
        if (part == "rate")
            bench.Rate();
        else if (part == "sysex")
            bench.Sysex();
        else
            std::printf("unknown part %s\n", part.c_str());
    }
    return 0;
}
