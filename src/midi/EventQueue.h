#pragma once
// The queue of received events between the reception and the window thread: a fixed ring with
// one producer and one consumer. The producer is whoever holds the reception's lock (the device
// thread, or the window thread while it lends a buffer or offers room); the consumer is the
// window thread. Count is the only field both change; an entry is written completely before it
// is counted.

#include "platform/DeviceTime.h"

#include <atomic>
#include <cstdint>
#include <vector>

struct TSysexBuffer;

struct TQueuedEvent {
    TDeviceTime Time{};              // as the backend handed it over
    uint8_t Bytes[3] = {};           // a short message; bytes past its length are 0
    TSysexBuffer* Sysex = nullptr;   // non-null exactly for a filled system exclusive buffer
};

class TEventQueue {
public:
    explicit TEventQueue(uint16_t capacity) : Storage(capacity) {}
    TEventQueue(const TEventQueue&) = delete;
    TEventQueue& operator=(const TEventQueue&) = delete;

    uint16_t Capacity() const { return uint16_t(Storage.size()); }
    uint16_t Count() const { return FCount.load(std::memory_order_acquire); }

    // Producer: no allocation, no lock. False when full, and nothing changes.
    bool Push(const TQueuedEvent& entry);
    // Consumer: the oldest entry, left in place; false when empty.
    bool Front(TQueuedEvent& entry) const;
    // Consumer: removes the oldest entry; false when empty.
    bool Pop();

private:
    std::vector<TQueuedEvent> Storage;
    uint32_t WritePos = 0;  // producer only
    uint32_t ReadPos = 0;   // consumer only
    std::atomic<uint16_t> FCount{0};
};
