// The input reception: any byte stream a device may send, cut into pieces anywhere, with buffers
// lent at any moment, and the port's queue full at any moment (what it refuses waits in the
// reception until the port asks for it). A well-formed stream must arrive whole: every short
// message once and in order, every system exclusive message byte for byte with its end where
// it was. Any stream must keep the buffer protocol: a buffer is handed back once per loan, is
// never written after, holds no status byte but its first F0 and last F7, and nothing is
// invented.
#include "FuzzSupport.h"
#include "platform/InputReception.h"

#include "FuzzInput.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

struct TBuffer {
    TMidiHeader Header{};
    TBytes Storage;
    TBytes AtReturn;  // the contents when it came back, which nobody may change until lent again
    bool Lent = false;
};

struct TEvent {
    unsigned Kind = 0;
    uint32_t Packed = 0;  // short messages and errors
    TBytes Bytes;         // a buffer's bytes; Ends: it ends a message (F7, or not full)
    bool Ends = false;
    bool Null = false;    // a long message without a buffer: bytes were dropped
};

struct THarness {
    std::vector<std::unique_ptr<TBuffer>> Buffers;
    std::vector<TEvent> Events;
    bool MessageOpen = false;  // the last buffer handed back was full and had no F7
    bool Resetting = false;
    bool Full = false;  // the port's queue has no room: it refuses messages and filled buffers
    std::unique_ptr<TInputReception> Reception;

    TBuffer* Find(TMidiHeader* header)
    {
        // The user word holds the buffer's place in Buffers, as the port keeps its own record there.
        if (!header || header->dwUser >= Buffers.size() || &Buffers[header->dwUser]->Header != header)
            return nullptr;
        return Buffers[header->dwUser].get();
    }

    void Lend(TBuffer& buffer)
    {
        FUZZ_CHECK(!buffer.Lent, "a buffer lent twice");
        FUZZ_CHECK(TBytes(buffer.Storage) == buffer.AtReturn, "a buffer written after it came back");
        buffer.Header.dwFlags = MHDR_PREPARED;
        buffer.Lent = true;
        FUZZ_CHECK(Reception->AddBuffer(&buffer.Header) == MMSYSERR_NOERROR, "AddBuffer refused");
    }

    TBuffer& NewBuffer(uint32_t size)
    {
        auto buffer = std::make_unique<TBuffer>();
        buffer->Storage.assign(size, 0xEE);
        buffer->AtReturn = buffer->Storage;
        buffer->Header.lpData = buffer->Storage.data();
        buffer->Header.dwBufferLength = size;
        buffer->Header.dwUser = Buffers.size();
        Buffers.push_back(std::move(buffer));
        return *Buffers.back();
    }

    void LendReturned()
    {
        for (auto& buffer : Buffers)
            if (!buffer->Lent)
                Lend(*buffer);
    }

    void Reset()
    {
        Resetting = true;
        Reception->Reset();
        Resetting = false;
        MessageOpen = false;
        for (auto& buffer : Buffers)
            FUZZ_CHECK(!buffer->Lent, "a buffer kept by Reset");
    }

    // The queue empties: what waited comes now.
    void MakeRoom()
    {
        Full = false;
        Reception->DeliverWaiting();
    }

    static bool Callback(TMidiHandle, unsigned message, uintptr_t instance, uintptr_t p1, uintptr_t)
    {
        return static_cast<THarness*>(reinterpret_cast<void*>(instance))->Received(message, p1);
    }

    bool Received(unsigned message, uintptr_t p1)
    {
        if (Full && !Resetting && (message == MIM_DATA || (message == MIM_LONGDATA && p1 != 0)))
            return false;
        TEvent event;
        event.Kind = message;
        if (message == MIM_DATA || message == MIM_ERROR) {
            event.Packed = uint32_t(p1);
            FUZZ_CHECK(p1 <= 0xFFFFFF, "more than three bytes packed");
            if (message == MIM_DATA)
                CheckShort(event.Packed);
            Events.push_back(std::move(event));
            return true;
        }
        FUZZ_CHECK(message == MIM_LONGDATA || message == MIM_LONGERROR, "unknown callback message");
        auto* header = reinterpret_cast<TMidiHeader*>(p1);
        if (!header) {
            FUZZ_CHECK(!Resetting, "a dropped block reported by Reset");
            event.Null = true;
            MessageOpen = false;
            Events.push_back(std::move(event));
            return true;
        }
        TBuffer* buffer = Find(header);
        FUZZ_CHECK(buffer, "a header that was never lent");
        FUZZ_CHECK(buffer->Lent, "a buffer handed back twice");
        FUZZ_CHECK((header->dwFlags & MHDR_DONE) && !(header->dwFlags & MHDR_INQUEUE), "flags not done");
        FUZZ_CHECK(header->dwBytesRecorded <= header->dwBufferLength, "more bytes than the buffer holds");
        buffer->Lent = false;
        buffer->AtReturn = buffer->Storage;
        event.Bytes.assign(header->lpData, header->lpData + header->dwBytesRecorded);
        const TBytes& bytes = event.Bytes;
        if (Resetting && bytes.empty()) {
            Events.push_back(std::move(event));
            return true;
        }
        FUZZ_CHECK(!bytes.empty(), "an empty buffer handed back during reception");
        for (size_t i = 0; i < bytes.size(); ++i) {
            const uint8_t b = bytes[i];
            if (b < 0x80)
                continue;
            FUZZ_CHECK((b == 0xF0 && i == 0) || (b == 0xF7 && i + 1 == bytes.size()),
                       "status byte " + std::to_string(b) + " inside a system exclusive buffer");
        }
        FUZZ_CHECK(MessageOpen || bytes[0] == 0xF0, "a message that does not start with F0");
        const bool full = bytes.size() == header->dwBufferLength;
        event.Ends = bytes.back() == 0xF7 || !full;
        // During a reset too: filled buffers that waited for room come back first, and one may
        // continue the other.
        MessageOpen = !event.Ends;
        Events.push_back(std::move(event));
        return true;
    }

    static void CheckShort(uint32_t packed)
    {
        const uint8_t status = packed & 0xFF;
        FUZZ_CHECK(status >= 0x80 && status != 0xF0 && status != 0xF7, "short message with status " + std::to_string(status));
        const size_t length = ShortMessageLength(status);
        for (size_t i = 1; i < 3; ++i) {
            const uint8_t b = (packed >> (8 * i)) & 0xFF;
            FUZZ_CHECK(i < length ? b < 0x80 : b == 0, "short message bytes " + std::to_string(packed));
        }
    }
};

uint32_t Packed(const TBytes& message)
{
    uint32_t packed = 0;
    for (size_t i = 0; i < message.size(); ++i)
        packed |= uint32_t(message[i]) << (8 * i);
    return packed;
}

// One message of a well-formed stream, and where in the stream it is complete.
struct TMessage {
    TBytes Bytes;
    bool Sysex = false;
    bool OmitStatus = false;     // running status
    int InsideLast = -1;         // a real-time byte placed after this byte of the message before
    size_t Complete = 0;
};

void WellFormed(TFuzzInput& input)
{
    THarness harness;
    harness.Reception = std::make_unique<TInputReception>(nullptr, &THarness::Callback,
                                                          reinterpret_cast<uintptr_t>(&harness));
    const bool ample = input.ConsumeBool();
    const uint32_t bufferSize = input.ConsumeIntegralInRange<uint32_t>(1, 40);

    std::vector<TMessage> messages;
    uint8_t running = 0;
    const int count = input.ConsumeIntegralInRange(0, 48);
    for (int m = 0; m < count; ++m) {
        TMessage message;
        const uint8_t kind = input.ConsumeIntegralInRange(0, 7);
        const uint8_t seed = input.ConsumeIntegral<uint8_t>();
        if (kind <= 3) {
            const uint8_t status = uint8_t(0x80 + seed % 0x70);
            message.Bytes.push_back(status);
            for (size_t i = 1; i < ShortMessageLength(status); ++i)
                message.Bytes.push_back(input.ConsumeIntegral<uint8_t>() & 0x7F);
            message.OmitStatus = status == running && input.ConsumeBool();
            running = status;
        } else if (kind <= 5) {
            message.Sysex = true;
            message.Bytes.push_back(0xF0);
            const size_t length = input.ConsumeIntegralInRange<size_t>(0, kind == 4 ? 8 : 300);
            for (size_t i = 0; i < length; ++i)
                message.Bytes.push_back(uint8_t((input.ConsumeIntegral<uint8_t>() + i) & 0x7F));
            message.Bytes.push_back(0xF7);
            running = 0;
        } else if (kind == 6) {
            static const uint8_t common[] = {0xF1, 0xF2, 0xF3, 0xF6};
            const uint8_t status = common[seed % 4];
            message.Bytes.push_back(status);
            for (size_t i = 1; i < ShortMessageLength(status); ++i)
                message.Bytes.push_back(input.ConsumeIntegral<uint8_t>() & 0x7F);
            running = 0;
        } else {
            message.Bytes.push_back(uint8_t(0xF8 | (seed & 7)));
            // Placed inside the message before it, between two of its bytes, or after it.
            if (!messages.empty() && (seed & 0x80)) {
                const TMessage& before = messages.back();
                const size_t first = before.OmitStatus ? 1 : 0;
                if (before.InsideLast < 0 && before.Bytes.size() > first + 1 && before.Bytes[0] < 0xF8)
                    message.InsideLast = int(first + seed % (before.Bytes.size() - 1 - first));
            }
        }
        messages.push_back(std::move(message));
    }

    // The stream, and the position where each message is complete.
    TBytes stream;
    for (size_t m = 0; m < messages.size(); ++m) {
        TMessage& message = messages[m];
        if (message.InsideLast >= 0)
            continue;  // written with the message before
        TMessage* inside = m + 1 < messages.size() && messages[m + 1].InsideLast >= 0 ? &messages[m + 1] : nullptr;
        for (size_t i = message.OmitStatus ? 1 : 0; i < message.Bytes.size(); ++i) {
            stream.push_back(message.Bytes[i]);
            if (inside && int(i) == inside->InsideLast) {
                stream.push_back(inside->Bytes[0]);
                inside->Complete = stream.size();
            }
        }
        message.Complete = stream.size();
    }

    // Buffers enough for every system exclusive byte, each message starting a buffer of its own.
    size_t enough = 1;
    for (const TMessage& message : messages)
        if (message.Sysex)
            enough += (message.Bytes.size() + bufferSize - 1) / bufferSize;
    // Once the port lends buffers, short messages wait for whole system exclusive messages
    // before them that wait for a buffer: then the order between short and long holds too,
    // whatever waited for room in the queue or for a buffer.
    const bool lending = ample || input.ConsumeBool();
    if (ample) {
        for (size_t i = 0; i < enough; ++i)
            harness.Lend(harness.NewBuffer(bufferSize));
    } else if (lending) {
        harness.Lend(harness.NewBuffer(bufferSize));
    }
    size_t at = 0;
    uint32_t time = 0;
    while (at < stream.size()) {
        size_t piece = input.ConsumeIntegralInRange<size_t>(1, 64);
        if (input.RemainingBytes() == 0)
            piece = stream.size() - at;
        piece = std::min(piece, stream.size() - at);
        harness.Reception->Receive(stream.data() + at, piece, ++time);
        at += piece;
        const int queue = input.ConsumeIntegralInRange(0, 3);
        if (queue == 0)
            harness.Full = true;
        else if (queue == 1)
            harness.MakeRoom();
        if (!ample) {
            const int lend = input.ConsumeIntegralInRange(0, 3);
            for (int i = 0; i < lend; ++i) {
                auto returned = std::find_if(harness.Buffers.begin(), harness.Buffers.end(),
                                             [](const auto& b) { return !b->Lent; });
                harness.Lend(returned != harness.Buffers.end() ? **returned : harness.NewBuffer(bufferSize));
            }
        }
    }
    // Then the window catches up: every message waiting for room and every byte waiting for a
    // buffer arrives.
    harness.MakeRoom();
    harness.LendReturned();
    for (size_t i = 0; i < enough; ++i)
        harness.Lend(harness.NewBuffer(bufferSize));

    // What was sent, in the order it was complete.
    std::vector<const TMessage*> order;
    for (const TMessage& message : messages)
        order.push_back(&message);
    std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->Complete < b->Complete; });
    std::vector<uint32_t> expectedShort;
    std::vector<TBytes> expectedSysex;
    std::vector<TBytes> expectedAll;  // short messages as their three packed bytes
    for (const TMessage* message : order) {
        if (message->Sysex) {
            expectedSysex.push_back(message->Bytes);
            expectedAll.push_back(message->Bytes);
        } else {
            expectedShort.push_back(Packed(message->Bytes));
            expectedAll.push_back({uint8_t(0), uint8_t(Packed(message->Bytes) & 0xFF),
                                   uint8_t(Packed(message->Bytes) >> 8), uint8_t(Packed(message->Bytes) >> 16)});
        }
    }

    std::vector<uint32_t> seenShort;
    std::vector<TBytes> seenSysex;
    std::vector<TBytes> seenAll;
    TBytes open;
    for (const TEvent& event : harness.Events) {
        FUZZ_CHECK(event.Kind != MIM_ERROR, "a well-formed stream gave an error: " + std::to_string(event.Packed));
        FUZZ_CHECK(!event.Null, "a well-formed stream lost bytes");
        FUZZ_CHECK(event.Kind != MIM_LONGERROR, "a well-formed message ended badly");
        if (event.Kind == MIM_DATA) {
            seenShort.push_back(event.Packed);
            seenAll.push_back({uint8_t(0), uint8_t(event.Packed & 0xFF), uint8_t(event.Packed >> 8),
                               uint8_t(event.Packed >> 16)});
            continue;
        }
        open.insert(open.end(), event.Bytes.begin(), event.Bytes.end());
        if (event.Ends) {
            seenSysex.push_back(open);
            seenAll.push_back(open);
            open.clear();
        }
    }
    FUZZ_CHECK(open.empty(), "a system exclusive message left unfinished");
    FUZZ_CHECK(seenShort == expectedShort, "short messages differ");
    FUZZ_CHECK(seenSysex == expectedSysex, "system exclusive messages differ");
    if (lending)
        FUZZ_CHECK(seenAll == expectedAll, "short and long messages out of order");
    for (auto& buffer : harness.Buffers)
        FUZZ_CHECK(!buffer->Lent || buffer->Header.dwBytesRecorded == 0, "bytes left in a lent buffer");
    harness.Reset();
}

// Any bytes at all, any pieces, buffers lent and the reception reset at any moment.
void AnyStream(TFuzzInput& input)
{
    THarness harness;
    harness.Reception = std::make_unique<TInputReception>(nullptr, &THarness::Callback,
                                                          reinterpret_cast<uintptr_t>(&harness));
    TBytes all;  // every byte received, in order
    uint32_t time = 0;
    while (input.RemainingBytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 7)) {
        case 4:
            if (harness.Buffers.size() < 64)
                harness.Lend(harness.NewBuffer(input.ConsumeIntegralInRange<uint32_t>(1, 32)));
            break;
        case 5:
            harness.LendReturned();
            break;
        case 6:
            if (input.ConsumeIntegralInRange(0, 3) == 0)
                harness.Reset();
            break;
        case 7:
            if (input.ConsumeBool())
                harness.Full = true;
            else
                harness.MakeRoom();
            break;
        default: {
            const TBytes piece = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 48));
            harness.Reception->Receive(piece.data(), piece.size(), ++time);
            all.insert(all.end(), piece.begin(), piece.end());
            break;
        }
        }
    }
    harness.MakeRoom();
    harness.LendReturned();
    for (int i = 0; i < 8; ++i)
        harness.Lend(harness.NewBuffer(64));
    // Nothing invented, nothing twice: what the buffers hold is a subsequence of what came in.
    size_t at = 0;
    for (const TEvent& event : harness.Events) {
        for (uint8_t b : event.Bytes) {
            while (at < all.size() && all[at] != b)
                ++at;
            FUZZ_CHECK(at < all.size(), "a byte in a buffer that never came in");
            ++at;
        }
    }
    harness.Reset();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFuzzInput input(data, size);
    if (input.ConsumeBool())
        WellFormed(input);
    else
        AnyStream(input);
    return 0;
}
