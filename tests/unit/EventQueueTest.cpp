// The queue of received events, alone and behind PortCallback, including one producer thread
// against one consumer thread.
#include "MidiCallback.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace {

TEventQueuePtr MakeQueue(uint16_t capacity)
{
    return TEventQueuePtr(CreateEventQueue(capacity));
}

TQueuedEvent Entry(uint32_t n)
{
    return {n, n * 7 + 1, nullptr};
}

// Pops the head, or fails the test when there is none.
TQueuedEvent Take(TEventQueue* queue)
{
    TQueuedEvent entry{};
    EXPECT_TRUE(QueueFront(queue, entry));
    EXPECT_TRUE(QueuePop(queue));
    return entry;
}

}  // namespace

TEST(EventQueue, HoldsItsCapacityAndRefusesTheNextWithoutChange)
{
    auto queue = MakeQueue(1024);
    ASSERT_NE(queue, nullptr);
    for (uint32_t n = 0; n < 1024; ++n)
        ASSERT_TRUE(QueuePush(queue.get(), Entry(n))) << n;
    EXPECT_EQ(queue->Count.load(), 1024);
    EXPECT_FALSE(QueuePush(queue.get(), Entry(1024)));
    EXPECT_EQ(queue->Count.load(), 1024);
    for (uint32_t n = 0; n < 1024; ++n)
        ASSERT_EQ(Take(queue.get()).PackedMessage, Entry(n).PackedMessage) << n;
    TQueuedEvent entry{};
    EXPECT_FALSE(QueueFront(queue.get(), entry));
    EXPECT_FALSE(QueuePop(queue.get()));
}

TEST(EventQueue, WrapsAroundKeepingOrder)
{
    auto queue = MakeQueue(3);
    uint32_t pushed = 0;
    uint32_t taken = 0;
    // Uneven pushes and pops carry both positions past the last slot many times.
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < 1 + round % 3 && queue->Count.load() < 3; ++i)
            ASSERT_TRUE(QueuePush(queue.get(), Entry(pushed++)));
        for (int i = 0; i < 1 + (round + 1) % 2 && queue->Count.load() > 0; ++i) {
            const TQueuedEvent entry = Take(queue.get());
            ASSERT_EQ(entry.TimeStamp, taken);
            ASSERT_EQ(entry.PackedMessage, Entry(taken).PackedMessage);
            ++taken;
        }
        ASSERT_LT(queue->WritePos, 3u);
        ASSERT_LT(queue->ReadPos, 3u);
    }
    EXPECT_GT(taken, 40u);
}

TEST(EventQueue, FrontDoesNotTake)
{
    auto queue = MakeQueue(4);
    ASSERT_TRUE(QueuePush(queue.get(), Entry(1)));
    TQueuedEvent a{}, b{};
    ASSERT_TRUE(QueueFront(queue.get(), a));
    ASSERT_TRUE(QueueFront(queue.get(), b));
    EXPECT_EQ(a.TimeStamp, b.TimeStamp);
    EXPECT_EQ(queue->Count.load(), 1);
}

// One producer thread pushing (and retrying while the queue is full), one consumer popping:
// every entry arrives once, in order, with both its words intact.
TEST(EventQueue, ProducerThreadAgainstConsumerLosesAndDuplicatesNothing)
{
    constexpr uint32_t Total = 10'000'000;
    auto queue = MakeQueue(1024);
    std::thread producer([&] {
        for (uint32_t n = 0; n < Total; ++n)
            while (!QueuePush(queue.get(), Entry(n)))
                std::this_thread::yield();
    });
    uint32_t expected = 0;
    uint32_t wrong = 0;
    while (expected < Total) {
        TQueuedEvent entry{};
        if (!QueueFront(queue.get(), entry)) {
            std::this_thread::yield();
            continue;
        }
        if (entry.TimeStamp != expected || entry.PackedMessage != Entry(expected).PackedMessage)
            ++wrong;
        if (!QueuePop(queue.get()))
            ++wrong;
        ++expected;
    }
    producer.join();
    EXPECT_EQ(wrong, 0u);
    TQueuedEvent entry{};
    EXPECT_FALSE(QueueFront(queue.get(), entry));
}

// PortCallback against a real queue and sink: what is queued and what is posted.
class PortCallbackTest : public ::testing::Test {
protected:
    TEventQueuePtr Queue = MakeQueue(1024);
    std::vector<unsigned> Posted;
    TNotifyWindow Window{[this](unsigned message, uintptr_t, uintptr_t) { Posted.push_back(message); }};
    TCallbackInstance* Instance = CreateCallbackInstance();

    void SetUp() override
    {
        Instance->Queue = Queue.get();
        Instance->NotifyWindow = &Window;
    }
    void TearDown() override { FreeCallbackInstance(Instance); }

    bool Call(unsigned message, uintptr_t p1, uintptr_t p2 = 0)
    {
        return PortCallback(nullptr, message, reinterpret_cast<uintptr_t>(Instance), p1, p2);
    }
    std::vector<unsigned> Delivered()
    {
        QCoreApplication::sendPostedEvents(&Window);
        return std::exchange(Posted, {});
    }
};

// A full queue refuses, and asks once for the refused to be offered again; the service then
// keeps them, so no overflow is reported here.
TEST_F(PortCallbackTest, FullQueueRefusesAndAsksForRoomOnce)
{
    TMidiHeader header{};
    for (uint32_t n = 0; n < 1024; ++n)
        ASSERT_TRUE(Call(MIM_DATA, 0x403C90, n));
    EXPECT_FALSE(Call(MIM_DATA, 0x403C90, 1024));
    EXPECT_FALSE(Call(MIM_LONGDATA, reinterpret_cast<uintptr_t>(&header), 1025));
    std::vector<unsigned> posted = Delivered();
    ASSERT_EQ(posted.size(), 1025u);
    EXPECT_EQ(std::count(posted.begin(), posted.end(), NotifyEventsWaiting), 1024);
    EXPECT_EQ(posted.back(), NotifyRoom);
    EXPECT_EQ(Queue->Count.load(), 1024);

    // Once the port has asked, the next refusal asks again.
    Instance->RefusedSinceRoom = false;
    EXPECT_FALSE(Call(MIM_DATA, 0x403C90, 1026));
    EXPECT_EQ(Delivered(), std::vector<unsigned>{NotifyRoom});
}

TEST_F(PortCallbackTest, ClockAndActiveSensingLeaveNoTrace)
{
    Call(MIM_DATA, 0xF8);
    Call(MIM_DATA, 0xFE);
    EXPECT_TRUE(Delivered().empty());
    EXPECT_EQ(Queue->Count.load(), 0);
}

TEST_F(PortCallbackTest, EntriesCarryTimeMessageAndHeader)
{
    TMidiHeader header{};
    Call(MIM_DATA, 0x05C0, 17);
    Call(MIM_LONGDATA, reinterpret_cast<uintptr_t>(&header), 18);
    Call(MIM_LONGERROR, reinterpret_cast<uintptr_t>(&header), 19);
    EXPECT_EQ(Delivered(), (std::vector<unsigned>{NotifyEventsWaiting, NotifyEventsWaiting, NotifyEventsWaiting}));
    const TQueuedEvent shortEntry = Take(Queue.get());
    EXPECT_EQ(shortEntry.TimeStamp, 17u);
    EXPECT_EQ(shortEntry.PackedMessage, 0x05C0u);
    EXPECT_EQ(shortEntry.BufferHeader, nullptr);
    for (uint32_t time : {18u, 19u}) {
        const TQueuedEvent block = Take(Queue.get());
        EXPECT_EQ(block.TimeStamp, time);
        EXPECT_EQ(block.PackedMessage, 0u);
        EXPECT_EQ(block.BufferHeader, &header);
    }
}

TEST_F(PortCallbackTest, SysexOnlyDropsShortMessagesButNotBlocks)
{
    TMidiHeader header{};
    Instance->SysexOnlyFlag = 1;
    Call(MIM_DATA, 0x7F3C90);
    Call(MIM_LONGDATA, reinterpret_cast<uintptr_t>(&header));
    EXPECT_EQ(Delivered(), std::vector<unsigned>{NotifyEventsWaiting});
    EXPECT_EQ(Take(Queue.get()).BufferHeader, &header);
}

// The service's word that it had to drop bytes (no header) is an overflow, never an entry.
TEST_F(PortCallbackTest, LongMessageWithoutHeaderIsAnOverflow)
{
    Call(MIM_LONGERROR, 0);
    EXPECT_EQ(Delivered(), std::vector<unsigned>{NotifyOverflow});
    EXPECT_EQ(Queue->Count.load(), 0);
}

TEST_F(PortCallbackTest, OutputDonePostsTheHeaderAndOtherMessagesNothing)
{
    std::vector<uintptr_t> headers;
    TNotifyWindow window([&](unsigned message, uintptr_t, uintptr_t p2) {
        if (message == NotifyOutputDone)
            headers.push_back(p2);
    });
    Instance->NotifyWindow = &window;
    Call(MOM_DONE, 0x1234);
    Call(961, 1);  // open, close and the rest mean nothing here
    Call(965, 1);
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(headers, std::vector<uintptr_t>{0x1234});
    EXPECT_EQ(Queue->Count.load(), 0);
}

TEST(PortCallbackWithoutQueue, DropsEverything)
{
    std::vector<unsigned> posted;
    TNotifyWindow window([&](unsigned message, uintptr_t, uintptr_t) { posted.push_back(message); });
    TCallbackInstance* instance = CreateCallbackInstance();
    instance->NotifyWindow = &window;
    TMidiHeader header{};
    EXPECT_TRUE(PortCallback(nullptr, MIM_DATA, reinterpret_cast<uintptr_t>(instance), 0x7F3C90, 0));
    EXPECT_TRUE(PortCallback(nullptr, MIM_DATA, 0, 0x7F3C90, 0));
    // A buffer nobody takes stays the service's.
    EXPECT_FALSE(PortCallback(nullptr, MIM_LONGDATA, reinterpret_cast<uintptr_t>(instance),
                              reinterpret_cast<uintptr_t>(&header), 0));
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_TRUE(posted.empty());
    FreeCallbackInstance(instance);
}
