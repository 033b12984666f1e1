#pragma once
// Turns what an input connection hears into the callbacks the input port expects: short
// messages packed into one word, system exclusive copied into the buffers the port lends.
// What arrives is read as one byte stream, whatever the pieces: a piece may hold several
// messages or a part of one, data bytes may reuse the last channel status, and real-time bytes
// may stand anywhere. Bytes that form no message (data with no status, F7 outside a system
// exclusive message, a message cut short by a status byte) are reported as MIM_ERROR.
// Bytes that find no lent buffer wait here (bounded) until the port lends one again, so a long
// message is never lost while the window thread keeps taking events. Likewise what the port's
// callback does not keep because its queue is full, short messages and filled buffers alike,
// waits here in order (bounded) until the port has room again: a window thread that stalls for
// a moment loses nothing, and everything arrives in the order it was complete: a short message
// that follows a system exclusive message still waiting for a buffer waits for it too (unless
// the port lends no buffers at all).

#include "PortBackend.h"

#include <deque>
#include <mutex>
#include <vector>

class TInputReception final : public TInputSink {
public:
    static constexpr size_t PendingLimit = 16u << 20;  // bytes waiting for a buffer
    // Short messages waiting for room in the port's queue: half a second of the fastest stream
    // measured through JACK (125,000 messages a second), in 1 MiB.
    static constexpr size_t WaitingShortLimit = 65536;

    TInputReception(TMidiHandle handle, TMidiCallback callback, uintptr_t instance);

    // Backend thread (RtMidi's ALSA thread, or JACK's process thread of the input's client):
    // takes Mutex, which the window thread holds only while it lends a buffer or resets, and
    // calls the port's callback under it.
    void Receive(const uint8_t* bytes, size_t length, uint32_t timeMs) override;
    // Backend thread: reported to the port as an overflow.
    void Lost(uint32_t timeMs) override;

    // Window thread: may deliver waiting bytes into the buffer, calling the port's callback.
    TMidiResult AddBuffer(TMidiHeader* header);
    // Window thread: the port has room again; offers what it did not keep, in order.
    void DeliverWaiting();
    // Window thread: every lent buffer goes back through the callback; waiting bytes and
    // messages are dropped.
    void Reset();
    bool HasLentBuffers() const;

private:
    // One whole short message, or one run of a system exclusive message. Caller holds Mutex.
    void ReceiveMessage(const uint8_t* bytes, size_t length, uint32_t timeMs);
    void EndPartial(uint32_t timeMs);  // caller holds Mutex
    void DeliverPending();  // caller holds Mutex
    // A message for the port: a short one (packed), or a filled buffer (Header). Position, in
    // the stream of system exclusive bytes: for a buffer, just after its last byte; for a short
    // message, the end of the last whole message that was waiting for a buffer when it came.
    struct TDelivery {
        uint32_t Packed;
        uint32_t TimeMs;
        TMidiHeader* Header;
        uint64_t Position;
    };
    // Hands it to the port, or keeps it in its place among those waiting. Caller holds Mutex.
    void Offer(const TDelivery& delivery);
    bool Deliver(const TDelivery& delivery);  // true when the port kept it; caller holds Mutex
    void DeliverWaitingLocked();
    void HandBack(TMidiHeader* header, uint32_t timeMs);  // caller holds Mutex
    void LendAgain(TMidiHeader* header);                  // caller holds Mutex
    void DeliverShort(const uint8_t* bytes, size_t length, uint32_t timeMs);
    void EndOpenMessage();  // caller holds Mutex

    mutable std::mutex Mutex;  // serialises every call into the callback: one producer at a time
    TMidiHandle Handle;
    TMidiCallback Callback;
    uintptr_t Instance;
    std::deque<TMidiHeader*> Lent;
    std::deque<TDelivery> Waiting;      // what the port did not keep, in order
    size_t WaitingShort = 0;            // the short messages among them
    bool Lending = false;               // the port has lent a buffer since the last reset
    std::deque<uint8_t> Pending;        // system exclusive bytes not yet in a buffer
    uint64_t PendingStart = 0;          // stream position of Pending.front()
    std::deque<uint64_t> MessageEnds;   // stream positions just after each waiting F7
    uint32_t PendingTime = 0;
    bool InSysex = false;               // the last piece did not end with F7
    bool Discarding = false;            // the open message lost a piece: the rest goes too
    uint8_t Partial[3] = {};            // a short message waiting for its data bytes
    size_t PartialLength = 0;
    uint8_t RunningStatus = 0;          // the last channel status, 0 when none
};
