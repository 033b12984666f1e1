#include "EventQueue.h"

#include <cstring>
#include <new>

void* AllocSharedBlock(size_t size, void** memoryHandle)
{
    void* block = ::operator new(size ? size : 1, std::nothrow);
    if (block)
        std::memset(block, 0, size ? size : 1);
    if (memoryHandle)
        *memoryHandle = block;
    return block;
}

void FreeSharedBlock(void* memoryHandle)
{
    ::operator delete(memoryHandle);
}

TEventQueue* CreateEventQueue(uint16_t capacity)
{
    void* recordHandle = nullptr;
    void* record = AllocSharedBlock(sizeof(TEventQueue), &recordHandle);
    if (!record)
        return nullptr;
    void* storageHandle = nullptr;
    auto* storage = static_cast<TQueuedEvent*>(AllocSharedBlock(sizeof(TQueuedEvent) * capacity, &storageHandle));
    if (!storage) {
        FreeSharedBlock(recordHandle);
        return nullptr;
    }
    auto* queue = new (record) TEventQueue{storage, 0, 0, capacity, {0}, storageHandle, recordHandle};
    return queue;
}

void FreeEventQueue(TEventQueue* queue)
{
    if (!queue)
        return;
    void* recordHandle = queue->RecordHandle;
    FreeSharedBlock(queue->StorageHandle);
    queue->~TEventQueue();
    FreeSharedBlock(recordHandle);
}

bool QueuePush(TEventQueue* queue, const TQueuedEvent& entry)
{
    if (queue->Count.load(std::memory_order_acquire) >= queue->Capacity)
        return false;
    queue->Storage[queue->WritePos] = entry;
    queue->WritePos = queue->WritePos + 1 == queue->Capacity ? 0 : queue->WritePos + 1;
    queue->Count.fetch_add(1, std::memory_order_release);
    return true;
}

bool QueueFront(TEventQueue* queue, TQueuedEvent& entry)
{
    if (queue->Count.load(std::memory_order_acquire) == 0)
        return false;
    entry = queue->Storage[queue->ReadPos];
    return true;
}

bool QueuePop(TEventQueue* queue)
{
    if (queue->Count.load(std::memory_order_acquire) == 0)
        return false;
    queue->ReadPos = queue->ReadPos + 1 == queue->Capacity ? 0 : queue->ReadPos + 1;
    queue->Count.fetch_sub(1, std::memory_order_release);
    return true;
}
