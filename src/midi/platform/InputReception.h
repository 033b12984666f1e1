#pragma once
// Turns what an input connection hears into complete messages for the input port: short
// messages as they stand, system exclusive copied into the buffers the port lends.
// What arrives is read as one byte stream, whatever the pieces: a piece may hold several
// messages or a part of one, data bytes may reuse the last channel status, and real-time bytes
// may stand anywhere. Bytes that form no message (data with no status, F7 outside a system
// exclusive message, a message cut short by a status byte) are reported as malformed.
// Bytes that find no lent buffer wait here (bounded) until the port lends one again, so a long
// message is never lost while the window thread keeps taking events. Likewise what the port
// does not take because its queue is full, short messages and filled buffers alike, waits here
// in order (bounded) until the port has room again: a window thread that stalls for a moment
// loses nothing, and everything arrives in the order it was complete: a short message that
// follows a system exclusive message still waiting for a buffer waits for it too (unless the
// port lends no buffers at all).

#include "PortBackend.h"

#include <deque>
#include <mutex>
#include <vector>

// A buffer the port lends for system exclusive bytes. Between Lend and its return through
// TakeSysex it is the reception's: nobody else touches it.
struct TSysexBuffer {
    explicit TSysexBuffer(size_t size) : Data(size) {}
    std::vector<uint8_t> Data;  // its size is the buffer's size, at least one byte
    size_t Used = 0;            // bytes the reception wrote, from the start
};

// Where the reception hands what it completed: the input port's queue. Every call is made under
// the reception's lock, on the device thread or, inside Lend and DeliverWaiting, on the window
// thread: it must not block and must not call back into the reception.
class TReceptionTarget {
public:
    virtual ~TReceptionTarget() = default;
    // A complete short message of 1 to 3 bytes. False when there is no room now: the reception
    // keeps it, with everything after it, in order, and offers it again at DeliverWaiting.
    virtual bool TakeShort(const uint8_t* bytes, size_t length, TDeviceTime time) = 0;
    // A filled buffer: a whole system exclusive message, or a piece of one (the buffer is full,
    // or a status byte ended the message). False as above; a buffer is never lost.
    virtual bool TakeSysex(TSysexBuffer& buffer, TDeviceTime time) = 0;
    // A message was lost: the service dropped what it could not hold (it does not say how much),
    // or it found no room here.
    virtual void Lost(TDeviceTime time) = 0;
    // Bytes that form no message; nothing needs them.
    virtual void Malformed(const uint8_t*, size_t, TDeviceTime) {}
};

class TInputReception final : public TInputSink {
public:
    static constexpr size_t PendingLimit = 16u << 20;  // bytes waiting for a buffer
    // Short messages waiting for room in the port's queue: half a second of the fastest stream
    // measured through JACK (125,000 messages a second), in 1 MiB.
    static constexpr size_t WaitingShortLimit = 65536;

    explicit TInputReception(TReceptionTarget& target);

    // Device thread (the ALSA backend's reader, or the JACK process thread of the input's own
    // client): takes Mutex, which the window thread holds only while it lends a buffer or
    // offers room, and calls the target under it. Never waits for the window thread.
    void Receive(const uint8_t* bytes, size_t length, TDeviceTime time) override;
    void Lost(TDeviceTime time) override;

    // Window thread: the buffer is the reception's until it comes back through TakeSysex; bytes
    // waiting for a buffer may go into it (and to the target) at once.
    void Lend(TSysexBuffer& buffer);
    // Window thread: the port has room again; offers what it did not take, in order.
    void DeliverWaiting();

private:
    // One whole short message, or one run of a system exclusive message. Caller holds Mutex.
    void ReceiveMessage(const uint8_t* bytes, size_t length, TDeviceTime time);
    void EndPartial(TDeviceTime time);  // caller holds Mutex
    void DeliverPending();  // caller holds Mutex
    // A message for the port: a short one (Bytes), or a filled buffer. Position, in the stream
    // of system exclusive bytes: for a buffer, just after its last byte; for a short message,
    // the end of the last whole message that was waiting for a buffer when it came.
    struct TDelivery {
        uint8_t Bytes[3];
        uint8_t Length;
        TDeviceTime Time;
        TSysexBuffer* Buffer;
        uint64_t Position;
    };
    // Hands it to the port, or keeps it in its place among those waiting. Caller holds Mutex.
    void Offer(const TDelivery& delivery);
    bool Deliver(const TDelivery& delivery);  // true when the port took it; caller holds Mutex
    void DeliverWaitingLocked();
    void HandBack(TSysexBuffer& buffer, TDeviceTime time);  // caller holds Mutex
    void DeliverShort(const uint8_t* bytes, size_t length, TDeviceTime time);
    void EndOpenMessage();  // caller holds Mutex

    std::mutex Mutex;  // serialises every call into the target: one producer at a time
    TReceptionTarget& Target;
    std::deque<TSysexBuffer*> Lent;
    std::deque<TDelivery> Waiting;      // what the port did not take, in order
    size_t WaitingShort = 0;            // the short messages among them
    bool Lending = false;               // the port has lent a buffer
    std::deque<uint8_t> Pending;        // system exclusive bytes not yet in a buffer
    uint64_t PendingStart = 0;          // stream position of Pending.front()
    std::deque<uint64_t> MessageEnds;   // stream positions just after each waiting F7
    TDeviceTime PendingTime{};
    bool InSysex = false;               // the last piece did not end with F7
    bool Discarding = false;            // the open message lost a piece: the rest goes too
    uint8_t Partial[3] = {};            // a short message waiting for its data bytes
    size_t PartialLength = 0;
    uint8_t RunningStatus = 0;          // the last channel status, 0 when none
};
