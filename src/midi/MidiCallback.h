#pragma once
// The one callback of both ports and the record each port hands to the platform with it.

#include "Circbuf.h"
#include "NotifyWindow.h"

#include <atomic>

struct TCallbackInstance {
    void* MemoryHandle;                // the record's own block, to free it
    TEventQueue* Queue;                // null for an output port
    TNotifyWindow* NotifyWindow;
    std::atomic<uint8_t> SysexOnlyFlag;
};

TCallbackInstance* CreateCallbackInstance();
void FreeCallbackInstance(TCallbackInstance* instance);

// MIDI thread (or inside a platform call): queues at most one entry and posts one
// notification; no lock, no other platform call.
void PortCallback(TMidiHandle handle, unsigned message, uintptr_t instance, uintptr_t param1, uintptr_t param2);
