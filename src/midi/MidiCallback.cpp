#include "MidiCallback.h"

#include <new>

namespace {
const char* const OutOfRangeText = "Specified error number is out of range";
}

std::string PortErrorText(uint16_t code)
{
    std::string text;
    if (MidiService().GetErrorText(code, text) != MMSYSERR_NOERROR)
        return OutOfRangeText;
    return text;
}

TCallbackInstance* CreateCallbackInstance()
{
    void* handle = nullptr;
    void* block = AllocSharedBlock(sizeof(TCallbackInstance), &handle);
    if (!block)
        return nullptr;
    return new (block) TCallbackInstance{handle, nullptr, nullptr, {0}, {false}};
}

void FreeCallbackInstance(TCallbackInstance* instance)
{
    if (!instance)
        return;
    void* handle = instance->MemoryHandle;
    instance->~TCallbackInstance();
    FreeSharedBlock(handle);
}

bool PortCallback(TMidiHandle, unsigned message, uintptr_t instance, uintptr_t param1, uintptr_t param2)
{
    auto* record = reinterpret_cast<TCallbackInstance*>(instance);
    switch (message) {
    case MIM_DATA:
    case MIM_LONGDATA:
    case MIM_LONGERROR: {
        if (message == MIM_DATA && (param1 == 0xFE || param1 == 0xF8))
            return true;  // active sensing and timing clock would drown everything else
        if (message == MIM_DATA && record && record->SysexOnlyFlag.load(std::memory_order_relaxed))
            return true;
        auto* header = message == MIM_DATA ? nullptr : reinterpret_cast<TMidiHeader*>(param1);
        if (!record || !record->Queue)
            return !header;  // nobody listens: a buffer stays the service's
        if (message != MIM_DATA && !header) {
            // The service had to drop what it could not keep.
            if (record->NotifyWindow)
                record->NotifyWindow->Post(NotifyOverflow, 0, 0);
            return true;
        }
        TQueuedEvent entry{uint32_t(param2), 0, header};
        if (message == MIM_DATA)
            entry.PackedMessage = uint32_t(param1);
        if (QueuePush(record->Queue, entry)) {
            if (record->NotifyWindow)
                record->NotifyWindow->Post(NotifyEventsWaiting, 0, 0);
            return true;
        }
        if (!record->RefusedSinceRoom.exchange(true, std::memory_order_acq_rel) && record->NotifyWindow)
            record->NotifyWindow->Post(NotifyRoom, 0, 0);
        return false;
    }
    case MOM_DONE:
        if (record && record->NotifyWindow)
            record->NotifyWindow->Post(NotifyOutputDone, 0, param1);
        return true;
    default:
        return true;
    }
}
