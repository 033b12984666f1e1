#pragma once
// One received event, and one platform buffer header with its data block.

#include "platform/MidiService.h"

#include <cstdint>
#include <memory>

class TMidiEvent {
public:
    uint8_t StatusByte = 0;   // F0 for a system exclusive block
    uint8_t DataByte1 = 0;
    uint8_t DataByte2 = 0;
    uint32_t TimeStamp = 0;   // milliseconds since Start
    uint32_t SysexSize = 0;
    std::unique_ptr<uint8_t[]> SysexData;  // F0 and F7 included as received
};

// Header and buffer both live in shared blocks; the header's user word points back here.
class TMyMidiHdr {
public:
    explicit TMyMidiHdr(uint32_t size);
    ~TMyMidiHdr();
    TMyMidiHdr(const TMyMidiHdr&) = delete;
    TMyMidiHdr& operator=(const TMyMidiHdr&) = delete;

    bool Valid() const { return Header && Buffer; }

    void* HeaderMemory = nullptr;
    TMidiHeader* Header = nullptr;
    void* BufferMemory = nullptr;
    uint8_t* Buffer = nullptr;
};
