#pragma once
// When a received message reached the device thread: microseconds on the monotonic clock, the
// clock std::chrono::steady_clock reads on Linux (CLOCK_MONOTONIC). A time on it taken on one
// thread compares with one taken on any other. JACK counts its frame times on
// CLOCK_MONOTONIC_RAW; the JACK backend moves them onto this clock.

#include <chrono>

using TDeviceTime = std::chrono::time_point<std::chrono::steady_clock, std::chrono::microseconds>;

// Now, on that clock. Any thread; no allocation.
inline TDeviceTime DeviceNow()
{
    return std::chrono::time_point_cast<std::chrono::microseconds>(std::chrono::steady_clock::now());
}
