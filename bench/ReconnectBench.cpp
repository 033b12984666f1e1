// How soon a device that comes back is played again: an output port is open on a peer client;
// the peer ends (the port notices on its own) and a client of the same name starts. Measured
// from the moment the new client is there (its constructor returned: registered and running)
// to the moment its first byte arrives, the port sending as soon as it has opened the device.
// Also how soon the going is noticed. Medians of several runs; never pass/fail.
//   bench_reconnect [jack|alsa] [runs]   (alsa: needs a sequencer, as in make test-alsa's VM)
#include "AlsaPeer.h"
#include "JackPeer.h"
#include "JackServer.h"
#include "MidiOutput.h"
#include "platform/DeviceList.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double Ms(TClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Runs the window thread's events until `done`, at most 10 s; false on time-out.
template <class TDone>
bool Pump(TDone done)
{
    const auto end = TClock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (TClock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

template <class TPeer>
int Run(const char* api, int runs)
{
    auto peer = std::make_unique<TPeer>();
    if (!peer->IsOpen()) {
        std::fprintf(stderr, "peer: %s\n", peer->Error().c_str());
        return 1;
    }
    TMidiOutput port;
    port.SetProductName(peer->InputPortName());
    if (!port.Open()) {
        std::fprintf(stderr, "open: %s\n", port.LastFailure().Text().c_str());
        return 1;
    }
    std::vector<double> noticed, firstByte;
    for (int run = 0; run < runs; ++run) {
        const auto gone = TClock::now();
        peer.reset();
        if (!Pump([&] { return port.Absent(); })) {
            std::fprintf(stderr, "run %d: the going was not noticed within 10 s\n", run);
            return 1;
        }
        noticed.push_back(Ms(TClock::now() - gone));
        peer = std::make_unique<TPeer>();
        const auto back = TClock::now();
        if (!Pump([&] { return port.IsOpen(); })) {
            std::fprintf(stderr, "run %d: not opened again within 10 s\n", run);
            return 1;
        }
        port.PutShort(0x90, 0x40, 0x78);
        if (!peer->WaitForEvents(1, 10000)) {
            std::fprintf(stderr, "run %d: no byte arrived within 10 s\n", run);
            return 1;
        }
        firstByte.push_back(Ms(TClock::now() - back));
    }
    std::printf("%s, %d runs: going noticed after %.1f ms (median; %.1f–%.1f), "
                "return to first byte at the device %.1f ms (median; %.1f–%.1f)\n",
                api, runs, Median(noticed), *std::min_element(noticed.begin(), noticed.end()),
                *std::max_element(noticed.begin(), noticed.end()), Median(firstByte),
                *std::min_element(firstByte.begin(), firstByte.end()),
                *std::max_element(firstByte.begin(), firstByte.end()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool alsa = argc > 1 && std::strcmp(argv[1], "alsa") == 0;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 11;
    if (alsa) {
        if (!TAlsaPeer::SequencerPresent()) {
            std::printf("alsa: no sequencer here (run it in alsa-vm)\n");
            return 0;
        }
        SetDeviceList(std::make_unique<TDeviceList>(TMidiApi::Alsa));
        const int status = Run<TAlsaPeer>("ALSA", runs);
        SetDeviceList(nullptr);
        return status;
    }
    TJackServer server;
    if (!TJackServer::Available() || !server.Start()) {
        std::printf("jack: no server (%s)\n", server.Error().c_str());
        return 0;
    }
    SetDeviceList(std::make_unique<TDeviceList>(TMidiApi::Jack));
    const int status = Run<TJackPeer>("JACK", runs);
    SetDeviceList(nullptr);
    return status;
}
