#pragma once
// The other end of a JACK MIDI connection in tests: a client with one MIDI input "in" that
// records every event and one MIDI output "out" that sends what the test queues.

#include <jack/jack.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct TJackEvent {
    std::vector<uint8_t> Bytes;
    jack_nframes_t Frame;  // JACK frame time: the cycle's first frame plus the event's offset

    bool operator==(const TJackEvent&) const = default;
};

class TJackPeer {
public:
    // Connects to the server JACK_DEFAULT_SERVER names; check IsOpen().
    explicit TJackPeer(const std::string& clientName = "kelvane-peer");
    ~TJackPeer();
    TJackPeer(const TJackPeer&) = delete;
    TJackPeer& operator=(const TJackPeer&) = delete;

    bool IsOpen() const { return Client != nullptr; }
    const std::string& Error() const { return LastError; }  // why it is not open
    std::string InputPortName() const;   // "kelvane-peer:in"
    std::string OutputPortName() const;  // "kelvane-peer:out"
    bool Connect(const std::string& source, const std::string& destination);

    // Queues one event for "out" (at most MaxEventSize() bytes). Events go out in order, at most
    // EventsPerCycle per cycle (0: as many as fit), one that does not fit waiting for the next.
    void Send(std::vector<uint8_t> bytes);
    // Queues one event at this frame of its cycle; events of one cycle must come in order of
    // their frames. SentFrames() then says at which frame time each went out.
    void SendAt(std::vector<uint8_t> bytes, jack_nframes_t offset);
    std::vector<jack_nframes_t> SentFrames() const;
    void SetEventsPerCycle(size_t count);
    bool WaitUntilSent(int timeoutMs);  // everything queued has gone into a cycle's buffer
    // Everything queued has gone out and the server has since begun two more cycles, so every
    // client connected to "out" has run the cycle that carried it (the server runs in
    // synchronous mode: a cycle ends when every client is done).
    bool WaitUntilRead(int timeoutMs);
    // "out" is connected to some port and a whole cycle has run since: what is sent from now on
    // reaches the other end.
    bool WaitUntilOutputConnected(int timeoutMs);

    // What "in" received, in order.
    bool WaitForEvents(size_t count, int timeoutMs);
    bool WaitForBytes(size_t count, int timeoutMs);  // total bytes over all events
    bool WaitForLastEvent(const std::vector<uint8_t>& bytes, int timeoutMs);  // the latest is this
    size_t EventCount() const;
    std::vector<TJackEvent> Events() const;
    void Clear();

    // The largest event an empty MIDI buffer of this server carries (0 before the first cycle).
    size_t MaxEventSize() const;
    // Cycles the server reported some client late for (an xrun): what such a cycle carried
    // between clients may be lost without a word, and a test's failure can say so.
    int Xruns() const { return XrunCount.load(); }

private:
    jack_client_t* Client = nullptr;
    std::string LastError;
    jack_port_t* In = nullptr;
    jack_port_t* Out = nullptr;

    // Received events as one byte store and an index, reserved up front: the process thread
    // must keep up with thousands of events a cycle, or the server drops the cycle.
    struct TIndexEntry {
        size_t Offset;
        uint32_t Size;
        jack_nframes_t Frame;
    };
    std::atomic<int> XrunCount{0};
    mutable std::mutex Lock;
    std::condition_variable Changed;
    std::vector<uint8_t> ReceivedBytes;
    std::vector<TIndexEntry> ReceivedIndex;
    struct TOutgoing {
        std::vector<uint8_t> Bytes;
        jack_nframes_t Offset;
    };
    std::deque<TOutgoing> Outgoing;
    std::vector<jack_nframes_t> Sent;
    size_t EventsPerCycle = 0;
    size_t MaxEvent = 0;
    uint64_t Cycles = 0;

    // Runs on the JACK process thread; test code, so it may take the lock.
    static int Process(jack_nframes_t frames, void* arg);
};
