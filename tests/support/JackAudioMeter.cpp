#include "JackAudioMeter.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>

TJackAudioMeter::TJackAudioMeter(const std::string& clientName, int channels)
{
    jack_status_t status{};
    Client = jack_client_open(clientName.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackUseExactName),
                              &status);
    if (!Client) {
        LastError = "cannot open JACK client " + clientName + ", status " + std::to_string(status);
        return;
    }
    for (int channel = 1; channel <= channels; ++channel) {
        const std::string name = "in_" + std::to_string(channel);
        jack_port_t* port = jack_port_register(Client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        if (!port) {
            LastError = "cannot register " + clientName + ":" + name;
            break;
        }
        Inputs.push_back(port);
    }
    jack_set_process_callback(Client, &TJackAudioMeter::Process, this);
    if (!LastError.empty() || jack_activate(Client) != 0) {
        if (LastError.empty())
            LastError = "cannot activate " + clientName;
        jack_client_close(Client);
        Client = nullptr;
    }
}

TJackAudioMeter::~TJackAudioMeter()
{
    if (Client)
        jack_client_close(Client);
}

std::vector<std::string> TJackAudioMeter::InputPortNames() const
{
    std::vector<std::string> names;
    for (jack_port_t* port : Inputs)
        names.push_back(jack_port_name(port));
    return names;
}

bool TJackAudioMeter::Connect(const std::string& source, const std::string& destination)
{
    if (!Client)
        return false;
    const int error = jack_connect(Client, source.c_str(), destination.c_str());
    return error == 0 || error == EEXIST;
}

namespace {

std::vector<std::string> TakeNames(const char** names)
{
    std::vector<std::string> list;
    for (const char** name = names; name && *name; ++name)
        list.emplace_back(*name);
    if (names)
        jack_free(names);
    return list;
}

}  // namespace

std::vector<std::string> TJackAudioMeter::Ports(const std::string& pattern, unsigned long flags) const
{
    return Client ? TakeNames(jack_get_ports(Client, pattern.c_str(), nullptr, flags)) : std::vector<std::string>{};
}

std::vector<std::string> TJackAudioMeter::ConnectionsOf(const std::string& port) const
{
    jack_port_t* handle = Client ? jack_port_by_name(Client, port.c_str()) : nullptr;
    return handle ? TakeNames(jack_port_get_all_connections(Client, handle)) : std::vector<std::string>{};
}

bool TJackAudioMeter::WaitForSound(float level, int timeoutMs)
{
    std::unique_lock guard(Lock);
    const uint64_t start = Cycles;
    Loudest = 0;
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                            [&] { return Cycles > start && LastPeak > level; });
}

bool TJackAudioMeter::WaitForSilence(float level, int cycles, int timeoutMs)
{
    std::unique_lock guard(Lock);
    QuietLevel = level;
    QuietRun = 0;
    Loudest = 0;
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                            [&] { return QuietRun >= uint64_t(cycles); });
}

float TJackAudioMeter::LoudestSoFar() const
{
    std::lock_guard guard(Lock);
    return Loudest;
}

int TJackAudioMeter::Process(jack_nframes_t frames, void* arg)
{
    auto* self = static_cast<TJackAudioMeter*>(arg);
    float peak = 0;
    for (jack_port_t* port : self->Inputs) {
        const auto* samples = static_cast<const jack_default_audio_sample_t*>(jack_port_get_buffer(port, frames));
        for (jack_nframes_t i = 0; i < frames; ++i)
            peak = std::max(peak, std::fabs(samples[i]));
    }
    std::lock_guard guard(self->Lock);
    ++self->Cycles;
    self->LastPeak = peak;
    self->Loudest = std::max(self->Loudest, peak);
    self->QuietRun = peak <= self->QuietLevel ? self->QuietRun + 1 : 0;
    self->Changed.notify_all();
    return 0;
}
