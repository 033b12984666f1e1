// Devices that go and come back over the real ALSA sequencer: the peer client ends and starts
// again, under the same name and a new client number, as a synthesizer or a keyboard program
// does when the user restarts it. The ports notice on their own and take it again by name.
#include "AlsaTest.h"
#include "MidiInput.h"
#include "MidiOutput.h"
#include "TestBytes.h"

#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Bounded waits: the sequencer in an emulated machine with every core busy is slow, never this slow.
constexpr int NoticeMs = 20000;

class AlsaReconnectTest : public TAlsaTest {
protected:
    void SetUp() override
    {
        TAlsaTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            UseAlsaService();
    }

    // The peer ends; another client of its name starts, which the sequencer numbers anew.
    void RestartPeer()
    {
        const int before = Peer->ClientId();
        Peer.reset();
        TAlsaPeer holder("kelvane-holder");  // takes the number the peer had, as often happens
        Peer = std::make_unique<TAlsaPeer>();
        ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
        ASSERT_NE(Peer->ClientId(), before);
    }
};

TEST_F(AlsaReconnectTest, OutputTakesThePeerAgainUnderItsNewNumber)
{
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());

    Peer.reset();
    ASSERT_TRUE(WaitWhileProcessingEvents([&] { return port.Absent(); }, NoticeMs)) << "the port did not notice the peer go";
    try {
        port.PutShort(0x90, 0x40, 0x78);
        ADD_FAILURE() << "a send to a client that is gone succeeded";
    } catch (const EMidiOutputError& error) {
        EXPECT_STREQ(error.what(), "MIDI output port is no longer there: kelvane-peer:in");
    }

    TAlsaPeer holder("kelvane-holder");  // the old number is taken: the peer comes back under another
    Peer = std::make_unique<TAlsaPeer>();
    ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
    ASSERT_TRUE(WaitWhileProcessingEvents([&] { return port.IsOpen(); }, NoticeMs)) << "the port did not take the peer again";
    const uint8_t identity[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    port.PutShort(0x90, 0x40, 0x78);
    port.PutLong(identity, sizeof identity);
    port.PutShort(0x80, 0x40, 0x28);
    ASSERT_TRUE(Peer->WaitForEvents(3, NoticeMs)) << Peer->Events().size() << " arrived";
    EXPECT_EQ(Peer->Messages(), Wire({"90 40 78", "F0 7E 7F 06 01 F7", "80 40 28"}));
}

TEST_F(AlsaReconnectTest, InputHearsThePeerAgainUnderItsNewNumber)
{
    TMidiInput port;
    std::vector<TBytes> heard;
    port.OnMidiInput = [&](QObject*) {
        if (auto event = port.GetMidiEvent())
            heard.push_back({event->StatusByte, event->DataByte1, event->DataByte2});
    };
    port.SetProductName(Peer->OutputPortName());
    port.Open();
    ASSERT_TRUE(port.IsOpen()) << port.LastFailure().Text();
    port.Start();
    ASSERT_TRUE(Peer->WaitForSubscriber(5000));
    ASSERT_EQ(Peer->Send({0x90, 0x3C, 0x7F}), 0);
    ASSERT_TRUE(WaitWhileProcessingEvents([&] { return heard.size() == 1; }, NoticeMs));

    ASSERT_NO_FATAL_FAILURE(RestartPeer());
    ASSERT_TRUE(WaitWhileProcessingEvents([&] { return Peer->SubscriberCount() == 1; }, NoticeMs))
        << "the input did not subscribe to the new client";
    EXPECT_FALSE(port.Absent());
    ASSERT_EQ(Peer->Send({0x80, 0x3C, 0x00}), 0);
    ASSERT_EQ(Peer->Send({0xB0, 0x07, 0x50}), 0);
    ASSERT_TRUE(WaitWhileProcessingEvents([&] { return heard.size() == 3; }, NoticeMs)) << "nothing arrived from the new client";
    EXPECT_EQ(heard, Wire({"90 3C 7F", "80 3C 00", "B0 07 50"}));
    port.Close();
}

// Two devices of one name (two interfaces of one model): the one in use is listed as " #2".
// The other one unplugged and plugged in again moves the names around, never the port.
TEST_F(AlsaReconnectTest, OfTwoDevicesOfOneNameTheOneInUseStaysInUse)
{
    Peer.reset();
    auto other = std::make_unique<TAlsaPeer>("kelvane-dup");
    TAlsaPeer inUse("kelvane-dup");
    ASSERT_TRUE(other->IsOpen() && inUse.IsOpen()) << other->Error() << inUse.Error();
    ASSERT_LT(other->ClientId(), inUse.ClientId());  // listed first, so the one in use is " #2"
    TMidiOutput port;
    port.SetProductName("kelvane-dup:in #2");
    ASSERT_TRUE(port.Open());
    port.PutShort(0x90, 0x40, 0x78);
    ASSERT_TRUE(inUse.WaitForEvents(1, NoticeMs));

    // Each change handled, seen when the list the port reads shows it.
    const auto namesSettle = [&](size_t count) {
        return WaitWhileProcessingEvents([&] {
            const std::vector<std::string> names = port.ReadDeviceNames();
            return size_t(std::count_if(names.begin(), names.end(),
                                        [](const std::string& name) { return name.starts_with("kelvane-dup:in"); })) == count;
        }, NoticeMs);
    };
    other.reset();  // the one in use is now listed without " #2"
    ASSERT_TRUE(namesSettle(1));
    QTest::qWait(200);  // lets the port handle the change it was told of (nothing waits on this)
    EXPECT_TRUE(port.IsOpen());
    port.PutShort(0x80, 0x40, 0x28);
    other = std::make_unique<TAlsaPeer>("kelvane-dup");  // plugged in again, listed after it
    ASSERT_TRUE(namesSettle(2));
    QTest::qWait(200);
    EXPECT_TRUE(port.IsOpen());
    port.PutShort(0xB0, 0x07, 0x50);
    ASSERT_TRUE(inUse.WaitForEvents(3, NoticeMs)) << inUse.Events().size() << " arrived";
    EXPECT_EQ(inUse.Messages(), Wire({"90 40 78", "80 40 28", "B0 07 50"}));
    EXPECT_TRUE(other->Events().empty());
}

}  // namespace

// Both devices of one name go and come back: the port waits for its saved name (" #2") and takes
// whichever device is listed under it first, the one that came back second; the one listed
// without " #2" gets nothing.
TEST_F(AlsaReconnectTest, OfTwoDevicesOfOneNameBothGoneTheSavedNameIsTakenWhenItIsListed)
{
    Peer.reset();
    auto first = std::make_unique<TAlsaPeer>("kelvane-dup");
    auto second = std::make_unique<TAlsaPeer>("kelvane-dup");
    ASSERT_TRUE(first->IsOpen() && second->IsOpen()) << first->Error() << second->Error();
    TMidiOutput port;
    port.SetProductName("kelvane-dup:in #2");
    ASSERT_TRUE(port.Open());

    second.reset();
    first.reset();
    ASSERT_TRUE(WaitWhileProcessingEvents([&] { return port.Absent(); }, NoticeMs)) << "the port did not notice both go";
    first = std::make_unique<TAlsaPeer>("kelvane-dup");  // listed as "kelvane-dup:in"
    ASSERT_TRUE(first->IsOpen()) << first->Error();
    ASSERT_TRUE(WaitWhileProcessingEvents([&] {
        const std::vector<std::string> names = port.ReadDeviceNames();
        return std::find(names.begin(), names.end(), "kelvane-dup:in") != names.end();
    }, NoticeMs));
    QTest::qWait(200);  // lets the port handle the change it was told of (nothing waits on this)
    EXPECT_TRUE(port.Absent()) << "the port took a device listed under another name";

    second = std::make_unique<TAlsaPeer>("kelvane-dup");  // listed as "kelvane-dup:in #2"
    ASSERT_TRUE(second->IsOpen()) << second->Error();
    ASSERT_TRUE(WaitWhileProcessingEvents([&] { return port.IsOpen() && !port.Absent(); }, NoticeMs))
        << "the port did not take the device listed under its name";
    port.PutShort(0x90, 0x40, 0x78);
    ASSERT_TRUE(second->WaitForEvents(1, NoticeMs));
    EXPECT_EQ(second->Messages(), Wire({"90 40 78"}));
    EXPECT_TRUE(first->Events().empty());
}
