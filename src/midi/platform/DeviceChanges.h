#pragma once
// Word that the system's MIDI devices may have changed: a device came or went, or a connection of
// ours to one broke. The backends say so from their own threads (a JACK notification thread, the
// ALSA announcement reader); whoever listens decides on its own thread what changed.

#include <functional>
#include <mutex>
#include <vector>

class TDeviceChanges {
public:
    using TListener = std::function<void()>;

    // Any thread. Listeners run on the caller's thread, under the registry's lock: they may only
    // flag or post, never call back into a backend.
    void Notify();
    // Window thread. The id takes the listener out again.
    int Listen(TListener listener);
    void Forget(int id);

private:
    std::mutex Lock;
    std::vector<std::pair<int, TListener>> Listeners;
    int NextId = 1;
};

// The process-wide registry; it outlives any device list, so ports may forget it at any time.
TDeviceChanges& DeviceChanges();
