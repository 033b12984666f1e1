#include "EventQueue.h"

bool TEventQueue::Push(const TQueuedEvent& entry)
{
    if (FCount.load(std::memory_order_acquire) >= Storage.size())
        return false;
    Storage[WritePos] = entry;
    WritePos = WritePos + 1 == Storage.size() ? 0 : WritePos + 1;
    FCount.fetch_add(1, std::memory_order_release);
    return true;
}

bool TEventQueue::Front(TQueuedEvent& entry) const
{
    if (FCount.load(std::memory_order_acquire) == 0)
        return false;
    entry = Storage[ReadPos];
    return true;
}

bool TEventQueue::Pop()
{
    if (FCount.load(std::memory_order_acquire) == 0)
        return false;
    ReadPos = ReadPos + 1 == Storage.size() ? 0 : ReadPos + 1;
    FCount.fetch_sub(1, std::memory_order_release);
    return true;
}
