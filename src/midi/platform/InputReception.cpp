#include "InputReception.h"

#include <algorithm>

TInputReception::TInputReception(TMidiHandle handle, TMidiCallback callback, uintptr_t instance)
    : Handle(handle), Callback(callback), Instance(instance)
{
}

// Backend thread: takes the lock only for the copy into a lent buffer; never waits on the window.
// Cuts the piece into messages, joining what earlier pieces left open.
void TInputReception::Receive(const uint8_t* bytes, size_t length, uint32_t timeMs)
{
    std::lock_guard lock(Mutex);
    size_t i = 0;
    while (i < length) {
        const uint8_t b = bytes[i];
        if (b >= 0xF8) {
            // Real-time bytes may stand between any two bytes, even inside another message.
            ReceiveMessage(&bytes[i++], 1, timeMs);
            continue;
        }
        if (b == 0xF0 || (InSysex && (b < 0x80 || b == 0xF7))) {
            // A run of system exclusive bytes: up to its F7, a status or a real-time byte.
            EndPartial(timeMs);
            RunningStatus = 0;
            size_t end = i + 1;
            if (b != 0xF7) {
                while (end < length && bytes[end] < 0x80)
                    ++end;
                if (end < length && bytes[end] == 0xF7)
                    ++end;
            }
            ReceiveMessage(bytes + i, end - i, timeMs);
            i = end;
            continue;
        }
        ++i;
        if (b >= 0x80) {
            EndOpenMessage();  // a status byte ends an open system exclusive message
            EndPartial(timeMs);
            if (b == 0xF7) {
                Callback(Handle, MIM_ERROR, Instance, b, timeMs);
                continue;
            }
            RunningStatus = b < 0xF0 ? b : 0;
            Partial[0] = b;
            PartialLength = 1;
        } else if (PartialLength > 0) {
            Partial[PartialLength++] = b;
        } else if (RunningStatus != 0) {
            Partial[0] = RunningStatus;
            Partial[1] = b;
            PartialLength = 2;
        } else {
            Callback(Handle, MIM_ERROR, Instance, b, timeMs);
            continue;
        }
        if (PartialLength == ShortMessageLength(Partial[0])) {
            ReceiveMessage(Partial, PartialLength, timeMs);
            PartialLength = 0;
        }
    }
}

// A short message still waiting for data bytes will never get them.
void TInputReception::EndPartial(uint32_t timeMs)
{
    if (PartialLength == 0)
        return;
    uint32_t packed = 0;
    for (size_t i = 0; i < PartialLength; ++i)
        packed |= uint32_t(Partial[i]) << (8 * i);
    PartialLength = 0;
    Callback(Handle, MIM_ERROR, Instance, packed, timeMs);
}

void TInputReception::ReceiveMessage(const uint8_t* bytes, size_t length, uint32_t timeMs)
{
    const uint8_t first = bytes[0];
    if (InSysex && first >= 0x80 && first != 0xF7) {
        // Real-time messages may stand inside a system exclusive message without ending it;
        // any other status byte ends it where it stands (a sender that never sent its F7
        // must not swallow everything after it).
        if (first >= 0xF8) {
            DeliverShort(bytes, length, timeMs);
            return;
        }
        EndOpenMessage();
    }
    if (first != 0xF0 && !InSysex) {
        DeliverShort(bytes, length, timeMs);
        return;
    }
    const bool ends = bytes[length - 1] == 0xF7;
    if (Discarding || Pending.size() + length > PendingLimit) {
        // Nobody is taking the buffers back: drop this piece and say so (a null header). What
        // is kept of its message stays a message of its own, and the rest of it is dropped too,
        // so that no later bytes close the gap as if nothing was missing.
        if (!Discarding)
            EndOpenMessage();
        InSysex = Discarding = !ends;
        Callback(Handle, MIM_LONGERROR, Instance, 0, timeMs);
        return;
    }
    Pending.insert(Pending.end(), bytes, bytes + length);
    InSysex = !ends;
    if (ends)
        MessageEnds.push_back(PendingStart + Pending.size());
    PendingTime = timeMs;
    DeliverPending();
}

void TInputReception::Lost(uint32_t timeMs)
{
    std::lock_guard lock(Mutex);
    Callback(Handle, MIM_LONGERROR, Instance, 0, timeMs);  // no header: the port reports an overflow
}

void TInputReception::DeliverShort(const uint8_t* bytes, size_t length, uint32_t timeMs)
{
    uint32_t packed = bytes[0];
    if (length > 1)
        packed |= uint32_t(bytes[1]) << 8;
    if (length > 2)
        packed |= uint32_t(bytes[2]) << 16;
    // A whole system exclusive message still waiting for a buffer goes first; bytes of one
    // still open do not hold it back (a real-time byte inside it comes before its end).
    const uint64_t after = Lending && !MessageEnds.empty() ? MessageEnds.back() : 0;
    Offer({packed, timeMs, nullptr, after});
}

void TInputReception::Offer(const TDelivery& delivery)
{
    if (delivery.Header) {
        if (Waiting.empty() && Deliver(delivery))
            return;
        // In its place: before the short messages that came after its last byte. A filled
        // buffer waits whatever the bound: there are only as many as the port lent.
        auto place = Waiting.end();
        while (place != Waiting.begin() && !std::prev(place)->Header && std::prev(place)->Position >= delivery.Position)
            --place;
        Waiting.insert(place, delivery);
        return;
    }
    if (Waiting.empty() && delivery.Position <= PendingStart && Deliver(delivery))
        return;
    if (WaitingShort >= WaitingShortLimit) {
        // The window thread has not taken anything for too long: this one is lost, and the
        // port hears of it (no header: an overflow).
        Callback(Handle, MIM_LONGERROR, Instance, 0, delivery.TimeMs);
        return;
    }
    ++WaitingShort;
    Waiting.push_back(delivery);
}

bool TInputReception::Deliver(const TDelivery& delivery)
{
    if (delivery.Header)
        return Callback(Handle, MIM_LONGDATA, Instance, reinterpret_cast<uintptr_t>(delivery.Header), delivery.TimeMs);
    return Callback(Handle, MIM_DATA, Instance, delivery.Packed, delivery.TimeMs);
}

void TInputReception::DeliverWaiting()
{
    std::lock_guard lock(Mutex);
    DeliverWaitingLocked();
}

// Stops where the port refuses, or at a short message whose system exclusive message before it
// still waits for a buffer (the next lending goes on).
void TInputReception::DeliverWaitingLocked()
{
    while (!Waiting.empty()) {
        const TDelivery& next = Waiting.front();
        if (!next.Header && next.Position > PendingStart)
            return;
        if (!Deliver(next))
            return;
        if (!next.Header)
            --WaitingShort;
        Waiting.pop_front();
    }
}

// The open system exclusive message ends without its F7: what arrived of it is delivered as it
// stands, and the next bytes start a message of their own.
void TInputReception::EndOpenMessage()
{
    if (!InSysex)
        return;
    const bool endedAlready = Discarding;  // when its first piece was dropped
    InSysex = false;
    Discarding = false;
    if (endedAlready)
        return;
    const uint64_t end = PendingStart + Pending.size();
    if (!Pending.empty()) {
        // Bytes are delivered in order, so the open message's bytes are the last ones waiting.
        if (MessageEnds.empty() || MessageEnds.back() != end)
            MessageEnds.push_back(end);
        DeliverPending();
    } else if (!Lent.empty() && Lent.front()->dwBytesRecorded > 0) {
        // Its last bytes sit in the first lent buffer, which waits for more.
        TMidiHeader* header = Lent.front();
        Lent.pop_front();
        HandBack(header, PendingTime);
    }
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
    Lending = true;
    LendAgain(header);
    DeliverPending();
    return MMSYSERR_NOERROR;
}

void TInputReception::Reset()
{
    std::lock_guard lock(Mutex);
    // Out of circulation for good, whether the port keeps them or not: the port owns every
    // buffer it lent and releases them all after the reset. Filled ones still waiting for room
    // go first, as they came.
    for (const TDelivery& delivery : Waiting)
        if (delivery.Header)
            Callback(Handle, MIM_LONGDATA, Instance, reinterpret_cast<uintptr_t>(delivery.Header), delivery.TimeMs);
    while (!Lent.empty()) {
        TMidiHeader* header = Lent.front();
        Lent.pop_front();
        header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
        Callback(Handle, MIM_LONGDATA, Instance, reinterpret_cast<uintptr_t>(header), PendingTime);
    }
    Waiting.clear();
    WaitingShort = 0;
    Lending = false;
    Pending.clear();
    MessageEnds.clear();
    PendingStart = 0;
    InSysex = false;
    Discarding = false;
    PartialLength = 0;
    RunningStatus = 0;
}

bool TInputReception::HasLentBuffers() const
{
    std::lock_guard lock(Mutex);
    return !Lent.empty();
}

void TInputReception::DeliverPending()
{
    bool handedBack = false;
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
            handedBack = true;
        }
    }
    // Short messages that waited for these bytes may go now.
    if (handedBack)
        DeliverWaitingLocked();
}

// A filled buffer goes to the port, or waits in order for room in its queue.
void TInputReception::HandBack(TMidiHeader* header, uint32_t timeMs)
{
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    Offer({0, timeMs, header, PendingStart});
}

void TInputReception::LendAgain(TMidiHeader* header)
{
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags | MHDR_INQUEUE) & ~MHDR_DONE;
    Lent.push_back(header);
}
