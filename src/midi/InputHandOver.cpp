#include "InputHandOver.h"

TInputHandOver::TInputHandOver(uint16_t capacity, TInputNotifier& notifier, bool sysexOnly)
    : Events(capacity), Notifier(notifier), SysexOnly(sysexOnly)
{
}

bool TInputHandOver::TakeShort(const uint8_t* bytes, size_t length, TDeviceTime time)
{
    // Timing clock and active sensing would drown everything else.
    if (length == 1 && (bytes[0] == 0xF8 || bytes[0] == 0xFE))
        return true;
    if (SysexOnly.load(std::memory_order_relaxed))
        return true;
    TQueuedEvent entry;
    entry.Time = time;
    for (size_t i = 0; i < length && i < 3; ++i)
        entry.Bytes[i] = bytes[i];
    return Put(entry);
}

bool TInputHandOver::TakeSysex(TSysexBuffer& buffer, TDeviceTime time)
{
    TQueuedEvent entry;
    entry.Time = time;
    entry.Sysex = &buffer;
    return Put(entry);
}

void TInputHandOver::Lost(TDeviceTime)
{
    Notifier.Post(TInputNotification::Overflow);
}

// What the queue refuses stays the reception's. The first refusal since the window last
// noticed one asks it to offer what waits once it has taken what is queued.
bool TInputHandOver::Put(const TQueuedEvent& entry)
{
    if (Events.Push(entry)) {
        Notifier.Post(TInputNotification::EventsWaiting);
        return true;
    }
    if (!RefusedSinceRoom.exchange(true, std::memory_order_acq_rel))
        Notifier.Post(TInputNotification::Room);
    return false;
}
