// The ALSA backend against the real sequencer: which ports it offers, what a peer client
// receives from it, what it hears from the peer, and how it fails.
#include "AlsaTest.h"
#include "platform/PortBackend.h"
#include "platform/DeviceList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

namespace {

using TBytes = std::vector<uint8_t>;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TRecordingSink : public TInputSink {
public:
    // Runs on the backend's reader thread: only records.
    void Receive(const uint8_t* bytes, size_t length, TDeviceTime) override
    {
        std::lock_guard guard(Lock);
        Received.emplace_back(bytes, bytes + length);
        Total += length;
        Changed.notify_all();
    }

    void Lost(TDeviceTime) override
    {
        std::lock_guard guard(Lock);
        ++Losses;
        Changed.notify_all();
    }

    bool WaitFor(size_t count, std::chrono::milliseconds timeout)
    {
        std::unique_lock guard(Lock);
        return Changed.wait_for(guard, timeout, [&] { return Received.size() >= count; });
    }

    // True once `message` is the latest received; false when a loss beyond `losses` is
    // reported first, or at the timeout.
    bool WaitForLastOrLoss(const TBytes& message, int losses, std::chrono::milliseconds timeout)
    {
        std::unique_lock guard(Lock);
        Changed.wait_for(guard, timeout, [&] { return (!Received.empty() && Received.back() == message) || Losses > losses; });
        return !Received.empty() && Received.back() == message;
    }

    bool WaitForBytes(size_t count, std::chrono::milliseconds timeout)
    {
        std::unique_lock guard(Lock);
        return Changed.wait_for(guard, timeout, [&] { return Total >= count; });
    }

    std::vector<TBytes> Messages()
    {
        std::lock_guard guard(Lock);
        return Received;
    }

    size_t Count()
    {
        std::lock_guard guard(Lock);
        return Received.size();
    }

    size_t Bytes()
    {
        std::lock_guard guard(Lock);
        return Total;
    }

    int LossCount()
    {
        std::lock_guard guard(Lock);
        return Losses;
    }

private:
    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<TBytes> Received;
    size_t Total = 0;
    int Losses = 0;
};

// Sent after what a test checks: once it has arrived, everything sent before it has too, and
// anything extra would stand before it.
const TBytes Marker = {0xB0, 0x7B, 0x00};

void SendMarker(TOutputConnection& output)
{
    EXPECT_TRUE(output.SendShort(Marker.data(), Marker.size()).Ok());
}

TBytes NumberedMessage(size_t i)
{
    return {uint8_t(0x90 | (i % 16)), uint8_t(i / 16 % 128), uint8_t(i % 127 + 1)};
}

size_t IndexOf(const std::vector<std::string>& names, const std::string& name)
{
    return size_t(std::find(names.begin(), names.end(), name) - names.begin());
}

class AlsaBackendTest : public TAlsaTest {
protected:
    std::unique_ptr<TPortBackend> Backend;

    void SetUp() override
    {
        TAlsaTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Backend = MakeAlsaBackend();
        ASSERT_NE(Backend, nullptr);
    }

    void TearDown() override
    {
        Backend.reset();
        TAlsaTest::TearDown();
    }

    std::unique_ptr<TOutputConnection> OpenOutput(const std::string& name)
    {
        const std::vector<std::string> names = Backend->OutputNames();
        const size_t index = IndexOf(names, name);
        if (index == names.size()) {
            ADD_FAILURE() << name << " is not listed";
            return nullptr;
        }
        TMidiResult result;
        auto output = Backend->OpenOutput(index, result);
        EXPECT_TRUE(result.Ok()) << result.Text();
        return output;
    }

    std::unique_ptr<TInputConnection> OpenInput(const std::string& name, TInputSink& sink)
    {
        const std::vector<std::string> names = Backend->InputNames();
        const size_t index = IndexOf(names, name);
        if (index == names.size()) {
            ADD_FAILURE() << name << " is not listed";
            return nullptr;
        }
        TMidiResult result;
        auto input = Backend->OpenInput(index, sink, result);
        EXPECT_TRUE(result.Ok()) << result.Text();
        return input;
    }
};

}  // namespace

TEST(AlsaBackendWithoutSequencer, IsNullOrLists)
{
    // Where the sequencer is missing the backend is simply not there; nothing throws.
    auto backend = MakeAlsaBackend();
    EXPECT_EQ(backend != nullptr, TAlsaPeer::SequencerPresent());
}

TEST_F(AlsaBackendTest, ListsPeersByStableNamesWithoutSystemOrOwnPorts)
{
    EXPECT_EQ(Backend->ApiName(), "ALSA");
    const std::vector<std::string> outputs = Backend->OutputNames();
    const std::vector<std::string> inputs = Backend->InputNames();
    const std::string through = "Midi Through:Midi Through Port-0";
    EXPECT_NE(IndexOf(outputs, through), outputs.size());
    EXPECT_NE(IndexOf(inputs, through), inputs.size());
    EXPECT_NE(IndexOf(outputs, Peer->InputPortName()), outputs.size());
    EXPECT_NE(IndexOf(inputs, Peer->OutputPortName()), inputs.size());
    EXPECT_EQ(IndexOf(outputs, Peer->OutputPortName()), outputs.size()) << "a port that only sends offered as output";
    EXPECT_EQ(IndexOf(inputs, Peer->InputPortName()), inputs.size()) << "a port that only receives offered as input";
    const std::regex address(".* [0-9]+:[0-9]+$");
    for (const auto* list : {&outputs, &inputs}) {
        for (const std::string& name : *list) {
            EXPECT_NE(name.rfind("System:", 0), 0u) << name << " is no MIDI port";
            EXPECT_FALSE(std::regex_match(name, address)) << name << " carries client numbers";
        }
    }

    // Our own output and input ports stay out of the lists once they exist.
    TRecordingSink sink;
    auto output = OpenOutput(Peer->InputPortName());
    auto input = OpenInput(Peer->OutputPortName(), sink);
    ASSERT_TRUE(output && input);
    EXPECT_EQ(Backend->OutputNames(), outputs);
    EXPECT_EQ(Backend->InputNames(), inputs);
}

// Two clients of one name are told apart by the device list's " #2", in the order of the clients.
TEST_F(AlsaBackendTest, EqualNamesAreMadeUniqueByTheService)
{
    TAlsaPeer twin("kelvane-peer");
    ASSERT_TRUE(twin.IsOpen()) << twin.Error();
    std::vector<std::unique_ptr<TPortBackend>> backends;
    backends.push_back(std::move(Backend));
    TDeviceList devices(std::move(backends));
    const std::vector<std::string> names = devices.ReadOutputNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    const size_t first = IndexOf(names, "kelvane-peer:in");
    const size_t second = IndexOf(names, "kelvane-peer:in #2");
    ASSERT_LT(first, names.size());
    ASSERT_LT(second, names.size());
    EXPECT_LT(first, second);
}

TEST_F(AlsaBackendTest, NamesSurviveThePeerComingBackUnderAnotherClientNumber)
{
    const int oldId = Peer->ClientId();
    const std::vector<std::string> before = Backend->OutputNames();
    Peer.reset();
    TAlsaPeer squatter("kelvane-squatter");  // takes the freed number, so the peer gets a new one
    Peer = std::make_unique<TAlsaPeer>();
    ASSERT_TRUE(Peer->IsOpen());
    ASSERT_NE(Peer->ClientId(), oldId);
    std::vector<std::string> after = Backend->OutputNames();
    after.erase(std::remove(after.begin(), after.end(), squatter.InputPortName()), after.end());
    EXPECT_EQ(after, before);

    auto output = OpenOutput(Peer->InputPortName());
    ASSERT_TRUE(output);
    const TBytes note = {0x90, 0x40, 0x78};
    ASSERT_TRUE(output->SendShort(note.data(), note.size()).Ok());
    ASSERT_TRUE(Peer->WaitForEvents(1, 5000));
    EXPECT_EQ(Peer->Messages(), std::vector<TBytes>{note});
}

// A large block goes out as system exclusive events of at most 4,096 bytes, whole and in order.
// 32 KiB fits the peer's queue even when its reader is slow to wake (it holds about 56 KB).
TEST_F(AlsaBackendTest, LargeBlockArrivesWholeInOrder)
{
    auto output = OpenOutput(Peer->InputPortName());
    ASSERT_TRUE(output);
    TBytes block(32 * 1024);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = uint8_t(i * 13 % 128);
    block.front() = 0xF0;
    block.back() = 0xF7;
    ASSERT_TRUE(output->SendBlock(block.data(), block.size()).Ok());
    SendMarker(*output);
    ASSERT_TRUE(Peer->WaitForEvents(9, 20000))
        << Peer->AllBytes().size() << " bytes in " << Peer->Events().size() << " events";
    auto events = Peer->Events();
    ASSERT_EQ(events.size(), 9u);
    EXPECT_EQ(events.back(), (TAlsaEvent{Marker, false}));
    events.pop_back();
    TBytes joined;
    for (const auto& event : events) {
        EXPECT_TRUE(event.Sysex);
        EXPECT_EQ(event.Bytes.size(), 4096u);
        joined.insert(joined.end(), event.Bytes.begin(), event.Bytes.end());
    }
    EXPECT_EQ(joined, block);
}

// As many short messages as the sequencer holds for a reader that has not woken up yet, sent
// flat out: all arrive, in order.
TEST_F(AlsaBackendTest, BurstThatFitsTheQueueArrivesWholeInOrder)
{
    TRecordingSink sink;
    auto input = OpenInput(Peer->OutputPortName(), sink);
    ASSERT_TRUE(input);
    ASSERT_TRUE(input->Start().Ok());
    constexpr size_t count = 1900;
    std::vector<TBytes> sent;
    for (size_t i = 0; i < count; ++i) {
        sent.push_back(NumberedMessage(i));
        ASSERT_EQ(Peer->Send(sent.back()), 0) << "message " << i;
    }
    sent.push_back(Marker);
    ASSERT_EQ(Peer->Send(Marker), 0);
    ASSERT_TRUE(sink.WaitFor(count + 1, 120s)) << sink.Count() << " arrived";
    EXPECT_EQ(sink.Messages(), sent);
    EXPECT_EQ(sink.LossCount(), 0);
}

// Far more than the queue holds, flat out: what arrives is in order, and when anything is
// missing the input has said that the sequencer threw messages away.
TEST_F(AlsaBackendTest, FloodEitherArrivesWholeOrReportsTheLoss)
{
    TRecordingSink sink;
    auto input = OpenInput(Peer->OutputPortName(), sink);
    ASSERT_TRUE(input);
    ASSERT_TRUE(input->Start().Ok());
    constexpr size_t count = 20000;
    std::vector<TBytes> accepted;
    const auto start = Clock::now();
    for (size_t i = 0; i < count; ++i) {
        const TBytes message = NumberedMessage(i);
        if (Peer->Send(message) == 0)
            accepted.push_back(message);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // Once the input has read all the sequencer kept for it, a marker sent by the peer comes
    // after everything of the flood that is still to arrive: when it is there, the rest is lost.
    // A refusal the sequencer has not yet reported empties the queue, marker and all, at the
    // input's next read: the input reports that loss, and the marker goes again.
    bool marked = false;
    for (int attempt = 0; attempt < 10 && !marked; ++attempt) {
        ASSERT_TRUE(Peer->WaitUntilTaken(120000)) << "the input stopped reading";
        const int losses = sink.LossCount();
        ASSERT_EQ(Peer->Send(Marker), 0);
        marked = sink.WaitForLastOrLoss(Marker, losses, 120s);
    }
    ASSERT_TRUE(marked) << sink.Count() << " arrived, never the marker";
    std::vector<TBytes> received = sink.Messages();
    received.erase(std::remove(received.begin(), received.end(), Marker), received.end());
    auto next = accepted.begin();
    for (const TBytes& message : received) {
        next = std::find(next, accepted.end(), message);
        ASSERT_NE(next, accepted.end()) << "a message arrived out of order or changed";
        ++next;
    }
    if (received.size() < accepted.size()) {
        EXPECT_GT(sink.LossCount(), 0) << accepted.size() - received.size() << " messages lost without a word";
    }
    std::printf("[   INFO   ] %zu sent flat out in %.2f s (%zu refused by the sequencer), %zu arrived, %d losses "
                "reported\n",
                count, seconds, count - accepted.size(), received.size(), sink.LossCount());
}

TEST_F(AlsaBackendTest, InputDeliversExactPiecesOnlyWhileStarted)
{
    TRecordingSink sink;
    auto input = OpenInput(Peer->OutputPortName(), sink);
    ASSERT_TRUE(input);
    ASSERT_EQ(Peer->Send({0x80, 0x3C, 0x00}), 0);
    ASSERT_TRUE(Peer->WaitUntilTaken(10000));
    EXPECT_EQ(sink.Count(), 0u) << "delivered before Start";

    ASSERT_TRUE(input->Start().Ok());
    const std::vector<TBytes> messages = {
        {0x90, 0x3C, 0x7F}, {0x90, 0x3C, 0x00}, {0xA0, 0x3C, 0x20}, {0xB5, 0x07, 0x64}, {0xC0, 0x05},
        {0xDF, 0x40}, {0xE0, 0x00, 0x40}, {0xE0, 0x7F, 0x7F}, {0xF1, 0x23}, {0xF2, 0x01, 0x02}, {0xF3, 0x04},
        {0xF6}, {0xFA}, {0xFC}, {0xFF},
        {0xF0, 0x41, 0x10}, {0x42, 0x12}, {0x40, 0xF7},  // one system exclusive message in pieces
        Marker,
    };
    for (const TBytes& message : messages)
        ASSERT_EQ(Peer->Send(message), 0);
    ASSERT_TRUE(sink.WaitFor(messages.size(), 10s)) << sink.Count() << " arrived";
    EXPECT_EQ(sink.Messages(), messages);

    input->Stop();
    ASSERT_EQ(Peer->Send({0x90, 0x3C, 0x7F}), 0);
    ASSERT_TRUE(Peer->WaitUntilTaken(10000));
    EXPECT_EQ(sink.Count(), messages.size()) << "delivered after Stop";
}

TEST_F(AlsaBackendTest, RunningStatusAsTheSequencerCarriesItArrivesAsWholeMessages)
{
    TRecordingSink sink;
    auto input = OpenInput(Peer->OutputPortName(), sink);
    ASSERT_TRUE(input);
    ASSERT_TRUE(input->Start().Ok());
    ASSERT_EQ(Peer->SendStream({0x90, 0x3C, 0x7F, 0x3E, 0x7F, 0x40, 0x00, 0xB0, 0x07, 0x64, 0x0A, 0x40}), 0);
    ASSERT_EQ(Peer->Send(Marker), 0);
    ASSERT_TRUE(sink.WaitFor(6, 10s)) << sink.Count() << " arrived";
    EXPECT_EQ(sink.Messages(), (std::vector<TBytes>{{0x90, 0x3C, 0x7F}, {0x90, 0x3E, 0x7F}, {0x90, 0x40, 0x00},
                                                    {0xB0, 0x07, 0x64}, {0xB0, 0x0A, 0x40}, Marker}));
}

TEST_F(AlsaBackendTest, PeerGoneUnderAnOpenOutputFailsTheNextSendAndAnotherPortWorks)
{
    auto output = OpenOutput(Peer->InputPortName());
    ASSERT_TRUE(output);
    TAlsaPeer other("kelvane-other");
    ASSERT_TRUE(other.IsOpen());
    Peer.reset();

    const TBytes note = {0x90, 0x40, 0x78};
    // A send that waited for a port that is gone would never return: ctest's time limit ends it.
    const TMidiResult result = output->SendShort(note.data(), note.size());
    ASSERT_FALSE(result.Ok()) << "a send to a vanished port succeeded";
    EXPECT_EQ(result.Text(), "ALSA MIDI port is no longer there: kelvane-peer:in");
    EXPECT_FALSE(output->SendBlock(note.data(), note.size()).Ok());
    output.reset();

    // Nothing of the failed sends is left to block the next port.
    auto second = OpenOutput(other.InputPortName());
    ASSERT_TRUE(second);
    ASSERT_TRUE(second->SendShort(note.data(), note.size()).Ok());
    SendMarker(*second);
    ASSERT_TRUE(other.WaitForEvents(2, 5000));
    EXPECT_EQ(other.Messages(), (std::vector<TBytes>{note, Marker}));
}

TEST_F(AlsaBackendTest, PeerGoneUnderAnOpenInputIsHarmlessAndItCanBeOpenedAgain)
{
    TRecordingSink sink;
    auto input = OpenInput(Peer->OutputPortName(), sink);
    ASSERT_TRUE(input);
    ASSERT_TRUE(input->Start().Ok());
    const std::string gone = Peer->OutputPortName();
    Peer.reset();
    const std::vector<std::string> names = Backend->InputNames();
    EXPECT_EQ(IndexOf(names, gone), names.size()) << "the peer's port is still there";
    input->Stop();
    input.reset();

    Peer = std::make_unique<TAlsaPeer>();
    ASSERT_TRUE(Peer->IsOpen());
    input = OpenInput(Peer->OutputPortName(), sink);
    ASSERT_TRUE(input);
    ASSERT_TRUE(input->Start().Ok());
    ASSERT_EQ(Peer->Send({0x90, 0x3C, 0x7F}), 0);
    ASSERT_TRUE(sink.WaitFor(1, 5s));
    EXPECT_EQ(sink.Messages(), std::vector<TBytes>{TBytes({0x90, 0x3C, 0x7F})});
}

// A receiver that never reads fills its queue: sends then fail with a text and never wait, and
// what failed is not sent later to anyone.
TEST_F(AlsaBackendTest, ReceiverThatNeverReadsMakesSendsFailNeverHang)
{
    TAlsaPeer mute("kelvane-mute", false);
    ASSERT_TRUE(mute.IsOpen());
    auto output = OpenOutput(mute.InputPortName());
    ASSERT_TRUE(output);
    TBytes sysex(1024, 0x11);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    TMidiResult result;
    size_t accepted = 0;
    const auto start = Clock::now();
    while (result.Ok() && accepted < 100000 && Clock::now() - start < 60s) {
        result = output->SendBlock(sysex.data(), sysex.size());
        if (result.Ok())
            ++accepted;
    }
    ASSERT_FALSE(result.Ok()) << "the queue of a receiver that never reads never filled";
    EXPECT_EQ(result.Text(), "ALSA MIDI port is not taking data fast enough, its queue is full: kelvane-mute:in");
    // A send that waited for room would hang: ctest's time limit ends it.
    EXPECT_FALSE(output->SendBlock(sysex.data(), sysex.size()).Ok());

    const TBytes note = {0x90, 0x40, 0x78};
    auto second = OpenOutput(Peer->InputPortName());
    ASSERT_TRUE(second);
    ASSERT_TRUE(second->SendShort(note.data(), note.size()).Ok());
    SendMarker(*second);
    ASSERT_TRUE(Peer->WaitForEvents(2, 5000));
    EXPECT_EQ(Peer->Messages(), (std::vector<TBytes>{note, Marker}));
}
