#include "MidiCallback.h"

#include <new>

TCallbackInstance* CreateCallbackInstance()
{
    void* handle = nullptr;
    void* block = AllocSharedBlock(sizeof(TCallbackInstance), &handle);
    if (!block)
        return nullptr;
    return new (block) TCallbackInstance{handle, nullptr, nullptr, {0}};
}

void FreeCallbackInstance(TCallbackInstance* instance)
{
    if (!instance)
        return;
    void* handle = instance->MemoryHandle;
    instance->~TCallbackInstance();
    FreeSharedBlock(handle);
}

void PortCallback(TMidiHandle, unsigned message, uintptr_t instance, uintptr_t param1, uintptr_t param2)
{
    auto* record = reinterpret_cast<TCallbackInstance*>(instance);
    switch (message) {
    case MIM_DATA:
    case MIM_LONGDATA:
    case MIM_LONGERROR: {
        if (message == MIM_DATA && (param1 == 0xFE || param1 == 0xF8))
            return;  // active sensing and timing clock would drown everything else
        if (message == MIM_DATA && record && record->SysexOnlyFlag.load(std::memory_order_relaxed))
            return;
        auto* header = message == MIM_DATA ? nullptr : reinterpret_cast<TMidiHeader*>(param1);
        if (!record || !record->Queue) {
            if (header)
                header->dwFlags |= MHDR_REFUSED;  // nobody takes it: the service keeps it
            return;
        }
        if (message != MIM_DATA && !header) {
            // The service had to drop bytes it could not place in a buffer.
            if (record->NotifyWindow)
                record->NotifyWindow->Post(NotifyOverflow, 0, 0);
            return;
        }
        TQueuedEvent entry{uint32_t(param2), 0, header};
        if (message == MIM_DATA)
            entry.PackedMessage = uint32_t(param1);
        const bool queued = QueuePush(record->Queue, entry);
        // A dropped block's buffer goes straight back to the service, which lends it again:
        // only this block is lost, not the buffer with it.
        if (!queued && header)
            header->dwFlags |= MHDR_REFUSED;
        if (record->NotifyWindow)
            record->NotifyWindow->Post(queued ? NotifyEventsWaiting : NotifyOverflow, 0, 0);
        return;
    }
    case MOM_DONE:
        if (record && record->NotifyWindow)
            record->NotifyWindow->Post(NotifyOutputDone, 0, param1);
        return;
    default:
        return;
    }
}
