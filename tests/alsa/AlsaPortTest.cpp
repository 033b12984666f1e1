// The output and input ports over the real ALSA sequencer: what the peer client receives from
// PutShort and PutLong, byte for byte, and what the input port hands its owner.
#include "AlsaTest.h"
#include "MidiInput.h"
#include "MidiOutput.h"
#include "TestBytes.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

// Beside TAlsaEvent, so that a failed comparison prints the bytes.
std::ostream& operator<<(std::ostream& out, const TAlsaEvent& event)
{
    out << (event.Sysex ? "sysex" : "event");
    for (uint8_t b : event.Bytes)
        out << ' ' << std::hex << int(b) << std::dec;
    return out;
}

namespace {

TAlsaEvent Ev(const char* hex) { return {Bytes(hex), false}; }
TAlsaEvent Sx(const char* hex) { return {Bytes(hex), true}; }

// Sent after what a test checks: once it has arrived, everything sent before it has too, and
// anything extra would stand before it.
const TBytes Marker = {0xB0, 0x7B, 0x00};

TBytes Concatenated(TBytes first, const TBytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class AlsaPortTest : public TAlsaTest {
protected:
    void SetUp() override
    {
        TAlsaTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            UseAlsaService();
    }

    // Sends the marker through `port` and expects the peer to have received exactly `expected`
    // before it.
    void ExpectReceived(TMidiOutput& port, std::vector<TAlsaEvent> expected)
    {
        port.PutShort(Marker[0], Marker[1], Marker[2]);
        expected.push_back({Marker, false});
        EXPECT_TRUE(Peer->WaitForEvents(expected.size(), 20000)) << Peer->Events().size() << " arrived";
        EXPECT_EQ(Peer->Events(), expected);
    }
};

// ---- Output: one case per kind of message the program sends or the raw editor can send.

struct TShortCase {
    const char* Name;
    uint8_t Status, Data1, Data2;
    const char* Expected;
};

class AlsaPutShortTest : public AlsaPortTest, public ::testing::WithParamInterface<TShortCase> {};

TEST_P(AlsaPutShortTest, PeerReceivesExactlyTheMessage)
{
    const TShortCase& c = GetParam();
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    port.PutShort(c.Status, c.Data1, c.Data2);
    ExpectReceived(port, {Ev(c.Expected)});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AlsaPutShortTest,
    ::testing::Values(TShortCase{"NoteOn", 0x90, 0x40, 0x78, "90 40 78"},
                      TShortCase{"NoteOnVelocityZero", 0x93, 0x3C, 0x00, "93 3C 00"},
                      TShortCase{"NoteOff", 0x80, 0x40, 0x28, "80 40 28"},
                      TShortCase{"KeyPressure", 0xA1, 0x3C, 0x55, "A1 3C 55"},
                      TShortCase{"ControlChange", 0xB0, 0x07, 0x64, "B0 07 64"},
                      TShortCase{"ResetAllControllers", 0xBF, 0x79, 0x00, "BF 79 00"},
                      TShortCase{"ProgramChange", 0xC9, 0x05, 0x00, "C9 05"},
                      TShortCase{"ChannelPressure", 0xD0, 0x40, 0x00, "D0 40"},
                      TShortCase{"PitchBendCentre", 0xE0, 0x00, 0x40, "E0 00 40"},
                      TShortCase{"PitchBendLowest", 0xE2, 0x00, 0x00, "E2 00 00"},
                      TShortCase{"PitchBendHighest", 0xEF, 0x7F, 0x7F, "EF 7F 7F"},
                      TShortCase{"SongPosition", 0xF2, 0x01, 0x02, "F2 01 02"},
                      TShortCase{"SongSelect", 0xF3, 0x04, 0x00, "F3 04"},
                      TShortCase{"TuneRequest", 0xF6, 0x00, 0x00, "F6"},
                      TShortCase{"Clock", 0xF8, 0x00, 0x00, "F8"},
                      TShortCase{"Start", 0xFA, 0x00, 0x00, "FA"},
                      TShortCase{"Stop", 0xFC, 0x00, 0x00, "FC"},
                      TShortCase{"ActiveSensing", 0xFE, 0x00, 0x00, "FE"},
                      TShortCase{"Reset", 0xFF, 0x00, 0x00, "FF"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TLongCase {
    const char* Name;
    std::vector<const char*> Blocks;  // PutLong calls in order
    std::vector<TAlsaEvent> Expected;
};

class AlsaPutLongTest : public AlsaPortTest, public ::testing::WithParamInterface<TLongCase> {};

TEST_P(AlsaPutLongTest, PeerReceivesExactlyTheseEvents)
{
    const TLongCase& c = GetParam();
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    for (const char* block : c.Blocks) {
        const TBytes bytes = Bytes(block);
        port.PutLong(bytes.data(), uint32_t(bytes.size()));
    }
    ExpectReceived(port, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, AlsaPutLongTest,
    ::testing::Values(
        TLongCase{"WholeSysex", {"F0 41 10 42 12 40 00 7F 00 41 F7"}, {Sx("F0 41 10 42 12 40 00 7F 00 41 F7")}},
        TLongCase{"PiecesNoF7NoneBothNoF0",
                  {"F0 41 10 42", "12 40 00", "7F 00 41 F7"},
                  {Sx("F0 41 10 42"), Sx("12 40 00"), Sx("7F 00 41 F7")}},
        TLongCase{"SeveralShortMessages",
                  {"B0 79 00 C0 05 90 3C 64 3E 64 80 3C 00"},
                  {Ev("B0 79 00"), Ev("C0 05"), Ev("90 3C 64"), Ev("90 3E 64"), Ev("80 3C 00")}},
        TLongCase{"SysexThenShort", {"F0 7E 7F 09 01 F7 C0 05"}, {Sx("F0 7E 7F 09 01 F7"), Ev("C0 05")}},
        TLongCase{"ClockInsideSysex", {"F0 43 F8 10 F7"}, {Sx("F0 43"), Ev("F8"), Sx("10 F7")}},
        TLongCase{"UndefinedStatusAndStrayBytes", {"F4 F9 F7"}, {Sx("F4"), Sx("F9"), Sx("F7")}}),
    [](const auto& info) { return std::string(info.param.Name); });

// The raw editor sends a long message in packets of 1,024 bytes, one PutLong each, a timer tick
// apart. Here the next packet goes when the peer is at most 16 KiB behind, however slow the
// machine: the sequencer has no flow control and empties a queue that ran full.
TEST_F(AlsaPortTest, SysexOf64KiBInPacketsArrivesWholeAndInOrder)
{
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    const TBytes message = SysexOfLength(64 * 1024);
    std::vector<TAlsaEvent> expected;
    for (size_t start = 0; start < message.size(); start += 1024) {
        const TBytes packet(message.begin() + std::ptrdiff_t(start), message.begin() + std::ptrdiff_t(start + 1024));
        ASSERT_TRUE(Peer->WaitForBytes(start < 16384 ? 0 : start - 16384, 30000));
        port.PutLong(packet.data(), uint32_t(packet.size()));
        expected.push_back({packet, true});
        QCoreApplication::sendPostedEvents();
    }
    ExpectReceived(port, expected);
    EXPECT_EQ(Peer->AllBytes(), Concatenated(message, Marker));
}

// ---- Input: what the owner takes from the port.

class AlsaInputTest : public AlsaPortTest {
protected:
    std::unique_ptr<TMidiInput> Port;
    std::vector<std::unique_ptr<TMidiEvent>> Taken;
    int Overflows = 0;

    void SetUp() override
    {
        AlsaPortTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Port = std::make_unique<TMidiInput>();
        Port->SetProductName(Peer->OutputPortName());
        Port->OnMidiInput = [this](QObject*) {
            if (auto event = Port->GetMidiEvent())
                Taken.push_back(std::move(event));
        };
        Port->OnOverflow = [this](QObject*) { ++Overflows; };
        Port->Open();
        ASSERT_TRUE(Port->IsOpen()) << Port->LastFailure().Text();
        Port->Start();
        ASSERT_TRUE(Peer->WaitForSubscriber(5000));
    }

    void TearDown() override
    {
        Port.reset();
        AlsaPortTest::TearDown();
    }

    // The peer sends the marker; once the port has handed it on, everything sent before it has
    // been taken.
    void SendMarkerAndWaitForIt(int timeoutMs)
    {
        ASSERT_EQ(Peer->Send(Marker), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Shorts().empty() && Shorts().back() == Marker; }, timeoutMs))
            << Taken.size() << " taken";
    }

    size_t TakenBytes() const
    {
        size_t total = 0;
        for (const auto& event : Taken)
            total += event->StatusByte == 0xF0 ? event->SysexSize : 3;
        return total;
    }

    std::vector<TBytes> Shorts() const
    {
        std::vector<TBytes> shorts;
        for (const auto& event : Taken)
            if (event->StatusByte != 0xF0)
                shorts.push_back({event->StatusByte, event->DataByte1, event->DataByte2});
        return shorts;
    }

    TBytes SysexBytes() const
    {
        TBytes bytes;
        for (const auto& event : Taken)
            if (event->StatusByte == 0xF0)
                bytes.insert(bytes.end(), event->SysexData.get(), event->SysexData.get() + event->SysexSize);
        return bytes;
    }
};

TEST_F(AlsaInputTest, ShortMessagesArriveAsThreeBytesWithClockAndSensingFiltered)
{
    const std::vector<TBytes> sent = {{0xF8}, {0x90, 0x3C, 0x7F}, {0xFE}, {0xC0, 0x05}, {0xF8}, {0xFA},
                                      {0xE3, 0x10, 0x50}, {0xFE}, {0xFC}};
    for (const TBytes& message : sent)
        ASSERT_EQ(Peer->Send(message), 0);
    ASSERT_NO_FATAL_FAILURE(SendMarkerAndWaitForIt(10000));
    EXPECT_EQ(Shorts(), (std::vector<TBytes>{{0x90, 0x3C, 0x7F}, {0xC0, 0x05, 0x00}, {0xFA, 0x00, 0x00},
                                             {0xE3, 0x10, 0x50}, {0xFC, 0x00, 0x00}, Marker}));
    EXPECT_EQ(Overflows, 0);
}

TEST_F(AlsaInputTest, RunningStatusStreamArrivesAsWholeMessages)
{
    ASSERT_EQ(Peer->SendStream({0x90, 0x3C, 0x7F, 0x3E, 0x7F, 0xC1, 0x05, 0x06}), 0);
    ASSERT_NO_FATAL_FAILURE(SendMarkerAndWaitForIt(10000));
    EXPECT_EQ(Shorts(), (std::vector<TBytes>{{0x90, 0x3C, 0x7F}, {0x90, 0x3E, 0x7F}, {0xC1, 0x05, 0x00},
                                             {0xC1, 0x06, 0x00}, Marker}));
}

// The sequencer carries a long message as several events (devices send 256-byte pieces); the
// port delivers it whole, in buffers of 4,096 bytes, with clock bytes between pieces left out.
class AlsaSysexInputTest : public AlsaInputTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(AlsaSysexInputTest, ArrivesWholeInBuffers)
{
    const size_t length = GetParam();
    const TBytes message = SysexOfLength(length, uint8_t(length));
    for (size_t start = 0; start < message.size(); start += 256) {
        const size_t end = std::min(message.size(), start + 256);
        // At most 24 KiB in flight: the sequencer holds about 56 KB for our input.
        ASSERT_TRUE(QTest::qWaitFor([&] { return TakenBytes() + 24 * 1024 >= start; }, 60000)) << TakenBytes();
        ASSERT_EQ(Peer->Send({message.begin() + std::ptrdiff_t(start), message.begin() + std::ptrdiff_t(end)}), 0);
        if (start % 4096 == 0) {
            ASSERT_EQ(Peer->Send({0xF8}), 0);
        }
    }
    ASSERT_NO_FATAL_FAILURE(SendMarkerAndWaitForIt(300000)) << TakenBytes() << " bytes";
    EXPECT_EQ(SysexBytes(), message);
    EXPECT_EQ(Shorts(), std::vector<TBytes>{Marker});
    EXPECT_EQ(Taken.size(), (length + 4095) / 4096 + 1);
    EXPECT_EQ(Overflows, 0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, AlsaSysexInputTest, ::testing::Values(6, 256, 4096, 4097, 65536, 1 << 20));

TEST_F(AlsaInputTest, PeerGoneAndBackTheSamePortNameOpensAgain)
{
    const std::string gone = Peer->OutputPortName();
    Peer.reset();
    const std::vector<std::string> names = Port->ReadDeviceNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), gone), 0) << "the peer's port is still there";
    Port->Close();
    Peer = std::make_unique<TAlsaPeer>();
    ASSERT_TRUE(Peer->IsOpen());
    TMidiInput again;
    again.SetProductName(Peer->OutputPortName());
    Port = nullptr;
    std::vector<TBytes> seen;
    again.OnMidiInput = [&](QObject*) {
        if (auto event = again.GetMidiEvent())
            seen.push_back({event->StatusByte, event->DataByte1, event->DataByte2});
    };
    again.Open();
    ASSERT_TRUE(again.IsOpen());
    again.Start();
    ASSERT_TRUE(Peer->WaitForSubscriber(5000));
    ASSERT_EQ(Peer->Send({0x90, 0x3C, 0x7F}), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.empty(); }, 5000));
    EXPECT_EQ(seen, std::vector<TBytes>{TBytes({0x90, 0x3C, 0x7F})});
}

TEST_F(AlsaPortTest, PeerGoneUnderAnOpenOutputRaisesOnceAndAnotherPortWorks)
{
    TAlsaPeer other("kelvane-other");
    ASSERT_TRUE(other.IsOpen());
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    Peer.reset();
    std::vector<std::string> errors;
    // A send that waited for a port that is gone would never return: ctest's time limit ends it.
    try {
        port.PutShort(0x90, 0x40, 0x78);
    } catch (const EMidiOutputError& error) {
        errors.push_back(error.what());
    }
    EXPECT_EQ(errors, std::vector<std::string>{"ALSA MIDI port is no longer there: kelvane-peer:in"});
    EXPECT_TRUE(port.Close());

    port.SetProductName(other.InputPortName());
    ASSERT_TRUE(port.Open());
    port.PutShort(0x80, 0x40, 0x28);
    port.PutShort(Marker[0], Marker[1], Marker[2]);
    ASSERT_TRUE(other.WaitForEvents(2, 5000));
    EXPECT_EQ(other.Messages(), Wire({"80 40 28", "B0 7B 00"}));
}

}  // namespace
