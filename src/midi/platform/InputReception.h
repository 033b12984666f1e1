#pragma once
// Turns what an input connection hears into the callbacks the input port expects: short
// messages packed into one word, system exclusive copied into the buffers the port lends.
// Bytes that find no lent buffer wait here (bounded) until the port lends one again, so a long
// message is never lost while the window thread keeps taking events.

#include "PortBackend.h"

#include <deque>
#include <mutex>
#include <vector>

class TInputReception final : public TInputSink {
public:
    static constexpr size_t PendingLimit = 16u << 20;  // bytes waiting for a buffer

    TInputReception(TMidiHandle handle, TMidiCallback callback, uintptr_t instance);

    // Backend thread (RtMidi's ALSA thread, or JACK's process thread of the input's client):
    // takes Mutex, which the window thread holds only while it lends a buffer or resets, and
    // calls the port's callback under it.
    void Receive(const uint8_t* bytes, size_t length, uint32_t timeMs) override;

    // Window thread: may deliver waiting bytes into the buffer, calling the port's callback.
    TMidiResult AddBuffer(TMidiHeader* header);
    // Window thread: every lent buffer goes back through the callback; waiting bytes are dropped.
    void Reset();
    bool HasLentBuffers() const;

private:
    void DeliverPending();  // caller holds Mutex
    bool HandBack(TMidiHeader* header, uint32_t timeMs);  // caller holds Mutex
    void LendAgain(TMidiHeader* header);                  // caller holds Mutex
    void DeliverShort(const uint8_t* bytes, size_t length, uint32_t timeMs);
    void EndOpenMessage();  // caller holds Mutex

    mutable std::mutex Mutex;  // serialises every call into the callback: one producer at a time
    TMidiHandle Handle;
    TMidiCallback Callback;
    uintptr_t Instance;
    std::deque<TMidiHeader*> Lent;
    std::deque<uint8_t> Pending;        // system exclusive bytes not yet in a buffer
    uint64_t PendingStart = 0;          // stream position of Pending.front()
    std::deque<uint64_t> MessageEnds;   // stream positions just after each waiting F7
    uint32_t PendingTime = 0;
    bool InSysex = false;               // the last piece did not end with F7
    bool Discarding = false;            // the open message lost a piece: the rest goes too
};
