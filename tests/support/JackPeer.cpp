#include "JackPeer.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

std::string ToHex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

}  // namespace

TJackPeer::TJackPeer(const std::string& clientName)
{
    jack_status_t status{};
    Client = jack_client_open(clientName.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackUseExactName),
                              &status);
    if (!Client) {
        LastError = "cannot open JACK client " + clientName + ", status 0x" + ToHex(status);
        return;
    }
    In = jack_port_register(Client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    Out = jack_port_register(Client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    ReceivedBytes.reserve(8 << 20);
    ReceivedIndex.reserve(1 << 20);
    jack_set_process_callback(Client, &TJackPeer::Process, this);
    jack_set_xrun_callback(
        Client,
        [](void* peer) {
            static_cast<TJackPeer*>(peer)->XrunCount.fetch_add(1);
            return 0;
        },
        this);
    if (!In || !Out || jack_activate(Client) != 0) {
        LastError = "cannot register or activate the ports of " + clientName;
        jack_client_close(Client);
        Client = nullptr;
    }
}

TJackPeer::~TJackPeer()
{
    if (Client)
        jack_client_close(Client);
}

std::string TJackPeer::InputPortName() const { return In ? jack_port_name(In) : ""; }

std::string TJackPeer::OutputPortName() const { return Out ? jack_port_name(Out) : ""; }

bool TJackPeer::Connect(const std::string& source, const std::string& destination)
{
    if (!Client)
        return false;
    const int error = jack_connect(Client, source.c_str(), destination.c_str());
    return error == 0 || error == EEXIST;
}

void TJackPeer::Send(std::vector<uint8_t> bytes)
{
    SendAt(std::move(bytes), 0);
}

void TJackPeer::SendAt(std::vector<uint8_t> bytes, jack_nframes_t offset)
{
    std::lock_guard guard(Lock);
    Outgoing.push_back({std::move(bytes), offset});
}

std::vector<jack_nframes_t> TJackPeer::SentFrames() const
{
    std::lock_guard guard(Lock);
    return Sent;
}

void TJackPeer::SetEventsPerCycle(size_t count)
{
    std::lock_guard guard(Lock);
    EventsPerCycle = count;
}

bool TJackPeer::WaitUntilSent(int timeoutMs)
{
    std::unique_lock guard(Lock);
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return Outgoing.empty(); });
}

bool TJackPeer::WaitUntilRead(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock guard(Lock);
    if (!Changed.wait_until(guard, deadline, [this] { return Outgoing.empty(); }))
        return false;
    const uint64_t carried = Cycles;  // the cycle that took the last event, or a later one
    return Changed.wait_until(guard, deadline, [&] { return Cycles >= carried + 2; });
}

bool TJackPeer::WaitUntilOutputConnected(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (jack_port_connected(Out) == 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::unique_lock guard(Lock);
    const uint64_t seen = Cycles;
    return Changed.wait_until(guard, deadline, [&] { return Cycles >= seen + 2; });
}

bool TJackPeer::WaitForEvents(size_t count, int timeoutMs)
{
    std::unique_lock guard(Lock);
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                            [&] { return ReceivedIndex.size() >= count; });
}

bool TJackPeer::WaitForBytes(size_t count, int timeoutMs)
{
    std::unique_lock guard(Lock);
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                            [&] { return ReceivedBytes.size() >= count; });
}

bool TJackPeer::WaitForLastEvent(const std::vector<uint8_t>& bytes, int timeoutMs)
{
    std::unique_lock guard(Lock);
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
        if (ReceivedIndex.empty())
            return false;
        const TIndexEntry& last = ReceivedIndex.back();
        return last.Size == bytes.size() &&
               std::equal(bytes.begin(), bytes.end(), ReceivedBytes.begin() + static_cast<std::ptrdiff_t>(last.Offset));
    });
}

size_t TJackPeer::EventCount() const
{
    std::lock_guard guard(Lock);
    return ReceivedIndex.size();
}

std::vector<TJackEvent> TJackPeer::Events() const
{
    std::vector<uint8_t> bytes;
    std::vector<TIndexEntry> index;
    {
        std::lock_guard guard(Lock);  // copy only: the process thread waits for this lock
        bytes = ReceivedBytes;
        index = ReceivedIndex;
    }
    std::vector<TJackEvent> events;
    events.reserve(index.size());
    for (const TIndexEntry& entry : index) {
        const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(entry.Offset);
        events.push_back({{first, first + entry.Size}, entry.Frame});
    }
    return events;
}

void TJackPeer::Clear()
{
    std::lock_guard guard(Lock);
    ReceivedBytes.clear();
    ReceivedIndex.clear();
}

size_t TJackPeer::MaxEventSize() const
{
    std::lock_guard guard(Lock);
    return MaxEvent;
}

int TJackPeer::Process(jack_nframes_t frames, void* arg)
{
    auto* self = static_cast<TJackPeer*>(arg);
    const jack_nframes_t cycleStart = jack_last_frame_time(self->Client);
    void* in = jack_port_get_buffer(self->In, frames);
    void* out = jack_port_get_buffer(self->Out, frames);
    jack_midi_clear_buffer(out);

    std::lock_guard guard(self->Lock);
    self->MaxEvent = jack_midi_max_event_size(out);
    ++self->Cycles;
    const uint32_t count = jack_midi_get_event_count(in);
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, in, i) != 0)
            continue;
        self->ReceivedIndex.push_back({self->ReceivedBytes.size(), static_cast<uint32_t>(event.size),
                                       cycleStart + event.time});
        self->ReceivedBytes.insert(self->ReceivedBytes.end(), event.buffer, event.buffer + event.size);
    }
    size_t sent = 0;
    jack_nframes_t last = 0;
    while (!self->Outgoing.empty() && (self->EventsPerCycle == 0 || sent < self->EventsPerCycle)) {
        const std::vector<uint8_t>& bytes = self->Outgoing.front().Bytes;
        const jack_nframes_t offset = self->Outgoing.front().Offset;
        if (bytes.size() > jack_midi_max_event_size(out) || offset >= frames || offset < last)
            break;  // an earlier frame than the last one written waits for the next cycle
        jack_midi_data_t* target = jack_midi_event_reserve(out, offset, bytes.size());
        if (!target)
            break;
        std::memcpy(target, bytes.data(), bytes.size());
        self->Sent.push_back(cycleStart + offset);
        self->Outgoing.pop_front();
        last = offset;
        ++sent;
    }
    self->Changed.notify_all();  // every cycle: WaitUntilOutputConnected counts them
    return 0;
}
