#include "InputReception.h"

#include <algorithm>

TInputReception::TInputReception(TReceptionTarget& target) : Target(target) {}

// Device thread. Cuts the piece into messages, joining what earlier pieces left open.
void TInputReception::Receive(const uint8_t* bytes, size_t length, TDeviceTime time)
{
    std::lock_guard lock(Mutex);
    size_t i = 0;
    while (i < length) {
        const uint8_t b = bytes[i];
        if (b >= 0xF8) {
            // Real-time bytes may stand between any two bytes, even inside another message.
            ReceiveMessage(&bytes[i++], 1, time);
            continue;
        }
        if (b == 0xF0 || (InSysex && (b < 0x80 || b == 0xF7))) {
            // A run of system exclusive bytes: up to its F7, a status or a real-time byte.
            EndPartial(time);
            RunningStatus = 0;
            size_t end = i + 1;
            if (b != 0xF7) {
                while (end < length && bytes[end] < 0x80)
                    ++end;
                if (end < length && bytes[end] == 0xF7)
                    ++end;
            }
            ReceiveMessage(bytes + i, end - i, time);
            i = end;
            continue;
        }
        ++i;
        if (b >= 0x80) {
            EndOpenMessage();  // a status byte ends an open system exclusive message
            EndPartial(time);
            if (b == 0xF7) {
                Target.Malformed(&b, 1, time);
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
            Target.Malformed(&b, 1, time);
            continue;
        }
        if (PartialLength == ShortMessageLength(Partial[0])) {
            ReceiveMessage(Partial, PartialLength, time);
            PartialLength = 0;
        }
    }
}

// A short message still waiting for data bytes will never get them.
void TInputReception::EndPartial(TDeviceTime time)
{
    if (PartialLength == 0)
        return;
    const size_t length = PartialLength;
    PartialLength = 0;
    Target.Malformed(Partial, length, time);
}

void TInputReception::ReceiveMessage(const uint8_t* bytes, size_t length, TDeviceTime time)
{
    const uint8_t first = bytes[0];
    if (InSysex && first >= 0x80 && first != 0xF7) {
        // Real-time messages may stand inside a system exclusive message without ending it;
        // any other status byte ends it where it stands (a sender that never sent its F7
        // must not swallow everything after it).
        if (first >= 0xF8) {
            DeliverShort(bytes, length, time);
            return;
        }
        EndOpenMessage();
    }
    if (first != 0xF0 && !InSysex) {
        DeliverShort(bytes, length, time);
        return;
    }
    const bool ends = bytes[length - 1] == 0xF7;
    if (Discarding || Pending.size() + length > PendingLimit) {
        // Nobody is taking the buffers back: drop this piece and say so. What is kept of its
        // message stays a message of its own, and the rest of it is dropped too, so that no
        // later bytes close the gap as if nothing was missing.
        if (!Discarding)
            EndOpenMessage();
        InSysex = Discarding = !ends;
        Target.Lost(time);
        return;
    }
    Pending.insert(Pending.end(), bytes, bytes + length);
    InSysex = !ends;
    if (ends)
        MessageEnds.push_back(PendingStart + Pending.size());
    PendingTime = time;
    DeliverPending();
}

void TInputReception::Lost(TDeviceTime time)
{
    std::lock_guard lock(Mutex);
    Target.Lost(time);
}

void TInputReception::DeliverShort(const uint8_t* bytes, size_t length, TDeviceTime time)
{
    TDelivery delivery{{bytes[0], length > 1 ? bytes[1] : uint8_t(0), length > 2 ? bytes[2] : uint8_t(0)},
                       uint8_t(length), time, nullptr, 0};
    // A whole system exclusive message still waiting for a buffer goes first; bytes of one
    // still open do not hold it back (a real-time byte inside it comes before its end).
    delivery.Position = Lending && !MessageEnds.empty() ? MessageEnds.back() : 0;
    Offer(delivery);
}

void TInputReception::Offer(const TDelivery& delivery)
{
    if (delivery.Buffer) {
        if (Waiting.empty() && Deliver(delivery))
            return;
        // In its place: before the short messages that came after its last byte. A filled
        // buffer waits whatever the bound: there are only as many as the port lent.
        auto place = Waiting.end();
        while (place != Waiting.begin() && !std::prev(place)->Buffer && std::prev(place)->Position >= delivery.Position)
            --place;
        Waiting.insert(place, delivery);
        return;
    }
    if (Waiting.empty() && delivery.Position <= PendingStart && Deliver(delivery))
        return;
    if (WaitingShort >= WaitingShortLimit) {
        // The window thread has not taken anything for too long: this one is lost, and the
        // port hears of it.
        Target.Lost(delivery.Time);
        return;
    }
    ++WaitingShort;
    Waiting.push_back(delivery);
}

bool TInputReception::Deliver(const TDelivery& delivery)
{
    if (delivery.Buffer)
        return Target.TakeSysex(*delivery.Buffer, delivery.Time);
    return Target.TakeShort(delivery.Bytes, delivery.Length, delivery.Time);
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
        if (!next.Buffer && next.Position > PendingStart)
            return;
        if (!Deliver(next))
            return;
        if (!next.Buffer)
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
    } else if (!Lent.empty() && Lent.front()->Used > 0) {
        // Its last bytes sit in the first lent buffer, which waits for more.
        TSysexBuffer* buffer = Lent.front();
        Lent.pop_front();
        HandBack(*buffer, PendingTime);
    }
}

void TInputReception::Lend(TSysexBuffer& buffer)
{
    std::lock_guard lock(Mutex);
    Lending = true;
    buffer.Used = 0;
    Lent.push_back(&buffer);
    DeliverPending();
}

void TInputReception::DeliverPending()
{
    bool handedBack = false;
    while (!Pending.empty() && !Lent.empty()) {
        TSysexBuffer& buffer = *Lent.front();
        const size_t room = buffer.Data.size() - buffer.Used;
        const uint64_t limit = MessageEnds.empty() ? PendingStart + Pending.size() : MessageEnds.front();
        const size_t count = std::min<uint64_t>(room, limit - PendingStart);
        std::copy_n(Pending.begin(), count, buffer.Data.begin() + std::ptrdiff_t(buffer.Used));
        Pending.erase(Pending.begin(), Pending.begin() + std::ptrdiff_t(count));
        PendingStart += count;
        buffer.Used += count;
        const bool ended = !MessageEnds.empty() && PendingStart == MessageEnds.front();
        if (ended)
            MessageEnds.pop_front();
        if (ended || buffer.Used == buffer.Data.size()) {
            Lent.pop_front();
            HandBack(buffer, PendingTime);
            handedBack = true;
        }
    }
    // Short messages that waited for these bytes may go now.
    if (handedBack)
        DeliverWaitingLocked();
}

// A filled buffer goes to the port, or waits in order for room in its queue.
void TInputReception::HandBack(TSysexBuffer& buffer, TDeviceTime time)
{
    Offer({{}, 0, time, &buffer, PendingStart});
}
