#include "DeviceChanges.h"

#include <algorithm>

void TDeviceChanges::Notify()
{
    std::lock_guard guard(Lock);
    for (const auto& [id, listener] : Listeners)
        listener();
}

int TDeviceChanges::Listen(TListener listener)
{
    std::lock_guard guard(Lock);
    Listeners.emplace_back(NextId, std::move(listener));
    return NextId++;
}

void TDeviceChanges::Forget(int id)
{
    std::lock_guard guard(Lock);
    std::erase_if(Listeners, [id](const auto& entry) { return entry.first == id; });
}

TDeviceChanges& DeviceChanges()
{
    static TDeviceChanges changes;
    return changes;
}
