// The output port against the recording service: packing, device choice, open/close and the
// life of long blocks.
#include "MidiOutput.h"
#include "RecordingMidiService.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class MidiOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto service = std::make_unique<TRecordingMidiService>();
        Service = service.get();
        SetMidiService(std::move(service));
    }
    void TearDown() override { SetMidiService(nullptr); }

    // What a handler on the window thread would see: every posted notification delivered.
    static void DeliverNotifications() { QCoreApplication::sendPostedEvents(); }

    TRecordingMidiService* Service = nullptr;
};

template <class F>
std::string ErrorOf(F&& action)
{
    try {
        action();
    } catch (const EMidiOutputError& error) {
        return error.what();
    }
    return "(nothing raised)";
}

struct TPackCase {
    uint8_t Status, Data1, Data2;
    uint32_t Packed;
};

class PutShortPacking : public MidiOutputTest, public ::testing::WithParamInterface<TPackCase> {};

TEST_P(PutShortPacking, PassesOneWordLowestByteFirst)
{
    TMidiOutput port;
    ASSERT_TRUE(port.Open());
    const TPackCase c = GetParam();
    port.PutShort(c.Status, c.Data1, c.Data2);
    ASSERT_EQ(Service->Calls.back().Op, "OutShortMsg");
    EXPECT_EQ(Service->Calls.back().Packed, c.Packed);
}

INSTANTIATE_TEST_SUITE_P(Table, PutShortPacking,
                         ::testing::Values(TPackCase{0x90, 0x3C, 0x64, 0x00643C90}, TPackCase{0xC0, 0x05, 0x00, 0x000005C0},
                                           TPackCase{0xFF, 0xFF, 0xFF, 0x00FFFFFF}, TPackCase{0xE0, 0x00, 0x40, 0x004000E0}));

TEST_F(MidiOutputTest, DeviceIdChoosesTheDeviceAndItsName)
{
    TMidiOutput port;
    EXPECT_EQ(port.DeviceCount(), 2u);
    EXPECT_EQ(port.DeviceID(), 0);
    EXPECT_EQ(port.ProductName(), "");
    port.SetDeviceID(-1);
    EXPECT_EQ(port.ProductName(), "Kelvane MIDI Mapper");
    port.SetDeviceID(1);
    EXPECT_EQ(port.ProductName(), "Test Port");
}

TEST_F(MidiOutputTest, DeviceAndNameErrorsLeaveTheChoiceAlone)
{
    TMidiOutput port;
    port.SetDeviceID(1);
    EXPECT_EQ(ErrorOf([&] { port.SetDeviceID(2); }), "Invalid device ID");
    EXPECT_EQ(ErrorOf([&] { port.SetDeviceID(-2); }), "Invalid device ID");
    EXPECT_EQ(port.DeviceID(), 1);
    EXPECT_EQ(ErrorOf([&] { port.SetProductName("Nowhere"); }), "MIDI output Device Nowhere not installed");
    EXPECT_EQ(port.ProductName(), "Test Port");

    port.SetProductName("Test Synth");
    EXPECT_EQ(port.DeviceID(), 0);
    port.SetProductName("Kelvane MIDI Mapper");
    EXPECT_EQ(port.DeviceID(), -1);

    ASSERT_TRUE(port.Open());
    EXPECT_EQ(ErrorOf([&] { port.SetDeviceID(0); }), "Change to DeviceID while device was open");
    EXPECT_EQ(ErrorOf([&] { port.SetProductName("Test Port"); }), "Change to ProductName while device was open");
    EXPECT_EQ(port.DeviceID(), -1);
}

TEST_F(MidiOutputTest, FailedOpenLeavesNothingAndALaterOpenStartsAfresh)
{
    TMidiOutput port;
    port.SetDeviceID(1);
    Service->FailingOpens = {1};
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    EXPECT_FALSE(port.HasCallbackInstance());
    EXPECT_EQ(port.PortState(), TMidiOutput::TPortState::Closed);
    EXPECT_NE(port.LastError(), 0);

    Service->FailingOpens.clear();
    EXPECT_TRUE(port.Open());
    EXPECT_NE(port.DeviceHandle(), nullptr);
    EXPECT_TRUE(port.HasCallbackInstance());
}

TEST_F(MidiOutputTest, CloseReportsWhetherThePortWasOpen)
{
    TMidiOutput port;
    EXPECT_FALSE(port.Close());
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(port.Close());
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    EXPECT_FALSE(port.Close());
    EXPECT_TRUE(port.HasCallbackInstance());  // kept for the next open
}

TEST_F(MidiOutputTest, RefusedCloseKeepsThePortOpen)
{
    TMidiOutput port;
    ASSERT_TRUE(port.Open());
    Service->Failures["OutClose"] = MMSYSERR_ERROR;
    EXPECT_EQ(ErrorOf([&] { port.Close(); }), "Undefined external error.");
    EXPECT_NE(port.DeviceHandle(), nullptr);
    EXPECT_EQ(port.PortState(), TMidiOutput::TPortState::Open);
    Service->Failures.clear();
}

TEST_F(MidiOutputTest, SendsOnAClosedPortRaiseThePlatformText)
{
    TMidiOutput port;
    EXPECT_EQ(ErrorOf([&] { port.PutShort(0x90, 0x3C, 0x64); }), "The specified device handle is invalid.");
    const uint8_t block[] = {0xF0, 0xF7};
    EXPECT_EQ(ErrorOf([&] { port.PutLong(block, 2); }), "The specified device handle is invalid.");
    EXPECT_EQ(port.BlocksInFlight(), 0u);
    TMidiEvent event;
    EXPECT_EQ(ErrorOf([&] { port.PutMidiEvent(event); }), "MIDI Output device not open");
}

TEST_F(MidiOutputTest, UnknownErrorCodeHasTheOutOfRangeText)
{
    TMidiOutput port;
    EXPECT_EQ(port.PlatformErrorText(0x7777), "Specified error number is out of range");
}

TEST_F(MidiOutputTest, TwoBlocksAreEachReleasedByTheirOwnDoneMessage)
{
    Service->CompleteAtOnce = false;
    TMidiOutput port;
    int released = 0;
    port.OnMidiOutput = [&](QObject* sender) {
        EXPECT_EQ(sender, &port);
        ++released;
    };
    ASSERT_TRUE(port.Open());
    uint8_t first[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    const uint8_t second[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    port.PutLong(first, sizeof first);
    first[0] = 0x00;  // the port copied the bytes: the caller may reuse them at once
    port.PutLong(second, sizeof second);
    EXPECT_EQ(port.BlocksInFlight(), 2u);
    ASSERT_EQ(Service->Sent().size(), 2u);
    EXPECT_EQ(Service->Sent()[0], std::vector<uint8_t>({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    EXPECT_EQ(Service->Sent()[1], std::vector<uint8_t>(second, second + sizeof second));

    DeliverNotifications();
    EXPECT_EQ(released, 0);  // nothing is done before the service says so
    Service->CompletePending();
    DeliverNotifications();
    EXPECT_EQ(released, 2);
    EXPECT_EQ(port.BlocksInFlight(), 0u);
    EXPECT_EQ(Service->CountOf("OutUnprepareHeader"), 2u);
}

TEST_F(MidiOutputTest, BlockThatFailsToGoIsReleasedAtOnce)
{
    TMidiOutput port;
    ASSERT_TRUE(port.Open());
    Service->Failures["OutLongMsg"] = MMSYSERR_NOMEM;
    const uint8_t block[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    EXPECT_NE(ErrorOf([&] { port.PutLong(block, sizeof block); }), "(nothing raised)");
    EXPECT_EQ(port.BlocksInFlight(), 0u);
    EXPECT_EQ(port.LastError(), MMSYSERR_NOMEM);
}

TEST_F(MidiOutputTest, DoneMessageAfterCloseStillReleasesTheBlock)
{
    Service->CompleteAtOnce = false;
    TMidiOutput port;
    int released = 0;
    port.OnMidiOutput = [&](QObject*) { ++released; };
    ASSERT_TRUE(port.Open());
    const uint8_t block[] = {0xF0, 0xF7};
    port.PutLong(block, 2);
    Service->CompletePending();
    port.Close();
    DeliverNotifications();
    EXPECT_EQ(released, 1);
    EXPECT_EQ(port.BlocksInFlight(), 0u);
}

} // namespace
