#pragma once
// The one callback of both ports and the record each port hands to the platform with it, and
// the text both give for a result code of the service.

#include "EventQueue.h"
#include "NotifyWindow.h"

#include <atomic>
#include <string>

struct TCallbackInstance {
    void* MemoryHandle;                // the record's own block, to free it
    TEventQueue* Queue;                // null for an output port
    TNotifyWindow* NotifyWindow;
    std::atomic<uint8_t> SysexOnlyFlag;
    std::atomic<bool> RefusedSinceRoom;  // the callback refused something since the last NotifyRoom
};

TCallbackInstance* CreateCallbackInstance();
void FreeCallbackInstance(TCallbackInstance* instance);

// Runs where the service calls back (see TMidiCallback): queues at most one entry without a
// lock and posts one notification, which allocates a small Qt event and takes Qt's posted-event
// lock for a moment. It never waits for the window thread and calls nothing in the service.
// What it cannot queue it refuses (returns false), and the first refusal after the window last
// made room posts NotifyRoom: handled behind the notifications of everything queued before, it
// asks the service for what waits.
bool PortCallback(TMidiHandle handle, unsigned message, uintptr_t instance, uintptr_t param1, uintptr_t param2);

// The service's text for the code, or the classic text for a code it does not know.
std::string PortErrorText(uint16_t code);
