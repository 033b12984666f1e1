// How fast PutShort is, and that it allocates nothing: through the port into a service that
// does nothing, into the recording service, and into a real JACK server in dummy mode.
#include "JackPeer.h"
#include "JackServer.h"
#include "MidiOutput.h"
#include "RecordingMidiService.h"
#include "platform/SystemMidiService.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> Allocations{0};

// Answers every call with success and does nothing: what is left is the port's own cost.
class TNullService final : public TMidiService {
public:
    unsigned OutGetNumDevs() override { return 1; }
    TMidiResult OutGetDevCaps(int, std::string& name) override { name = "Null"; return 0; }
    TMidiResult OutOpen(TMidiHandle* handle, int, TMidiCallback, uintptr_t) override
    {
        *handle = reinterpret_cast<TMidiHandle>(this);
        return 0;
    }
    TMidiResult OutShortMsg(TMidiHandle, uint32_t message) override
    {
        Last = message;
        return 0;
    }
    TMidiResult OutPrepareHeader(TMidiHandle, TMidiHeader*, unsigned) override { return 0; }
    TMidiResult OutLongMsg(TMidiHandle, TMidiHeader*, unsigned) override { return 0; }
    TMidiResult OutUnprepareHeader(TMidiHandle, TMidiHeader*, unsigned) override { return 0; }
    TMidiResult OutClose(TMidiHandle) override { return 0; }
    unsigned InGetNumDevs() override { return 0; }
    TMidiResult InGetDevCaps(int, std::string&) override { return MMSYSERR_BADDEVICEID; }
    TMidiResult InOpen(TMidiHandle*, int, TMidiCallback, uintptr_t) override { return MMSYSERR_BADDEVICEID; }
    TMidiResult InPrepareHeader(TMidiHandle, TMidiHeader*, unsigned) override { return 0; }
    TMidiResult InAddBuffer(TMidiHandle, TMidiHeader*, unsigned) override { return 0; }
    TMidiResult InUnprepareHeader(TMidiHandle, TMidiHeader*, unsigned) override { return 0; }
    TMidiResult InStart(TMidiHandle) override { return 0; }
    TMidiResult InReset(TMidiHandle) override { return 0; }
    TMidiResult InDeliverWaiting(TMidiHandle) override { return 0; }
    TMidiResult InClose(TMidiHandle) override { return 0; }
    volatile uint32_t Last = 0;
};

struct TResult {
    double CallsPerSecond;
    size_t AllocationsPerCall1000;  // allocations per 1000 calls
};

template <class TBetween>
TResult Measure(TMidiOutput& port, int calls, int burst, TBetween between)
{
    double seconds = 0;
    size_t allocations = 0;
    for (int done = 0; done < calls; done += burst) {
        const size_t before = Allocations.load();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < burst; ++i)
            port.PutShort(0x90, uint8_t(i & 0x7F), 0x64);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        allocations += Allocations.load() - before;
        between();
    }
    return {calls / seconds, allocations * 1000 / size_t(calls)};
}

} // namespace

void* operator new(size_t size)
{
    ++Allocations;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    {
        SetMidiService(std::make_unique<TNullService>());
        TMidiOutput port;
        port.Open();
        const TResult r = Measure(port, 2'000'000, 2'000'000, [] {});
        std::printf("PutShort, port alone (null service): %.1f million calls/s, %zu allocations per 1000 calls\n",
                    r.CallsPerSecond / 1e6, r.AllocationsPerCall1000);
    }
    {
        auto service = std::make_unique<TRecordingMidiService>();
        TRecordingMidiService* recording = service.get();
        SetMidiService(std::move(service));
        TMidiOutput port;
        port.Open();
        const TResult r = Measure(port, 1'000'000, 100'000, [&] { recording->ClearCalls(); });
        std::printf("PutShort into the recording service: %.1f million calls/s (the recorder stores each call)\n",
                    r.CallsPerSecond / 1e6);
    }
    TJackServer server;
    if (!TJackServer::Available() || !server.Start()) {
        std::printf("JACK: no server could be started (%s)\n", server.Error().c_str());
        return 0;
    }
    {
        TJackPeer peer;
        SetMidiService(std::make_unique<TSystemMidiService>(TMidiApi::Jack));
        TMidiOutput port;
        port.SetProductName(peer.InputPortName());
        if (!port.Open()) {
            std::printf("JACK: the peer's port did not open\n");
            return 1;
        }
        // Bursts the ring buffer holds, each drained by the server before the next.
        constexpr int Burst = 1000;
        size_t expected = 0;
        const TResult r = Measure(port, 200'000, Burst, [&] {
            expected += Burst;
            peer.WaitForEvents(expected, 5000);
        });
        std::printf("PutShort into JACK (libjack ring buffer, bursts of %d): %.1f million calls/s, "
                    "%zu allocations per 1000 calls; %zu of %zu messages arrived\n",
                    Burst, r.CallsPerSecond / 1e6, r.AllocationsPerCall1000, peer.EventCount(), expected);
        port.Close();
        SetMidiService(nullptr);
    }
    return 0;
}
