// How fast PutShort is, and that it allocates nothing: through the port into a backend that
// does nothing, into the recording backend, and into a real JACK server in dummy mode.
#include "JackPeer.h"
#include "JackServer.h"
#include "MidiOutput.h"
#include "RecordingBackend.h"
#include "platform/DeviceList.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> Allocations{0};

// A device that takes every message and does nothing: what is left is the port's own cost.
class TNullOutput final : public TOutputConnection {
public:
    TMidiResult SendShort(const uint8_t* bytes, size_t) override
    {
        Last = bytes[0];
        return {};
    }
    TMidiResult SendBlock(const uint8_t*, size_t) override { return {}; }
    volatile uint8_t Last = 0;
};

class TNullBackend final : public TPortBackend {
public:
    std::string ApiName() const override { return "Null"; }
    std::vector<std::string> OutputNames() override { return {"Null"}; }
    std::vector<std::string> InputNames() override { return {}; }
    std::unique_ptr<TOutputConnection> OpenOutput(size_t, TMidiResult&) override { return std::make_unique<TNullOutput>(); }
    std::unique_ptr<TInputConnection> OpenInput(size_t, TInputSink&, TMidiResult& result) override
    {
        result = TMidiResult::Failure("no inputs");
        return nullptr;
    }
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
        std::vector<std::unique_ptr<TPortBackend>> backends;
        backends.push_back(std::make_unique<TNullBackend>());
        SetDeviceList(std::make_unique<TDeviceList>(std::move(backends)));
        TMidiOutput port;
        port.Open();
        const TResult r = Measure(port, 2'000'000, 2'000'000, [] {});
        std::printf("PutShort, port alone (null backend): %.1f million calls/s, %zu allocations per 1000 calls\n",
                    r.CallsPerSecond / 1e6, r.AllocationsPerCall1000);
    }
    {
        const auto recording = UseRecordingBackend();
        TMidiOutput port;
        port.Open();
        const TResult r = Measure(port, 1'000'000, 100'000, [&] { recording->ClearCalls(); });
        std::printf("PutShort into the recording backend: %.1f million calls/s (the recorder stores each call)\n",
                    r.CallsPerSecond / 1e6);
    }
    TJackServer server;
    if (!TJackServer::Available() || !server.Start()) {
        std::printf("JACK: no server could be started (%s)\n", server.Error().c_str());
        return 0;
    }
    {
        TJackPeer peer;
        SetDeviceList(std::make_unique<TDeviceList>(TMidiApi::Jack));
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
        SetDeviceList(nullptr);
    }
    return 0;
}
