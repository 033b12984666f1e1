// The JACK backend against a real JACK server of this test's own (dummy driver, 48 kHz, 256
// frames per cycle) and a peer client that records and sends bytes.
#include "JackTest.h"
#include "platform/PortBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

using TBytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

class TRecordingSink : public TInputSink {
public:
    struct TMessage {
        TBytes Bytes;
        TDeviceTime Time;
    };

    // Runs on the input's reader thread: only records.
    void Receive(const uint8_t* bytes, size_t length, TDeviceTime time) override
    {
        std::lock_guard guard(Lock);
        Received.push_back({TBytes(bytes, bytes + length), time});
        Changed.notify_all();
    }

    bool WaitFor(size_t count, std::chrono::milliseconds timeout)
    {
        std::unique_lock guard(Lock);
        return Changed.wait_for(guard, timeout, [&] { return Received.size() >= count; });
    }

    std::vector<TBytes> Bytes()
    {
        std::lock_guard guard(Lock);
        std::vector<TBytes> bytes;
        for (const TMessage& message : Received)
            bytes.push_back(message.Bytes);
        return bytes;
    }

    std::vector<TDeviceTime> Times()
    {
        std::lock_guard guard(Lock);
        std::vector<TDeviceTime> times;
        for (const TMessage& message : Received)
            times.push_back(message.Time);
        return times;
    }

private:
    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<TMessage> Received;
};

std::vector<TBytes> BytesOf(const std::vector<TJackEvent>& events)
{
    std::vector<TBytes> bytes;
    for (const TJackEvent& event : events)
        bytes.push_back(event.Bytes);
    return bytes;
}

// Sent after what a test checks: once it has arrived, everything sent before it has too, and
// anything extra would stand before it.
const TBytes Marker = {0xB0, 0x7B, 0x00};

void SendMarker(TOutputConnection& output)
{
    EXPECT_TRUE(output.SendShort(Marker.data(), Marker.size()).Ok());
}

// Note-on messages that differ in channel, key and velocity, so order shows.
TBytes NumberedMessage(size_t i)
{
    return {static_cast<uint8_t>(0x90 | (i % 16)), static_cast<uint8_t>(i / 16 % 128),
            static_cast<uint8_t>(i % 127 + 1)};
}

class JackBackendTest : public TJackTest {
protected:
    std::unique_ptr<TPortBackend> Backend;

    void SetUp() override
    {
        TJackTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Backend = MakeJackBackend();
        ASSERT_NE(Backend, nullptr);
    }

    void TearDown() override
    {
        Backend.reset();
        TJackTest::TearDown();
    }

    std::unique_ptr<TOutputConnection> OpenOutputToPeer()
    {
        const std::vector<std::string> names = Backend->OutputNames();
        const auto found = std::find(names.begin(), names.end(), Peer->InputPortName());
        if (found == names.end()) {
            ADD_FAILURE() << "the peer's input is not listed";
            return nullptr;
        }
        TMidiResult result;
        auto output = Backend->OpenOutput(static_cast<size_t>(found - names.begin()), result);
        EXPECT_TRUE(result.Ok()) << result.Text();
        EXPECT_NE(output, nullptr);
        return output;
    }

    std::unique_ptr<TInputConnection> OpenInputFromPeer(TInputSink& sink)
    {
        const std::vector<std::string> names = Backend->InputNames();
        const auto found = std::find(names.begin(), names.end(), Peer->OutputPortName());
        if (found == names.end()) {
            ADD_FAILURE() << "the peer's output is not listed";
            return nullptr;
        }
        TMidiResult result;
        auto input = Backend->OpenInput(static_cast<size_t>(found - names.begin()), sink, result);
        EXPECT_TRUE(result.Ok()) << result.Text();
        EXPECT_NE(input, nullptr);
        return input;
    }
};

}  // namespace

TEST(JackBackendWithoutServer, IsNull)
{
    std::string error;
    ASSERT_TRUE(TJackServer::TakeJackTurn(error)) << error;
    setenv("JACK_DEFAULT_SERVER", ("kelvane-test-absent-" + std::to_string(getpid())).c_str(), 1);
    EXPECT_EQ(MakeJackBackend(), nullptr);
}

TEST_F(JackBackendTest, ListsOtherClientsPortsByFullNameAndNotItsOwn)
{
    EXPECT_EQ(Backend->ApiName(), "JACK");
    const std::vector<std::string> outputs = {"kelvane-peer:in"};
    const std::vector<std::string> inputs = {"kelvane-peer:out"};
    EXPECT_EQ(Backend->OutputNames(), outputs);
    EXPECT_EQ(Backend->InputNames(), inputs);

    // Our own output and input ports stay out of the lists.
    TRecordingSink sink;
    auto output = OpenOutputToPeer();
    auto input = OpenInputFromPeer(sink);
    ASSERT_TRUE(output && input);
    EXPECT_EQ(Backend->OutputNames(), outputs);
    EXPECT_EQ(Backend->InputNames(), inputs);
}

TEST_F(JackBackendTest, ShortMessageAndBlocksArriveByteExact)
{
    auto output = OpenOutputToPeer();
    ASSERT_TRUE(output);
    const TBytes note = {0x90, 0x3C, 0x64};
    const TBytes sysex = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    const TBytes piece = {0x41, 0x10, 0x42};                    // no F0, no F7
    const TBytes messages = {0xB0, 0x79, 0x00, 0xC0, 0x05};  // one block, one event

    EXPECT_TRUE(output->SendShort(note.data(), note.size()).Ok());
    EXPECT_TRUE(output->SendBlock(sysex.data(), sysex.size()).Ok());
    EXPECT_TRUE(output->SendBlock(piece.data(), piece.size()).Ok());
    EXPECT_TRUE(output->SendBlock(messages.data(), messages.size()).Ok());
    SendMarker(*output);

    ASSERT_TRUE(Peer->WaitForLastEvent(Marker, 5000));
    EXPECT_EQ(BytesOf(Peer->Events()), (std::vector<TBytes>{note, sysex, piece, messages, Marker}));
}

TEST_F(JackBackendTest, LargeBlockArrivesWholeInTheFewestEvents)
{
    auto output = OpenOutputToPeer();
    ASSERT_TRUE(output);
    TBytes block(64 * 1024);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 13 % 128);
    block.front() = 0xF0;
    block.back() = 0xF7;

    ASSERT_TRUE(output->SendBlock(block.data(), block.size()).Ok());
    SendMarker(*output);
    ASSERT_TRUE(Peer->WaitForLastEvent(Marker, 5000));

    std::vector<TJackEvent> events = Peer->Events();
    events.pop_back();  // the marker
    const size_t maxEvent = Peer->MaxEventSize();
    ASSERT_GT(maxEvent, 1000u);
    ASSERT_EQ(events.size(), (block.size() + maxEvent - 1) / maxEvent);
    TBytes joined;
    for (size_t i = 0; i < events.size(); ++i) {
        if (i + 1 < events.size()) {
            EXPECT_EQ(events[i].Bytes.size(), maxEvent) << "event " << i;
        }
        joined.insert(joined.end(), events[i].Bytes.begin(), events[i].Bytes.end());
    }
    EXPECT_EQ(joined, block);
}

TEST_F(JackBackendTest, BlockThatDoesNotFitTheRestOfACycleGoesWholeIntoTheNext)
{
    auto output = OpenOutputToPeer();
    ASSERT_TRUE(output);
    std::vector<TBytes> sent;
    for (size_t i = 0; i < 3000; ++i) {  // more than one cycle's buffer takes
        sent.push_back(NumberedMessage(i));
        ASSERT_TRUE(output->SendShort(sent.back().data(), 3).Ok());
    }
    TBytes block(30000, 0x55);  // fits an empty buffer, not the rest of a used one
    block.front() = 0xF0;
    block.back() = 0xF7;
    sent.push_back(block);
    ASSERT_TRUE(output->SendBlock(block.data(), block.size()).Ok());
    sent.push_back(Marker);
    SendMarker(*output);

    ASSERT_TRUE(Peer->WaitForLastEvent(Marker, 5000)) << Peer->EventCount() << " arrived";
    EXPECT_EQ(BytesOf(Peer->Events()), sent);
}

TEST_F(JackBackendTest, BurstOfShortMessagesAllArriveInOrder)
{
    auto output = OpenOutputToPeer();
    ASSERT_TRUE(output);
    constexpr size_t count = 10000;
    std::vector<TBytes> sent;
    for (size_t i = 0; i < count; ++i) {
        sent.push_back(NumberedMessage(i));
        ASSERT_TRUE(output->SendShort(sent.back().data(), 3).Ok()) << "message " << i;
    }
    sent.push_back(Marker);
    SendMarker(*output);

    ASSERT_TRUE(Peer->WaitForLastEvent(Marker, 10000)) << Peer->EventCount() << " arrived";
    const std::vector<TJackEvent> events = Peer->Events();
    EXPECT_EQ(BytesOf(events), sent);
    // More than one cycle's buffer holds, so some were carried to later cycles.
    std::set<jack_nframes_t> cycles;
    for (const TJackEvent& event : events)
        cycles.insert(event.Frame);
    EXPECT_GE(cycles.size(), 3u);
}

// Stopping the server process (SIGSTOP) stalls its cycles. What was queued before is not
// checked here: the server's resume runs into xruns that lose a cycle between any two clients.
TEST_F(JackBackendTest, StalledServerMakesSendsFailPromptlyUntilItRunsAgain)
{
    auto output = OpenOutputToPeer();
    ASSERT_TRUE(output);
    Server.Pause();
    size_t accepted = 0;
    TMidiResult result;
    while (result.Ok() && accepted < 1000000) {
        const TBytes message = NumberedMessage(accepted);
        result = output->SendShort(message.data(), message.size());
        if (result.Ok())
            ++accepted;
    }
    Server.Resume();

    // A send that waited for the stalled server would never return: ctest's time limit ends it.
    ASSERT_FALSE(result.Ok()) << "a stalled server never filled the buffer";
    EXPECT_EQ(result.Text(), "JACK output buffer is full: the JACK server is not taking MIDI data fast enough");
    EXPECT_GT(accepted, 100000u);  // a large burst fits before it refuses

    const TBytes last = {0xB0, 0x7B, 0x00};
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!(result = output->SendShort(last.data(), last.size())).Ok() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(result.Ok()) << "the buffer never drained";
    // What was queued drains at the server's pace, slow under a sanitizer: wait as long as
    // events keep arriving.
    bool arrived = false;
    for (size_t before = 0; !(arrived = Peer->WaitForLastEvent(last, 2000)) && Peer->EventCount() > before;)
        before = Peer->EventCount();
    EXPECT_TRUE(arrived) << Peer->EventCount() << " arrived";
}

TEST_F(JackBackendTest, BlockLargerThanTheOutputBufferFailsWithText)
{
    auto output = OpenOutputToPeer();
    ASSERT_TRUE(output);
    TBytes block(4 * 1024 * 1024, 0x00);
    block.front() = 0xF0;
    block.back() = 0xF7;
    const TMidiResult result = output->SendBlock(block.data(), block.size());
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(result.Text(), "MIDI block is larger than the JACK output buffer");
}

TEST_F(JackBackendTest, InputDeliversExactBytesOnlyWhileStarted)
{
    TRecordingSink sink;
    auto input = OpenInputFromPeer(sink);
    ASSERT_TRUE(input);
    const TBytes note = {0x90, 0x3C, 0x7F};
    const TBytes sysex = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

    Peer->Send({0x80, 0x3C, 0x00});
    ASSERT_TRUE(Peer->WaitUntilRead(5000));
    EXPECT_TRUE(sink.Bytes().empty()) << "delivered before Start";

    ASSERT_TRUE(input->Start().Ok());
    const TDeviceTime sending = DeviceNow();
    Peer->Send(note);
    Peer->Send(sysex);
    ASSERT_TRUE(sink.WaitFor(2, 5000ms));
    ASSERT_TRUE(Peer->WaitUntilRead(5000));
    const TDeviceTime received = DeviceNow();
    EXPECT_EQ(sink.Bytes(), (std::vector<TBytes>{note, sysex}));
    const std::vector<TDeviceTime> times = sink.Times();
    ASSERT_EQ(times.size(), 2u);
    EXPECT_LE(times[0], times[1]);
    // On the monotonic clock, not JACK's own (CLOCK_MONOTONIC_RAW, 271 ms apart from it on the
    // development machine): the cycle that carried them began about a period before the test
    // queued them (5.3 ms at 48 kHz and 256 frames), and ended before they were seen. A frame's
    // time is JACK's smoothed estimate of when the frame was due, which lags behind when the
    // dummy driver's cycles run late (about 100 ms with every core busy).
    EXPECT_GE(times[0], sending - std::chrono::milliseconds(200));
    EXPECT_LE(times[1], received);

    input->Stop();
    Peer->Send(note);
    ASSERT_TRUE(Peer->WaitUntilRead(5000));
    EXPECT_EQ(sink.Bytes().size(), 2u) << "delivered after Stop";
}

// Each event's time is its frame's: events a cycle carries at different frames, and events of
// the next cycles, arrive as far apart as their frames are (48 kHz: 20.8 µs a frame).
TEST_F(JackBackendTest, InputTimesFollowTheEventsFrames)
{
    TRecordingSink sink;
    auto input = OpenInputFromPeer(sink);
    ASSERT_TRUE(input);
    ASSERT_TRUE(input->Start().Ok());
    ASSERT_TRUE(Peer->WaitUntilOutputConnected(5000));
    const std::vector<jack_nframes_t> offsets = {0, 40, 128, 255, 10, 200, 0};
    std::vector<TBytes> sent;
    for (size_t i = 0; i < offsets.size(); ++i) {
        sent.push_back(NumberedMessage(i));
        Peer->SendAt(sent.back(), offsets[i]);  // 10 and 0 are earlier frames: later cycles
    }
    ASSERT_TRUE(sink.WaitFor(offsets.size(), 5000ms));
    const TDeviceTime seen = DeviceNow();
    ASSERT_EQ(sink.Bytes(), sent);
    const std::vector<jack_nframes_t> frames = Peer->SentFrames();
    const std::vector<TDeviceTime> times = sink.Times();
    ASSERT_EQ(frames.size(), offsets.size());
    ASSERT_EQ(times.size(), offsets.size());
    EXPECT_GT(frames.back() - frames.front(), 256u) << "the events span several cycles";
    for (size_t i = 1; i < times.size(); ++i) {
        const double frameMicroseconds = double(frames[i] - frames[0]) * 1e6 / 48000.0;
        const double deviceMicroseconds = double((times[i] - times[0]).count());
        EXPECT_NEAR(deviceMicroseconds, frameMicroseconds, 1000.0) << "event " << i;
    }
    // JACK's clock is the monotonic clock: the times are those of this test's own clock.
    EXPECT_LE(times.back(), seen);
    EXPECT_GT(times.front(), seen - std::chrono::seconds(5));
}

TEST_F(JackBackendTest, ServerGoneUnderOpenOutputFailsSendsPromptlyWithText)
{
    auto output = OpenOutputToPeer();
    TRecordingSink sink;
    auto input = OpenInputFromPeer(sink);
    ASSERT_TRUE(output && input);
    ASSERT_TRUE(input->Start().Ok());
    Peer.reset();
    Server.Stop();

    const TBytes note = {0x90, 0x3C, 0x64};
    TMidiResult result;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (result.Ok() && std::chrono::steady_clock::now() < deadline) {
        result = output->SendShort(note.data(), note.size());
        if (result.Ok())
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_FALSE(result.Ok()) << "sends kept succeeding with no server";
    EXPECT_EQ(result.Text(), "JACK server is not running");
    EXPECT_EQ(output->SendBlock(note.data(), note.size()), result);
    EXPECT_TRUE(Backend->OutputNames().empty());

    // Closing everything with the server gone must not hang (ctest's time limit would end it).
    input.reset();
    output.reset();
    Backend.reset();
}
