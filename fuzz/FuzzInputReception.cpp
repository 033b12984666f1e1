// The input reception: any byte stream a device may send, cut into pieces anywhere, with buffers
// lent at any moment, and the port's queue full at any moment (what it refuses waits in the
// reception until the port asks for it). A well-formed stream must arrive whole: every short
// message once and in order, every system exclusive message byte for byte with its end where
// it was. Any stream, with the port closing and opening again at any moment, must keep the
// loans: a buffer comes back once per loan, is never written after, holds no status byte but
// its first F0 and last F7, and nothing is invented.
#include "FuzzSupport.h"
#include "platform/InputReception.h"

#include "FuzzInput.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

enum class TKind { Short, Sysex, Lost, Malformed };

struct TBuffer {
    explicit TBuffer(size_t size) : Loan(size) {}
    TSysexBuffer Loan;
    TBytes AtReturn;  // the contents when it came back, which nobody may change until lent again
    bool Lent = false;
};

struct TEvent {
    TKind Kind = TKind::Short;
    TBytes Bytes;       // a short message, bytes that form none, or a buffer's bytes
    bool Ends = false;  // a buffer that ends a message (F7, or not full)
};

struct THarness final : TReceptionTarget {
    std::vector<std::unique_ptr<TBuffer>> Buffers;
    std::vector<TEvent> Events;
    bool MessageOpen = false;  // the last buffer handed back was full and had no F7
    bool Full = false;  // the port's queue has no room: it refuses messages and filled buffers
    std::unique_ptr<TInputReception> Reception = std::make_unique<TInputReception>(*this);

    TBuffer* Find(TSysexBuffer& loan)
    {
        for (auto& buffer : Buffers)
            if (&buffer->Loan == &loan)
                return buffer.get();
        return nullptr;
    }

    void Lend(TBuffer& buffer)
    {
        FUZZ_CHECK(!buffer.Lent, "a buffer lent twice");
        FUZZ_CHECK(buffer.Loan.Data == buffer.AtReturn, "a buffer written after it came back");
        buffer.Lent = true;
        Reception->Lend(buffer.Loan);
    }

    TBuffer& NewBuffer(uint32_t size)
    {
        auto buffer = std::make_unique<TBuffer>(size);
        std::fill(buffer->Loan.Data.begin(), buffer->Loan.Data.end(), 0xEE);
        buffer->AtReturn = buffer->Loan.Data;
        Buffers.push_back(std::move(buffer));
        return *Buffers.back();
    }

    void LendReturned()
    {
        for (auto& buffer : Buffers)
            if (!buffer->Lent)
                Lend(*buffer);
    }

    // The port closes and opens again: the reception goes with everything it held, and every
    // buffer is the port's again. A new reception starts from nothing.
    void Reopen()
    {
        Reception = std::make_unique<TInputReception>(*this);
        MessageOpen = false;
        for (auto& buffer : Buffers) {
            buffer->Lent = false;
            buffer->AtReturn = buffer->Loan.Data;
        }
    }

    // The queue empties: what waited comes now.
    void MakeRoom()
    {
        Full = false;
        Reception->DeliverWaiting();
    }

    bool TakeShort(const uint8_t* bytes, size_t length, TDeviceTime) override
    {
        if (Full)
            return false;
        TEvent event{TKind::Short, TBytes(bytes, bytes + length)};
        CheckShort(event.Bytes);
        Events.push_back(std::move(event));
        return true;
    }

    void Malformed(const uint8_t* bytes, size_t length, TDeviceTime) override
    {
        FUZZ_CHECK(length >= 1 && length <= 3, "malformed bytes of length " + std::to_string(length));
        Events.push_back({TKind::Malformed, TBytes(bytes, bytes + length)});
    }

    void Lost(TDeviceTime) override
    {
        MessageOpen = false;
        Events.push_back({TKind::Lost, {}});
    }

    bool TakeSysex(TSysexBuffer& loan, TDeviceTime) override
    {
        if (Full)
            return false;
        TBuffer* buffer = Find(loan);
        FUZZ_CHECK(buffer, "a buffer that was never lent");
        FUZZ_CHECK(buffer->Lent, "a buffer handed back twice");
        FUZZ_CHECK(loan.Used <= loan.Data.size(), "more bytes than the buffer holds");
        buffer->Lent = false;
        buffer->AtReturn = loan.Data;
        TEvent event{TKind::Sysex, TBytes(loan.Data.begin(), loan.Data.begin() + std::ptrdiff_t(loan.Used))};
        const TBytes& bytes = event.Bytes;
        FUZZ_CHECK(!bytes.empty(), "an empty buffer handed back");
        for (size_t i = 0; i < bytes.size(); ++i) {
            const uint8_t b = bytes[i];
            if (b < 0x80)
                continue;
            FUZZ_CHECK((b == 0xF0 && i == 0) || (b == 0xF7 && i + 1 == bytes.size()),
                       "status byte " + std::to_string(b) + " inside a system exclusive buffer");
        }
        FUZZ_CHECK(MessageOpen || bytes[0] == 0xF0, "a message that does not start with F0");
        const bool full = bytes.size() == loan.Data.size();
        event.Ends = bytes.back() == 0xF7 || !full;
        MessageOpen = !event.Ends;
        Events.push_back(std::move(event));
        return true;
    }

    static void CheckShort(const TBytes& message)
    {
        FUZZ_CHECK(!message.empty(), "an empty short message");
        const uint8_t status = message[0];
        FUZZ_CHECK(status >= 0x80 && status != 0xF0 && status != 0xF7, "short message with status " + std::to_string(status));
        FUZZ_CHECK(message.size() == ShortMessageLength(status), "short message of length " + std::to_string(message.size()));
        for (size_t i = 1; i < message.size(); ++i)
            FUZZ_CHECK(message[i] < 0x80, "a status byte as data of a short message");
    }
};

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
        harness.Reception->Receive(stream.data() + at, piece, TDeviceTime(std::chrono::microseconds(++time)));
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
    // Each message once, tagged with its kind, so that a short message never equals a system
    // exclusive one in the comparison of both in one order.
    std::vector<TBytes> expectedShort;
    std::vector<TBytes> expectedSysex;
    std::vector<std::pair<TKind, TBytes>> expectedAll;
    for (const TMessage* message : order) {
        (message->Sysex ? expectedSysex : expectedShort).push_back(message->Bytes);
        expectedAll.emplace_back(message->Sysex ? TKind::Sysex : TKind::Short, message->Bytes);
    }

    std::vector<TBytes> seenShort;
    std::vector<TBytes> seenSysex;
    std::vector<std::pair<TKind, TBytes>> seenAll;
    TBytes open;
    for (const TEvent& event : harness.Events) {
        FUZZ_CHECK(event.Kind != TKind::Malformed, "a well-formed stream gave malformed bytes");
        FUZZ_CHECK(event.Kind != TKind::Lost, "a well-formed stream lost bytes");
        if (event.Kind == TKind::Short) {
            seenShort.push_back(event.Bytes);
            seenAll.emplace_back(TKind::Short, event.Bytes);
            continue;
        }
        open.insert(open.end(), event.Bytes.begin(), event.Bytes.end());
        if (event.Ends) {
            seenSysex.push_back(open);
            seenAll.emplace_back(TKind::Sysex, open);
            open.clear();
        }
    }
    FUZZ_CHECK(open.empty(), "a system exclusive message left unfinished");
    FUZZ_CHECK(seenShort == expectedShort, "short messages differ");
    FUZZ_CHECK(seenSysex == expectedSysex, "system exclusive messages differ");
    if (lending)
        FUZZ_CHECK(seenAll == expectedAll, "short and long messages out of order");
    for (auto& buffer : harness.Buffers)
        FUZZ_CHECK(!buffer->Lent || buffer->Loan.Used == 0, "bytes left in a lent buffer");
}

// Any bytes at all, any pieces, buffers lent and the reception reset at any moment.
void AnyStream(TFuzzInput& input)
{
    THarness harness;
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
                harness.Reopen();
            break;
        case 7:
            if (input.ConsumeBool())
                harness.Full = true;
            else
                harness.MakeRoom();
            break;
        default: {
            const TBytes piece = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 48));
            harness.Reception->Receive(piece.data(), piece.size(), TDeviceTime(std::chrono::microseconds(++time)));
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
        if (event.Kind != TKind::Sysex)
            continue;
        for (uint8_t b : event.Bytes) {
            while (at < all.size() && all[at] != b)
                ++at;
            FUZZ_CHECK(at < all.size(), "a byte in a buffer that never came in");
            ++at;
        }
    }
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
