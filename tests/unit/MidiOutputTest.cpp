// The output port against the recording backend: the bytes each send hands over, device choice
// through the device list (the mapper, unique names), open and close, and failures.
#include "MidiOutput.h"
#include "RecordingBackend.h"
#include "TestBytes.h"
#include "platform/DeviceList.h"

#include <gtest/gtest.h>

namespace {

class MidiOutputTest : public ::testing::Test {
protected:
    void SetUp() override { Service = UseRecordingBackend(); }
    void TearDown() override { SetDeviceList(nullptr); }

    std::shared_ptr<TRecordingBackend> Service;
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

// What a send finds when no port is open (a port the user chose failed to open); the test runs
// without a translation, so in the interface's own words.
const std::string NoPortOpen = "MIDI出力ポートが開いていません。「出力ポート」メニューから，MIDI出力ポートを選択してください";

struct TShortCase {
    uint8_t Status, Data1, Data2;
    TBytes Wire;
};

class PutShortBytes : public MidiOutputTest, public ::testing::WithParamInterface<TShortCase> {};

// As many bytes as the status byte says, whatever the caller passes for the rest.
TEST_P(PutShortBytes, HandsOverTheMessageAsLongAsItsStatusSays)
{
    TMidiOutput port;
    ASSERT_TRUE(port.Open());
    const TShortCase c = GetParam();
    port.PutShort(c.Status, c.Data1, c.Data2);
    EXPECT_EQ(Service->Sent(), std::vector<TBytes>{c.Wire});
}

INSTANTIATE_TEST_SUITE_P(Table, PutShortBytes,
                         ::testing::Values(TShortCase{0x90, 0x3C, 0x64, {0x90, 0x3C, 0x64}},
                                           TShortCase{0xC0, 0x05, 0x00, {0xC0, 0x05}},
                                           TShortCase{0xD3, 0x40, 0x7F, {0xD3, 0x40}},
                                           TShortCase{0xE0, 0x00, 0x40, {0xE0, 0x00, 0x40}},
                                           TShortCase{0xF1, 0x25, 0x7F, {0xF1, 0x25}},
                                           TShortCase{0xF2, 0x01, 0x02, {0xF2, 0x01, 0x02}},
                                           TShortCase{0xFF, 0xFF, 0xFF, {0xFF}}));

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

// The list the menu shows and the device each entry opens: the mapper opens the first device,
// and equal names are told apart by " #2" and open their own device.
struct TChoiceCase {
    const char* Name;
    std::vector<std::string> Devices;
    std::vector<std::string> Menu;  // ReadDeviceNames
    std::string Chosen;
    int Opened;  // the device's place in the backend's list
};

class DeviceChoice : public MidiOutputTest, public ::testing::WithParamInterface<TChoiceCase> {};

TEST_P(DeviceChoice, NameListsAndOpensItsDevice)
{
    const TChoiceCase& c = GetParam();
    Service->OutputNames = c.Devices;
    TMidiOutput port;
    EXPECT_EQ(port.ReadDeviceNames(), c.Menu);
    port.SetProductName(c.Chosen);
    ASSERT_TRUE(port.Open()) << port.LastFailure().Text();
    ASSERT_EQ(Service->CountOf("OpenOutput"), 1u);
    for (const TRecordedCall& call : Service->Calls) {
        if (call.Op == "OpenOutput") {
            EXPECT_EQ(call.Device, c.Opened);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeviceChoice,
    ::testing::Values(TChoiceCase{"MapperOpensTheFirst", {"Synth", "Port"}, {"Kelvane MIDI Mapper", "Synth", "Port"}, "Kelvane MIDI Mapper", 0},
                      TChoiceCase{"ByName", {"Synth", "Port"}, {"Kelvane MIDI Mapper", "Synth", "Port"}, "Port", 1},
                      TChoiceCase{"EqualNamesFirst", {"Twin", "Other", "Twin"}, {"Kelvane MIDI Mapper", "Twin", "Other", "Twin #2"}, "Twin", 0},
                      TChoiceCase{"EqualNamesSecond", {"Twin", "Other", "Twin"}, {"Kelvane MIDI Mapper", "Twin", "Other", "Twin #2"}, "Twin #2", 2}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MidiOutputTest, MapperWithNoDeviceFailsAsNoService)
{
    Service->OutputNames.clear();
    TMidiOutput port;
    EXPECT_EQ(port.DeviceCount(), 0u);
    port.SetDeviceID(-1);
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(port.LastFailure().Kind(), TMidiFailure::NoServer);
}

TEST_F(MidiOutputTest, FailedOpenSaysWhyAndALaterOpenStartsAfresh)
{
    TMidiOutput port;
    port.SetDeviceID(1);
    Service->FailingOpens = {1};
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.PortState(), TMidiOutput::TPortState::Closed);
    EXPECT_EQ(port.LastFailure().Kind(), TMidiFailure::PortBusy);
    EXPECT_EQ(port.LastFailure().Text(), "Test Port is in use by another program");

    Service->FailingOpens.clear();
    EXPECT_TRUE(port.Open());
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.LastFailure().Ok());
}

TEST_F(MidiOutputTest, CloseReportsWhetherThePortWasOpen)
{
    TMidiOutput port;
    EXPECT_FALSE(port.Close());
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(Service->CountOf("CloseOutput"), 1u);
    EXPECT_FALSE(port.Close());
    EXPECT_TRUE(port.Open());
}

TEST_F(MidiOutputTest, SendsOnAClosedPortSayNoPortIsOpen)
{
    TMidiOutput port;
    EXPECT_EQ(ErrorOf([&] { port.PutShort(0x90, 0x3C, 0x64); }), NoPortOpen);
    const uint8_t block[] = {0xF0, 0xF7};
    EXPECT_EQ(ErrorOf([&] { port.PutLong(block, 2); }), NoPortOpen);
    EXPECT_EQ(ErrorOf([&] { port.PutLong(block, 0); }), "(nothing raised)") << "nothing to send";
    TMidiEvent event;
    EXPECT_EQ(ErrorOf([&] { port.PutMidiEvent(event); }), "MIDI Output device not open");
    EXPECT_TRUE(Service->Sent().empty());
}

// A block is handed over at once, even to a device that takes nothing yet: the caller may reuse
// its bytes, OnMidiOutput follows each block, and the device sends them in order later.
TEST_F(MidiOutputTest, BlocksAreHandedOverAtOnceAndGoOutInOrder)
{
    TMidiOutput port;
    int handedOver = 0;
    port.OnMidiOutput = [&](QObject* sender) {
        EXPECT_EQ(sender, &port);
        ++handedOver;
    };
    ASSERT_TRUE(port.Open());
    Service->Stall();
    uint8_t first[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    const TBytes second = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    port.PutLong(first, sizeof first);
    first[0] = 0x00;
    port.PutLong(second.data(), uint32_t(second.size()));
    EXPECT_EQ(handedOver, 2);
    EXPECT_TRUE(Service->Sent().empty());
    Service->Resume();
    EXPECT_EQ(Service->Sent(), (std::vector<TBytes>{{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, second}));
}

TEST_F(MidiOutputTest, RefusedSendRaisesTheDevicesTextAndTheNextGoes)
{
    TMidiOutput port;
    int handedOver = 0;
    port.OnMidiOutput = [&](QObject*) { ++handedOver; };
    ASSERT_TRUE(port.Open());
    Service->Failures["SendBlock"] = Refusal("Test Synth is not taking data fast enough");
    const uint8_t block[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    EXPECT_EQ(ErrorOf([&] { port.PutLong(block, sizeof block); }), "Test Synth is not taking data fast enough");
    EXPECT_EQ(port.LastFailure().Text(), "Test Synth is not taking data fast enough");
    EXPECT_EQ(handedOver, 0);
    Service->Failures.clear();
    port.PutLong(block, sizeof block);
    EXPECT_EQ(handedOver, 1);
    EXPECT_EQ(Service->Sent(), std::vector<TBytes>{TBytes(block, block + sizeof block)});
}

// The device goes away under the open port: each send says so, and the port stays open until
// the user chooses another.
TEST_F(MidiOutputTest, VanishedDeviceFailsEverySendAsGone)
{
    TMidiOutput port;
    port.SetProductName("Test Port");
    ASSERT_TRUE(port.Open());
    Service->Vanish("Test Port");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(ErrorOf([&] { port.PutShort(0x90, 0x3C, 0x64); }), "Test port is no longer there: Test Port");
        EXPECT_EQ(port.LastFailure().Kind(), TMidiFailure::PortGone);
    }
    EXPECT_EQ(port.PortState(), TMidiOutput::TPortState::Open);
    EXPECT_EQ(port.ReadDeviceNames(), (std::vector<std::string>{"Kelvane MIDI Mapper", "Test Synth"}));
}

} // namespace
