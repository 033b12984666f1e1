#pragma once
// When a received message reached the device thread: microseconds on the monotonic clock, the
// clock std::chrono::steady_clock reads on Linux (CLOCK_MONOTONIC), which is also the clock of
// JACK's frame times and of an ALSA queue's monotonic time stamps. A time on it taken on one
// thread compares with one taken on any other.

#include <chrono>

using TDeviceTime = std::chrono::time_point<std::chrono::steady_clock, std::chrono::microseconds>;

// Now, on that clock. Any thread; no allocation.
inline TDeviceTime DeviceNow()
{
    return std::chrono::time_point_cast<std::chrono::microseconds>(std::chrono::steady_clock::now());
}
