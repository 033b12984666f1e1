#include "MidiEvent.h"

#include "EventQueue.h"

TMyMidiHdr::TMyMidiHdr(uint32_t size)
{
    if (size == 0)
        return;
    Header = static_cast<TMidiHeader*>(AllocSharedBlock(sizeof(TMidiHeader), &HeaderMemory));
    Buffer = static_cast<uint8_t*>(AllocSharedBlock(size, &BufferMemory));
    if (Header) {
        Header->lpData = Buffer;
        Header->dwBufferLength = Buffer ? size : 0;
        Header->dwUser = reinterpret_cast<uintptr_t>(this);
    }
}

TMyMidiHdr::~TMyMidiHdr()
{
    FreeSharedBlock(HeaderMemory);
    FreeSharedBlock(BufferMemory);
}
