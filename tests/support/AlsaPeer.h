#pragma once
// The other end of an ALSA sequencer connection in tests: a client of the test's own with one
// port "in" that records every event it reads and one port "out" whose events go to whoever
// subscribed to it (Kelvane's input does). Events are written with libasound directly.

#include <alsa/asoundlib.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TAlsaEvent {
    std::vector<uint8_t> Bytes;  // a short message decoded with its status, or a sysex event's data
    bool Sysex;

    bool operator==(const TAlsaEvent&) const = default;
};

class TAlsaPeer {
public:
    // reading false: the client never reads, so its queue fills up and stays full.
    explicit TAlsaPeer(const std::string& clientName = "kelvane-peer", bool reading = true);
    ~TAlsaPeer();
    TAlsaPeer(const TAlsaPeer&) = delete;
    TAlsaPeer& operator=(const TAlsaPeer&) = delete;

    static bool SequencerPresent();  // /dev/snd/seq can be opened

    bool IsOpen() const { return Seq != nullptr; }
    const std::string& Error() const { return LastError; }
    int ClientId() const;
    std::string InputPortName() const;   // "kelvane-peer:in", as Kelvane lists it
    std::string OutputPortName() const;  // "kelvane-peer:out"

    // One event on "out": a complete short message is encoded as its typed event (running
    // status allowed across calls, as a MIDI byte stream would carry it); anything that starts
    // with F0 or a data byte or F7 goes out as a system exclusive event of exactly these bytes.
    // Returns 0 or -errno; -EAGAIN when the receiver's queue was full (the sequencer then
    // empties that queue at the receiver's next read: tests keep what is in flight small).
    int Send(const std::vector<uint8_t>& bytes);
    // Encodes a byte stream with the sequencer's own MIDI encoder, event by event.
    int SendStream(const std::vector<uint8_t>& bytes);
    size_t SubscriberCount() const;  // how many subscribe to "out"
    bool WaitForSubscriber(int timeoutMs) const;
    // Every client subscribed to "out" has read from the sequencer all that was sent to it (its
    // input queue is empty): whatever it does with an event, it has taken it. False when that
    // does not happen within timeoutMs.
    bool WaitUntilTaken(int timeoutMs) const;

    // What "in" received, in order.
    bool WaitForEvents(size_t count, int timeoutMs) const;
    bool WaitForBytes(size_t count, int timeoutMs) const;  // total over all events
    std::vector<TAlsaEvent> Events() const;
    std::vector<std::vector<uint8_t>> Messages() const;  // Events()' bytes
    std::vector<uint8_t> AllBytes() const;
    void Clear();

private:
    snd_seq_t* Seq = nullptr;
    std::string Name;
    std::string LastError;
    int In = -1;
    int Out = -1;
    snd_midi_event_t* Encoder = nullptr;
    snd_midi_event_t* Decoder = nullptr;
    int Wake = -1;
    std::thread Reader;

    mutable std::mutex Lock;
    mutable std::condition_variable Changed;
    std::vector<TAlsaEvent> Received;
    size_t ReceivedBytes = 0;

    int Write(snd_seq_event_t& event);
    std::vector<int> SubscriberClients() const;  // of "out"
    void Read();  // reader thread: test code, so it may take the lock
};
