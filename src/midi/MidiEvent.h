#pragma once
// One received event, as the window takes it from the input port.

#include "platform/DeviceTime.h"

#include <cstdint>
#include <memory>

class TMidiEvent {
public:
    uint8_t StatusByte = 0;   // F0 for a system exclusive block
    uint8_t DataByte1 = 0;
    uint8_t DataByte2 = 0;
    uint32_t TimeStamp = 0;   // milliseconds since Start (0 for what arrived before it)
    TDeviceTime DeviceTime{}; // when the device thread had it: precise, comparable across ports
    uint32_t SysexSize = 0;
    std::unique_ptr<uint8_t[]> SysexData;  // F0 and F7 included as received
};
