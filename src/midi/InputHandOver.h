#pragma once
// Where the device thread hands a received message over to the window thread: the reception
// puts each message it completed into the input port's event queue and posts one notification
// for it; handling that notification, the window thread takes the message.

#include "EventQueue.h"
#include "InputNotifier.h"
#include "platform/InputReception.h"

#include <atomic>

class TInputHandOver final : public TReceptionTarget {
public:
    TInputHandOver(uint16_t capacity, TInputNotifier& notifier, bool sysexOnly);

    // Under the reception's lock, on the device thread or on the window thread (see
    // TReceptionTarget): no lock of its own, one small allocation for the posted event.
    // Timing clock and active sensing are left out, as are short messages while SysexOnly.
    bool TakeShort(const uint8_t* bytes, size_t length, TDeviceTime time) override;
    bool TakeSysex(TSysexBuffer& buffer, TDeviceTime time) override;
    void Lost(TDeviceTime time) override;

    // Window thread.
    TEventQueue& Queue() { return Events; }
    void SetSysexOnly(bool value) { SysexOnly.store(value, std::memory_order_relaxed); }
    // The Room notification is being handled: the next refusal posts one again.
    void RoomNoticed() { RefusedSinceRoom.store(false, std::memory_order_release); }

private:
    bool Put(const TQueuedEvent& entry);

    TEventQueue Events;
    TInputNotifier& Notifier;
    std::atomic<bool> SysexOnly;
    std::atomic<bool> RefusedSinceRoom{false};  // refused something since the last Room was handled
};
