#pragma once
// What the monitor benchmarks share: the window opened on a peer's ports through the system
// service, the Binary page (where the monitor is) shown, and the overflow boxes counted.

#include "KelvaneFixture.h"
#include "platform/DeviceList.h"

#include <memory>
#include <string>

struct TMonitorWindow {
    std::unique_ptr<TKelvaneFixture> Fixture;
    long Overflows = 0;  // boxes since the last Clear(); every lost event reaches the hook once

    // Opens the window with the peer's input as the saved output and its output as the saved
    // input, through a system service of `api`; false, with a line saying why, when the window
    // did not open the input (or, with needOutput, the output).
    bool Open(TMidiApi api, const std::string& peerInput, const std::string& peerOutput, bool needOutput);
    // The monitor's clear button, as a user presses it; the count starts again.
    void Clear();
    // Closes the window, then the service (before the peer goes).
    void Close();
    ~TMonitorWindow() { Close(); }
};
