#pragma once
// A listener on a JACK server for tests: a client with audio inputs "in_1", "in_2", ... that
// keeps the loudest sample of each cycle, so a test can tell sound from silence.

#include <jack/jack.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class TJackAudioMeter {
public:
    // Connects to the server JACK_DEFAULT_SERVER names; check IsOpen().
    explicit TJackAudioMeter(const std::string& clientName = "kelvane-meter", int channels = 2);
    ~TJackAudioMeter();
    TJackAudioMeter(const TJackAudioMeter&) = delete;
    TJackAudioMeter& operator=(const TJackAudioMeter&) = delete;

    bool IsOpen() const { return Client != nullptr; }
    const std::string& Error() const { return LastError; }
    std::vector<std::string> InputPortNames() const;
    bool Connect(const std::string& source, const std::string& destination);

    // The server's ports whose full names match the regular expression, of any type and direction.
    std::vector<std::string> Ports(const std::string& pattern, unsigned long flags = 0) const;
    // The full names of the ports `port` is connected to.
    std::vector<std::string> ConnectionsOf(const std::string& port) const;

    // Waits for a cycle, after this call, whose loudest sample on any input is above `level`.
    bool WaitForSound(float level, int timeoutMs);
    // Waits for `cycles` cycles in a row, after this call, with no sample above `level`.
    bool WaitForSilence(float level, int cycles, int timeoutMs);
    float LoudestSoFar() const;  // since the last Wait call began

private:
    jack_client_t* Client = nullptr;
    std::string LastError;
    std::vector<jack_port_t*> Inputs;

    mutable std::mutex Lock;
    std::condition_variable Changed;
    uint64_t Cycles = 0;
    uint64_t QuietRun = 0;  // cycles in a row, up to the last, whose peak was at most QuietLevel
    float QuietLevel = 0;
    float LastPeak = 0;
    float Loudest = 0;

    // JACK process thread; test code, so it may take the lock.
    static int Process(jack_nframes_t frames, void* arg);
};
