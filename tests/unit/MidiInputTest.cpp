// The input port against the recording backend, which plays the input device: what reaches the
// owner, in which order, and what never does.
#include "MidiInput.h"
#include "RecordingBackend.h"
#include "TestBytes.h"
#include "platform/DeviceList.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace {

// One event as the owner sees it: three bytes for a short message, the block for system
// exclusive.
struct TSeen {
    bool Sysex = false;
    TBytes Bytes;
    bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSeen& seen)
{
    out << (seen.Sysex ? "sysex" : "short");
    for (uint8_t b : seen.Bytes)
        out << ' ' << std::hex << int(b) << std::dec;
    return out;
}

TSeen Short(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0)
{
    return {false, {status, data1, data2}};
}

TSeen Sysex(TBytes bytes)
{
    return {true, std::move(bytes)};
}

TSeen SeenOf(const TMidiEvent& event)
{
    if (event.StatusByte != 0xF0)
        return Short(event.StatusByte, event.DataByte1, event.DataByte2);
    EXPECT_EQ(event.DataByte1, 0);
    EXPECT_EQ(event.DataByte2, 0);
    return Sysex(TBytes(event.SysexData.get(), event.SysexData.get() + event.SysexSize));
}

template <class F>
std::string ErrorOf(F&& action)
{
    try {
        action();
    } catch (const EMidiInputError& error) {
        return error.what();
    }
    return "(nothing raised)";
}

class MidiInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Service = UseRecordingBackend();
        Port = std::make_unique<TMidiInput>();
        // Like the window: one event taken per notification.
        Port->OnMidiInput = [this](QObject* sender) {
            EXPECT_EQ(sender, Port.get());
            ++Notified;
            if (!TakeOnNotify)
                return;
            if (auto event = Port->GetMidiEvent())
                Seen.push_back(SeenOf(*event));
        };
        Port->OnOverflow = [this](QObject* sender) {
            EXPECT_EQ(sender, Port.get());
            ++Overflows;
        };
    }
    void TearDown() override
    {
        Port.reset();
        SetDeviceList(nullptr);
    }

    void OpenAndStart()
    {
        Port->Open();
        ASSERT_EQ(Port->PortState(), TMidiInput::TPortState::Open) << Port->LastFailure().Text();
        Port->Start();
    }
    // What the window thread would do next: handle every posted notification, and those the
    // handling posts in turn (a buffer lent again is filled at once; room made is offered to
    // what waits in the reception, whose notifications come a pass later), until two passes in
    // a row call nothing.
    void Deliver()
    {
        for (int quiet = 0; quiet < 2;) {
            const int before = Notified + Overflows;
            QCoreApplication::sendPostedEvents();
            quiet = Notified + Overflows == before ? quiet + 1 : 0;
        }
    }
    std::vector<TSeen> TakeSeen() { return std::exchange(Seen, {}); }
    // The window catches up after a stall: it takes what the queue holds, then, a notification
    // at a time, what the reception kept waiting.
    std::vector<TSeen> CatchUp()
    {
        TakeOnNotify = true;
        std::vector<TSeen> seen = DrainAll();
        Deliver();
        for (TSeen& event : TakeSeen())
            seen.push_back(std::move(event));
        return seen;
    }
    std::vector<TSeen> DrainAll()
    {
        std::vector<TSeen> all;
        while (auto event = Port->GetMidiEvent())
            all.push_back(SeenOf(*event));
        return all;
    }

    std::shared_ptr<TRecordingBackend> Service;
    std::unique_ptr<TMidiInput> Port;
    bool TakeOnNotify = true;
    int Notified = 0;
    int Overflows = 0;
    std::vector<TSeen> Seen;
};

}  // namespace

// --- short messages

struct TShortCase {
    const char* Name;
    TBytes Wire;
    std::optional<TSeen> Arrives;  // nullopt: nothing reaches the owner
};

class ShortMessages : public MidiInputTest, public ::testing::WithParamInterface<TShortCase> {};

TEST_P(ShortMessages, ArriveAsThreeBytesOrNotAtAll)
{
    OpenAndStart();
    Service->Inject(GetParam().Wire);
    Deliver();
    if (GetParam().Arrives) {
        EXPECT_EQ(Notified, 1);
        EXPECT_EQ(TakeSeen(), std::vector<TSeen>{*GetParam().Arrives});
    } else {
        EXPECT_EQ(Notified, 0) << "no notification at all";
        EXPECT_TRUE(TakeSeen().empty());
        EXPECT_EQ(Port->PendingCount(), 0);
    }
    EXPECT_EQ(Overflows, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShortMessages,
    ::testing::Values(TShortCase{"NoteOn", {0x90, 0x3C, 0x7F}, Short(0x90, 0x3C, 0x7F)},
                      TShortCase{"NoteOff", {0x80, 0x3C, 0x00}, Short(0x80, 0x3C, 0x00)},
                      TShortCase{"ProgramChange", {0xC0, 0x05}, Short(0xC0, 0x05, 0x00)},
                      TShortCase{"ChannelPressure", {0xDF, 0x40}, Short(0xDF, 0x40, 0x00)},
                      TShortCase{"PitchBend", {0xE0, 0x00, 0x40}, Short(0xE0, 0x00, 0x40)},
                      TShortCase{"TimeCode", {0xF1, 0x25}, Short(0xF1, 0x25, 0x00)},
                      TShortCase{"TuneRequest", {0xF6}, Short(0xF6)},
                      TShortCase{"Start", {0xFA}, Short(0xFA)},
                      TShortCase{"Continue", {0xFB}, Short(0xFB)},
                      TShortCase{"Stop", {0xFC}, Short(0xFC)},
                      TShortCase{"SystemReset", {0xFF}, Short(0xFF)},
                      TShortCase{"TimingClock", {0xF8}, std::nullopt},
                      TShortCase{"ActiveSensing", {0xFE}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MidiInputTest, MessagesArriveInOrderWithTheirTime)
{
    OpenAndStart();
    // The device's time goes through unchanged; the time stamp counts from Start, and what
    // the device had before it counts as 0.
    const TDeviceTime start = Port->StartTime();
    Service->Inject({0xB0, 0x07, 0x64}, start - std::chrono::microseconds(300));
    Service->Inject({0x90, 0x3C, 0x7F}, start + std::chrono::microseconds(5'250));
    Service->Inject({0xF8}, start + std::chrono::milliseconds(6));
    Service->Inject({0x80, 0x3C, 0x00}, start + std::chrono::microseconds(7'999));
    TakeOnNotify = false;
    Deliver();
    auto early = Port->GetMidiEvent();
    auto first = Port->GetMidiEvent();
    auto second = Port->GetMidiEvent();
    ASSERT_TRUE(early && first && second);
    EXPECT_EQ(early->TimeStamp, 0u);
    EXPECT_EQ(early->DeviceTime, start - std::chrono::microseconds(300));
    EXPECT_EQ(SeenOf(*first), Short(0x90, 0x3C, 0x7F));
    EXPECT_EQ(first->TimeStamp, 5u);
    EXPECT_EQ(first->DeviceTime, start + std::chrono::microseconds(5'250));
    EXPECT_EQ(SeenOf(*second), Short(0x80, 0x3C, 0x00));
    EXPECT_EQ(second->TimeStamp, 7u);
    EXPECT_EQ(second->DeviceTime, start + std::chrono::microseconds(7'999));
    EXPECT_EQ(second->SysexSize, 0u);
    EXPECT_EQ(second->SysexData, nullptr);
    EXPECT_EQ(Port->GetMidiEvent(), nullptr) << "empty queue";
}

TEST_F(MidiInputTest, SysexOnlySetWhileOpenActsAtOnce)
{
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});
    Port->SetSysexOnly(true);
    Service->Inject({0x90, 0x3D, 0x7F});
    Service->Inject({0xF0, 0x01, 0xF7});
    Port->SetSysexOnly(false);
    Service->Inject({0x90, 0x3E, 0x7F});
    Deliver();
    EXPECT_EQ(TakeSeen(), (std::vector<TSeen>{Short(0x90, 0x3C, 0x7F), Sysex({0xF0, 0x01, 0xF7}),
                                              Short(0x90, 0x3E, 0x7F)}));
    EXPECT_EQ(Overflows, 0);
}

TEST_F(MidiInputTest, SysexOnlySetBeforeOpenHolds)
{
    Port->SetSysexOnly(true);
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});
    Service->Inject({0xF0, 0x02, 0xF7});
    Deliver();
    EXPECT_EQ(TakeSeen(), std::vector<TSeen>{Sysex({0xF0, 0x02, 0xF7})});
}

// --- the queue

TEST_F(MidiInputTest, QueueOf1024HoldsThemAndThe1025thWaitsInTheReceptionForRoom)
{
    OpenAndStart();
    for (int n = 0; n < 1025; ++n)
        Service->Inject({0x90, uint8_t(n % 128), uint8_t(n / 128 + 1)});
    EXPECT_EQ(Port->PendingCount(), 1024);
    TakeOnNotify = false;
    Deliver();
    EXPECT_EQ(Notified, 1024);
    EXPECT_EQ(Overflows, 0);
    const std::vector<TSeen> all = DrainAll();
    ASSERT_EQ(all.size(), 1024u);
    for (int n = 0; n < 1024; ++n)
        ASSERT_EQ(all[n], Short(0x90, uint8_t(n % 128), uint8_t(n / 128 + 1))) << n;
    Deliver();  // the room the window made is offered to what waits
    EXPECT_EQ(DrainAll(), std::vector<TSeen>{Short(0x90, 0, 9)});
    EXPECT_EQ(Overflows, 0);
}

TEST_F(MidiInputTest, CapacityChangedWhileOpenWaitsForTheNextOpen)
{
    OpenAndStart();
    Port->SetCapacity(2);
    for (uint8_t key = 60; key < 63; ++key)
        Service->Inject({0x90, key, 0x40});
    Deliver();
    EXPECT_EQ(TakeSeen().size(), 3u);
    EXPECT_EQ(Overflows, 0);

    Port->Close();
    OpenAndStart();
    for (uint8_t key = 60; key < 63; ++key)
        Service->Inject({0x90, key, 0x40});
    EXPECT_EQ(Port->PendingCount(), 2) << "the third waits in the reception";
    Deliver();
    EXPECT_EQ(TakeSeen(), (std::vector<TSeen>{Short(0x90, 60, 0x40), Short(0x90, 61, 0x40), Short(0x90, 62, 0x40)}));
    EXPECT_EQ(Overflows, 0);
}

// --- system exclusive

TEST_F(MidiInputTest, TenByteSysexArrivesWholeAndItsBufferIsLentAgain)
{
    // One buffer only: each message can arrive only if the previous one's buffer came back.
    Port->SetSysexBufferCount(1);
    OpenAndStart();
    for (uint8_t round = 0; round < 3; ++round) {
        const TBytes message = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, round, 0xF7};
        Service->Inject(message, Port->StartTime() + std::chrono::milliseconds(100 + round));
        TakeOnNotify = false;
        Deliver();
        auto event = Port->GetMidiEvent();
        ASSERT_NE(event, nullptr) << "round " << int(round);
        EXPECT_EQ(event->StatusByte, 0xF0);
        EXPECT_EQ(event->SysexSize, 10u);
        EXPECT_EQ(SeenOf(*event), Sysex(message));
        EXPECT_EQ(event->TimeStamp, 100u + round);
    }
    EXPECT_EQ(Overflows, 0);
}

struct TLongCase {
    const char* Name;
    size_t Length;
    uint16_t BufferCount;
    std::vector<uint32_t> Sizes;  // of the blocks, in order
};

class LongSysex : public MidiInputTest, public ::testing::WithParamInterface<TLongCase> {};

TEST_P(LongSysex, ArrivesInOrderAcrossFullBuffersThenAPartOne)
{
    Port->SetSysexBufferCount(GetParam().BufferCount);
    OpenAndStart();
    const TBytes message = SysexOfLength(GetParam().Length, 3);
    Service->Inject(message);
    Deliver();
    const std::vector<TSeen> seen = TakeSeen();
    std::vector<uint32_t> sizes;
    TBytes joined;
    for (const TSeen& block : seen) {
        EXPECT_TRUE(block.Sysex);
        sizes.push_back(uint32_t(block.Bytes.size()));
        joined.insert(joined.end(), block.Bytes.begin(), block.Bytes.end());
    }
    EXPECT_EQ(sizes, GetParam().Sizes);
    EXPECT_TRUE(joined == message) << "bytes lost or out of order";
    EXPECT_EQ(Overflows, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LongSysex,
    ::testing::Values(TLongCase{"TenThousandBytes", 10000, 16, {4096, 4096, 1808}},
                      TLongCase{"ExactlyOneBuffer", 4096, 16, {4096}},
                      // More than the lent buffers hold: the rest waits for buffers lent again.
                      TLongCase{"TenBuffersThroughTwo", 40000, 2,
                                {4096, 4096, 4096, 4096, 4096, 4096, 4096, 4096, 4096, 3136}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MidiInputTest, SysexInPiecesIsJoinedAndShortMessagesAroundItKeepTheirPlace)
{
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});
    Service->Inject({0xF0, 0x43, 0x10});
    Service->Inject({0x4C, 0x00});
    Service->Inject({0x00, 0x7E, 0x00, 0xF7});
    Service->Inject({0x80, 0x3C, 0x00});
    Deliver();
    EXPECT_EQ(TakeSeen(), (std::vector<TSeen>{Short(0x90, 0x3C, 0x7F),
                                              Sysex({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}),
                                              Short(0x80, 0x3C, 0x00)}));
}

// A message whose F7 never comes must not swallow what follows: the next status byte ends it.
TEST_F(MidiInputTest, SysexWithoutItsEndIsEndedByTheNextStatus)
{
    OpenAndStart();
    Service->Inject({0xF0, 0x7E, 0x01});
    Service->Inject({0x90, 0x3C, 0x7F});
    Service->Inject({0xF0, 0x7E, 0x02});
    Service->Inject({0xF0, 0x7E, 0x03, 0xF7});
    Deliver();
    EXPECT_EQ(TakeSeen(), (std::vector<TSeen>{Sysex({0xF0, 0x7E, 0x01}), Short(0x90, 0x3C, 0x7F),
                                              Sysex({0xF0, 0x7E, 0x02}), Sysex({0xF0, 0x7E, 0x03, 0xF7})}));
}

TEST_F(MidiInputTest, RealTimeInsideSysexArrivesOnItsOwnAndLeavesTheMessageWhole)
{
    OpenAndStart();
    Service->Inject({0xF0, 0x01, 0x02});
    Service->Inject({0xFA});
    Service->Inject({0xF8});
    Service->Inject({0x03, 0xF7});
    Deliver();
    EXPECT_EQ(TakeSeen(), (std::vector<TSeen>{Short(0xFA), Sysex({0xF0, 0x01, 0x02, 0x03, 0xF7})}));
}

// Past the 16 MiB that may wait for buffers the reception drops, says so, and keeps what it had
// as a message of its own: the rest of the damaged message never joins it or the next one.
TEST_F(MidiInputTest, BytesBeyondTheWaitingBoundAreDroppedWithAnOverflowAndTheNextMessageStandsAlone)
{
    OpenAndStart();
    TBytes kept(TInputReception::PendingLimit, 0x11);
    kept.front() = 0xF0;
    TakeOnNotify = false;
    Service->Inject(kept);                           // fills the 16 buffers, the rest waits
    Service->Inject(TBytes(100 * 1024, 0x22));       // no room: dropped
    Service->Inject({0x33, 0x33, 0xF7});             // the rest of that message: dropped too
    Service->Inject({0xF0, 0x55, 0xF7});             // a new message
    Deliver();
    EXPECT_EQ(Overflows, 2);

    TakeOnNotify = true;
    std::vector<TSeen> seen;
    for (int round = 0; round < 10000 && (Port->PendingCount() > 0 || round == 0); ++round) {
        for (auto& block : DrainAll())
            seen.push_back(std::move(block));
        Deliver();
        for (auto& block : TakeSeen())
            seen.push_back(std::move(block));
    }
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.back(), Sysex({0xF0, 0x55, 0xF7}));
    TBytes joined;
    for (size_t i = 0; i + 1 < seen.size(); ++i) {
        ASSERT_TRUE(seen[i].Sysex);
        joined.insert(joined.end(), seen[i].Bytes.begin(), seen[i].Bytes.end());
    }
    EXPECT_EQ(joined.size(), kept.size());
    EXPECT_TRUE(joined == kept);
}

// A window thread that takes nothing for a while loses nothing: what the full queue refuses,
// short messages and filled buffers alike, waits in the reception and arrives in order, even
// with more system exclusive messages than buffers (short messages wait for the bytes that
// wait for a buffer).
TEST_F(MidiInputTest, WhatAFullQueueRefusesArrivesLaterInOrder)
{
    OpenAndStart();
    TakeOnNotify = false;
    std::vector<TSeen> sent;
    for (int n = 0; n < 6000; ++n) {
        if (n % 100 == 99) {
            const TBytes sysex = {0xF0, 0x7E, uint8_t(n % 128), uint8_t(n / 128), 0xF7};
            Service->Inject(sysex);
            sent.push_back(Sysex(sysex));
        } else {
            Service->Inject({0x90, uint8_t(n % 128), uint8_t(n / 128 + 1)});
            sent.push_back(Short(0x90, uint8_t(n % 128), uint8_t(n / 128 + 1)));
        }
    }
    EXPECT_EQ(Port->PendingCount(), 1024);
    Deliver();
    EXPECT_EQ(Overflows, 0);
    EXPECT_EQ(CatchUp(), sent);
    EXPECT_EQ(Overflows, 0);
}

// Only past what the reception may keep are short messages lost, each reported. A filled buffer
// is never lost, so system exclusive reception goes on: otherwise each loss could take a buffer
// for good and, once the sixteen were gone, no system exclusive message would ever arrive
// again while short ones still did.
TEST_F(MidiInputTest, SysexSentAfterAnOverflowingMixedBurstArrivesWhole)
{
    OpenAndStart();
    TakeOnNotify = false;
    std::vector<TSeen> kept;
    const int held = 1024 + int(TInputReception::WaitingShortLimit);
    for (int n = 0; n < held; ++n) {
        Service->Inject({0x90, uint8_t(n % 128), 0x40});
        kept.push_back(Short(0x90, uint8_t(n % 128), 0x40));
    }
    const int burst = 8 * 40;  // forty system exclusive messages, more than the buffers
    for (int n = 0; n < burst; ++n) {
        if (n % 8 == 7) {
            const TBytes sysex = {0xF0, 0x7E, uint8_t(n % 128), uint8_t(n / 128), 0xF7};
            Service->Inject(sysex);
            kept.push_back(Sysex(sysex));
        } else {
            Service->Inject({0x80, uint8_t(n % 128), 0x00});
        }
    }
    Deliver();
    EXPECT_EQ(Overflows, burst / 8 * 7) << "every short message of the burst was lost, each one reported";
    EXPECT_EQ(CatchUp(), kept);

    const TBytes after = {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
    for (int round = 0; round < 20; ++round) {  // more than the buffers again
        Service->Inject(after);
        Deliver();
        ASSERT_EQ(TakeSeen(), std::vector<TSeen>{Sysex(after)}) << "round " << round;
    }
    EXPECT_EQ(Overflows, burst / 8 * 7);
}

// A close with a full queue and a buffer holding part of a message leaves nothing behind: the
// next Open lends every buffer again.
TEST_F(MidiInputTest, CloseWithAFullQueueTakesBackEveryBufferAndTheNextOpenReceivesSysex)
{
    Port->SetCapacity(1);
    Port->SetSysexBufferCount(2);
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});
    Service->Inject({0xF0, 0x01, 0x02});  // waits in a lent buffer for its end
    Port->Close();
    EXPECT_FALSE(Service->InputOpen());
    Deliver();
    EXPECT_EQ(Notified + Overflows, 0);
    OpenAndStart();
    for (uint8_t round = 0; round < 3; ++round) {
        Service->Inject({0xF0, round, 0xF7});
        Deliver();
        EXPECT_EQ(TakeSeen(), std::vector<TSeen>{Sysex({0xF0, round, 0xF7})});
    }
}

// --- the byte stream, whatever its pieces

// A device's bytes may reach us cut anywhere or several messages at once (one JACK event may hold
// what a serial line sent). Bytes that form no message reach nothing.
struct TStreamCase {
    const char* Name;
    std::vector<TBytes> Pieces;
    std::vector<TSeen> Arrives;
};

class StreamPieces : public MidiInputTest, public ::testing::WithParamInterface<TStreamCase> {};

TEST_P(StreamPieces, ArriveAsTheMessagesTheyHold)
{
    OpenAndStart();
    for (const TBytes& piece : GetParam().Pieces)
        Service->Inject(piece);
    Deliver();
    EXPECT_EQ(TakeSeen(), GetParam().Arrives);
    EXPECT_EQ(Overflows, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StreamPieces,
    ::testing::Values(
        TStreamCase{"TwoMessagesInOnePiece", {{0x90, 0x3C, 0x7F, 0x80, 0x3C, 0x00}},
                    {Short(0x90, 0x3C, 0x7F), Short(0x80, 0x3C, 0x00)}},
        TStreamCase{"OneMessageInThreePieces", {{0x90}, {0x3C}, {0x7F}}, {Short(0x90, 0x3C, 0x7F)}},
        TStreamCase{"RunningStatusWithinAndAcrossPieces", {{0x90, 0x3C, 0x7F, 0x3E}, {0x7F}, {0x3C, 0x00}},
                    {Short(0x90, 0x3C, 0x7F), Short(0x90, 0x3E, 0x7F), Short(0x90, 0x3C, 0x00)}},
        TStreamCase{"RealTimeBetweenTheBytesOfAMessage", {{0x90, 0x3C, 0xFA, 0xF8, 0x7F}},
                    {Short(0xFA), Short(0x90, 0x3C, 0x7F)}},
        TStreamCase{"SysexThenAShortMessageInOnePiece", {{0xF0, 0x01, 0x02, 0xF7, 0x90, 0x3C, 0x7F}},
                    {Sysex({0xF0, 0x01, 0x02, 0xF7}), Short(0x90, 0x3C, 0x7F)}},
        TStreamCase{"RealTimeInsideASysexPiece", {{0xF0, 0x01, 0xFC, 0x02}, {0x03, 0xF8, 0xF7}},
                    {Short(0xFC), Sysex({0xF0, 0x01, 0x02, 0x03, 0xF7})}},
        TStreamCase{"StatusInsideASysexPieceEndsIt", {{0xF0, 0x01, 0x02, 0x90, 0x3C, 0x7F}},
                    {Sysex({0xF0, 0x01, 0x02}), Short(0x90, 0x3C, 0x7F)}},
        TStreamCase{"TwoSysexInOnePiece", {{0xF0, 0x01, 0xF7, 0xF0, 0x02, 0xF7}},
                    {Sysex({0xF0, 0x01, 0xF7}), Sysex({0xF0, 0x02, 0xF7})}},
        TStreamCase{"DataWithoutStatusAndALoneF7ReachNothing", {{0x3C, 0x7F}, {0xF7}, {0x90, 0x3C, 0x7F}},
                    {Short(0x90, 0x3C, 0x7F)}},
        TStreamCase{"AMessageCutShortByAStatusReachesNothing", {{0x90, 0x3C}, {0x80, 0x3C, 0x00}},
                    {Short(0x80, 0x3C, 0x00)}},
        TStreamCase{"SystemCommonEndsRunningStatus", {{0x90, 0x3C, 0x7F, 0xF6, 0x3E, 0x7F}},
                    {Short(0x90, 0x3C, 0x7F), Short(0xF6)}},
        TStreamCase{"DataAfterTheEndOfASysexIsNoPartOfIt", {{0xF0, 0x01, 0xF7, 0x02}, {0x03, 0xF7}},
                    {Sysex({0xF0, 0x01, 0xF7})}}),
    [](const auto& info) { return std::string(info.param.Name); });

// A message still waiting for its data bytes when the port closes is gone with the port: the
// first bytes after a new open never complete it.
TEST_F(MidiInputTest, CloseForgetsAMessageCutShort)
{
    OpenAndStart();
    Service->Inject({0x90, 0x3C});
    Port->Close();
    OpenAndStart();
    Service->Inject({0x7F, 0x90, 0x3E, 0x7F});
    Deliver();
    EXPECT_EQ(TakeSeen(), std::vector<TSeen>{Short(0x90, 0x3E, 0x7F)});
}

// --- closing

TEST_F(MidiInputTest, BlocksHandedBackByCloseAreNeverDelivered)
{
    OpenAndStart();
    Service->Inject({0xF0, 0x01, 0x02});        // waits in a lent buffer for its end
    Service->Inject({0xF0, 0x03, 0xF7});        // handed back; its notification not yet handled
    Port->Close();
    EXPECT_EQ(Service->CountOf("Stop"), 1u);
    EXPECT_FALSE(Service->InputOpen());
    Deliver();
    EXPECT_EQ(Notified, 0);
    OpenAndStart();
    Deliver();
    EXPECT_EQ(Notified, 0);
    EXPECT_EQ(Port->GetMidiEvent(), nullptr);
    // The buffers are the port's again: a new message arrives whole.
    Service->Inject({0xF0, 0x04, 0xF7});
    Deliver();
    EXPECT_EQ(TakeSeen(), std::vector<TSeen>{Sysex({0xF0, 0x04, 0xF7})});
}

TEST_F(MidiInputTest, ClosedPortGivesNothing)
{
    EXPECT_EQ(Port->GetMidiEvent(), nullptr);
    EXPECT_EQ(Port->PendingCount(), 0);
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});
    EXPECT_EQ(Port->PendingCount(), 1);
    Port->Close();
    EXPECT_EQ(Port->PortState(), TMidiInput::TPortState::Closed);
    EXPECT_FALSE(Port->IsOpen());
    EXPECT_EQ(Port->GetMidiEvent(), nullptr);
    EXPECT_EQ(Port->PendingCount(), 0);
    Port->Start();  // nothing to start
    Port->Close();  // nothing to close
    EXPECT_EQ(Service->CountOf("Start"), 1u);
    EXPECT_EQ(Service->CountOf("CloseInput"), 1u);
}

TEST_F(MidiInputTest, NotificationHandledAfterCloseCallsNothing)
{
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});
    Service->Inject({0xF8});
    Port->Close();
    Deliver();
    EXPECT_EQ(Notified, 0);
    EXPECT_EQ(Overflows, 0);
}

TEST_F(MidiInputTest, NotificationHandledAfterANewOpenCallsOnlyForWaitingEvents)
{
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});  // discarded by the close; its notification stays posted
    Port->Close();
    OpenAndStart();
    Deliver();
    EXPECT_EQ(Notified, 0) << "nothing waits";

    Service->Inject({0x90, 0x3D, 0x7F});
    Port->Close();
    OpenAndStart();
    Service->Inject({0x90, 0x3E, 0x7F});
    Deliver();  // two notifications, one event
    EXPECT_EQ(Notified, 1);
    EXPECT_EQ(TakeSeen(), std::vector<TSeen>{Short(0x90, 0x3E, 0x7F)});
}

TEST_F(MidiInputTest, OverflowHandledAfterCloseCallsNothing)
{
    Port->SetCapacity(1);
    OpenAndStart();
    Service->Inject({0x90, 0x3C, 0x7F});
    Service->Inject({0x90, 0x3D, 0x7F});
    Port->Close();
    Deliver();
    EXPECT_EQ(Overflows, 0);
    EXPECT_EQ(Notified, 0);
}

TEST_F(MidiInputTest, FailedOpenLeavesThePortClosedWithTheError)
{
    Service->Failures["OpenInput"] = Refusal("Test Input could not be opened");
    Port->Open();
    EXPECT_EQ(Port->PortState(), TMidiInput::TPortState::Closed);
    EXPECT_EQ(Port->LastFailure().Text(), "Test Input could not be opened");
    EXPECT_FALSE(Port->IsOpen());
    EXPECT_FALSE(Service->InputOpen());
    Service->Failures.clear();
    OpenAndStart();
    Service->Inject({0xF0, 0x01, 0xF7});
    Deliver();
    EXPECT_EQ(TakeSeen(), std::vector<TSeen>{Sysex({0xF0, 0x01, 0xF7})});
}

TEST_F(MidiInputTest, DestroyingAnOpenPortClosesTheDevice)
{
    OpenAndStart();
    Service->Inject({0xF0, 0x01});
    Port.reset();
    EXPECT_FALSE(Service->InputOpen());
    EXPECT_EQ(Service->CountOf("Stop"), 1u);
    Deliver();
}

// --- device choice

TEST_F(MidiInputTest, DeviceIdOutOfRangeRaisesAndKeepsTheDevice)
{
    Service->InputNames = {"In A", "In B"};
    Port = std::make_unique<TMidiInput>();
    EXPECT_EQ(Port->DeviceCount(), 2u);
    EXPECT_EQ(Port->ProductName(), "In A");
    Port->SetDeviceID(1);
    EXPECT_EQ(Port->ProductName(), "In B");
    EXPECT_EQ(ErrorOf([&] { Port->SetDeviceID(2); }), "Invalid device ID");
    EXPECT_EQ(Port->DeviceID(), 1);
    EXPECT_EQ(Port->ProductName(), "In B");
    Port->SetProductName("In A");
    EXPECT_EQ(Port->DeviceID(), 0);
    EXPECT_EQ(ErrorOf([&] { Port->SetProductName("Gone"); }), "MIDI Input Device Gone not installed ");
}

TEST_F(MidiInputTest, SettingsThatNeedAClosedPortRaiseWhileOpen)
{
    OpenAndStart();
    EXPECT_EQ(ErrorOf([&] { Port->SetDeviceID(0); }), "Change to DeviceID while device was open");
    EXPECT_EQ(ErrorOf([&] { Port->SetProductName("Test Input"); }), "Change to ProductName while device was open");
    EXPECT_EQ(ErrorOf([&] { Port->SetSysexBufferSize(10); }), "Change to SysexBufferSize while device was open");
    EXPECT_EQ(ErrorOf([&] { Port->SetSysexBufferCount(1); }), "Change to SysexBuffercount while device was open");
    EXPECT_EQ(Port->SysexBufferSize(), 4096);
    EXPECT_EQ(Port->SysexBufferCount(), 16);
}

TEST_F(MidiInputTest, NoInputDeviceSelectsNothingAndOpenFailsQuietly)
{
    Service->InputNames.clear();
    Port = std::make_unique<TMidiInput>();
    EXPECT_EQ(Port->DeviceCount(), 0u);
    EXPECT_EQ(Port->DeviceID(), 0);
    EXPECT_EQ(Port->ProductName(), "");
    Port->Open();
    EXPECT_EQ(Port->PortState(), TMidiInput::TPortState::Closed);
    EXPECT_EQ(Port->LastFailure().Kind(), TMidiFailure::PortGone);
}
