#pragma once
// Memory the platform may touch from its own thread, and the queue of received events.

#include "platform/MidiService.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// Zero-filled blocks that never move while in use; the "memory handle" is the block itself.
// Returns null (and a null handle) when the memory cannot be had.
void* AllocSharedBlock(size_t size, void** memoryHandle);
void FreeSharedBlock(void* memoryHandle);

struct TQueuedEvent {
    uint32_t TimeStamp;        // milliseconds since Start
    uint32_t PackedMessage;    // status | data1 << 8 | data2 << 16; 0 for system exclusive
    TMidiHeader* BufferHeader; // non-null exactly for a system exclusive block
};

// Single producer (the MIDI callback), single consumer (the window thread). Count is the only
// field both change; an entry is written completely before it is counted.
struct TEventQueue {
    TQueuedEvent* Storage;
    uint32_t WritePos;
    uint32_t ReadPos;
    uint16_t Capacity;
    std::atomic<uint16_t> Count;
    void* StorageHandle;
    void* RecordHandle;
};

TEventQueue* CreateEventQueue(uint16_t capacity);
void FreeEventQueue(TEventQueue* queue);
struct TEventQueueDeleter {
    void operator()(TEventQueue* queue) const { FreeEventQueue(queue); }
};
using TEventQueuePtr = std::unique_ptr<TEventQueue, TEventQueueDeleter>;
// The callback's thread: no allocation, no lock.
bool QueuePush(TEventQueue* queue, const TQueuedEvent& entry);
bool QueueFront(TEventQueue* queue, TQueuedEvent& entry);
bool QueuePop(TEventQueue* queue);
