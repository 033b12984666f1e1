#include "InputReception.h"

#include <algorithm>

TInputReception::TInputReception(TMidiHandle handle, TMidiCallback callback, uintptr_t instance)
    : Handle(handle), Callback(callback), Instance(instance)
{
}

// Backend thread: takes the lock only for the copy into a lent buffer; never waits on the window.
void TInputReception::Receive(const uint8_t* bytes, size_t length, uint32_t timeMs)
{
    if (length == 0)
        return;
    std::lock_guard lock(Mutex);
    if (bytes[0] == 0xF0 || InSysex) {
        if (Pending.size() + length > PendingLimit) {
            // Nobody is taking the buffers back: drop this piece and say so (a null header).
            InSysex = bytes[length - 1] != 0xF7;
            Callback(Handle, MIM_LONGERROR, Instance, 0, timeMs);
            return;
        }
        Pending.insert(Pending.end(), bytes, bytes + length);
        InSysex = bytes[length - 1] != 0xF7;
        if (!InSysex)
            MessageEnds.push_back(PendingStart + Pending.size());
        PendingTime = timeMs;
        DeliverPending();
        return;
    }
    uint32_t packed = bytes[0];
    if (length > 1)
        packed |= uint32_t(bytes[1]) << 8;
    if (length > 2)
        packed |= uint32_t(bytes[2]) << 16;
    Callback(Handle, MIM_DATA, Instance, packed, timeMs);
}

TMidiResult TInputReception::AddBuffer(TMidiHeader* header)
{
    if (!header || !header->lpData)
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    if (header->dwFlags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    std::lock_guard lock(Mutex);
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags | MHDR_INQUEUE) & ~MHDR_DONE;
    Lent.push_back(header);
    DeliverPending();
    return MMSYSERR_NOERROR;
}

void TInputReception::Reset()
{
    std::lock_guard lock(Mutex);
    while (!Lent.empty()) {
        TMidiHeader* header = Lent.front();
        Lent.pop_front();
        HandBack(header, PendingTime);
    }
    Pending.clear();
    MessageEnds.clear();
    PendingStart = 0;
    InSysex = false;
}

bool TInputReception::HasLentBuffers() const
{
    std::lock_guard lock(Mutex);
    return !Lent.empty();
}

void TInputReception::DeliverPending()
{
    while (!Pending.empty() && !Lent.empty()) {
        TMidiHeader* header = Lent.front();
        const size_t room = header->dwBufferLength - header->dwBytesRecorded;
        const uint64_t limit = MessageEnds.empty() ? PendingStart + Pending.size() : MessageEnds.front();
        const size_t count = std::min<uint64_t>(room, limit - PendingStart);
        std::copy_n(Pending.begin(), count, header->lpData + header->dwBytesRecorded);
        Pending.erase(Pending.begin(), Pending.begin() + count);
        PendingStart += count;
        header->dwBytesRecorded += uint32_t(count);
        const bool ended = !MessageEnds.empty() && PendingStart == MessageEnds.front();
        if (ended)
            MessageEnds.pop_front();
        if (ended || header->dwBytesRecorded == header->dwBufferLength) {
            Lent.pop_front();
            HandBack(header, PendingTime);
        }
    }
}

void TInputReception::HandBack(TMidiHeader* header, uint32_t timeMs)
{
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    Callback(Handle, MIM_LONGDATA, Instance, reinterpret_cast<uintptr_t>(header), timeMs);
}
