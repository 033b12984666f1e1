// The queue of received events, alone (including one producer thread against one consumer
// thread), and behind the hand-over the reception calls: what is queued and what is posted.
#include "InputHandOver.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace {

TDeviceTime At(uint32_t microseconds)
{
    return TDeviceTime(std::chrono::microseconds(microseconds));
}

TQueuedEvent Entry(uint32_t n)
{
    TQueuedEvent entry;
    entry.Time = At(n);
    entry.Bytes[0] = uint8_t(0x80 | (n & 0x7F));
    entry.Bytes[1] = uint8_t(n >> 7 & 0x7F);
    entry.Bytes[2] = uint8_t(n >> 14 & 0x7F);
    return entry;
}

bool SameEntry(const TQueuedEvent& a, const TQueuedEvent& b)
{
    return a.Time == b.Time && std::equal(a.Bytes, a.Bytes + 3, b.Bytes) && a.Sysex == b.Sysex;
}

// Pops the head, or fails the test when there is none.
TQueuedEvent Take(TEventQueue& queue)
{
    TQueuedEvent entry;
    EXPECT_TRUE(queue.Front(entry));
    EXPECT_TRUE(queue.Pop());
    return entry;
}

}  // namespace

TEST(EventQueue, HoldsItsCapacityAndRefusesTheNextWithoutChange)
{
    TEventQueue queue(1024);
    EXPECT_EQ(queue.Capacity(), 1024);
    for (uint32_t n = 0; n < 1024; ++n)
        ASSERT_TRUE(queue.Push(Entry(n))) << n;
    EXPECT_EQ(queue.Count(), 1024);
    EXPECT_FALSE(queue.Push(Entry(1024)));
    EXPECT_EQ(queue.Count(), 1024);
    for (uint32_t n = 0; n < 1024; ++n)
        ASSERT_TRUE(SameEntry(Take(queue), Entry(n))) << n;
    TQueuedEvent entry;
    EXPECT_FALSE(queue.Front(entry));
    EXPECT_FALSE(queue.Pop());
}

TEST(EventQueue, WrapsAroundKeepingOrder)
{
    TEventQueue queue(3);
    uint32_t pushed = 0;
    uint32_t taken = 0;
    // Uneven pushes and pops carry both positions past the last slot many times.
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < 1 + round % 3 && queue.Count() < 3; ++i)
            ASSERT_TRUE(queue.Push(Entry(pushed++)));
        for (int i = 0; i < 1 + (round + 1) % 2 && queue.Count() > 0; ++i)
            ASSERT_TRUE(SameEntry(Take(queue), Entry(taken++))) << taken;
    }
    EXPECT_GT(taken, 40u);
}

TEST(EventQueue, FrontDoesNotTake)
{
    TEventQueue queue(4);
    ASSERT_TRUE(queue.Push(Entry(1)));
    TQueuedEvent a, b;
    ASSERT_TRUE(queue.Front(a));
    ASSERT_TRUE(queue.Front(b));
    EXPECT_TRUE(SameEntry(a, b));
    EXPECT_EQ(queue.Count(), 1);
}

// One producer thread pushing (and retrying while the queue is full), one consumer popping:
// every entry arrives once, in order, with all its fields intact.
TEST(EventQueue, ProducerThreadAgainstConsumerLosesAndDuplicatesNothing)
{
    constexpr uint32_t Total = 10'000'000;
    TEventQueue queue(1024);
    std::thread producer([&] {
        for (uint32_t n = 0; n < Total; ++n)
            while (!queue.Push(Entry(n)))
                std::this_thread::yield();
    });
    uint32_t expected = 0;
    uint32_t wrong = 0;
    while (expected < Total) {
        TQueuedEvent entry;
        if (!queue.Front(entry)) {
            std::this_thread::yield();
            continue;
        }
        if (!SameEntry(entry, Entry(expected)))
            ++wrong;
        if (!queue.Pop())
            ++wrong;
        ++expected;
    }
    producer.join();
    EXPECT_EQ(wrong, 0u);
    TQueuedEvent entry;
    EXPECT_FALSE(queue.Front(entry));
}

// The hand-over against a real queue and notifier: what is queued and what is posted.
class InputHandOverTest : public ::testing::Test {
protected:
    std::vector<TInputNotification> Posted;
    TInputNotifier Notifier{[this](TInputNotification notification) { Posted.push_back(notification); }};
    TInputHandOver HandOver{1024, Notifier, false};

    bool Short(std::vector<uint8_t> bytes, uint32_t time = 0)
    {
        return HandOver.TakeShort(bytes.data(), bytes.size(), At(time));
    }
    std::vector<TInputNotification> Delivered()
    {
        QCoreApplication::sendPostedEvents(&Notifier);
        return std::exchange(Posted, {});
    }
};

using enum TInputNotification;

// A full queue refuses, and asks once for the refused to be offered again; the reception then
// keeps them, so no overflow is reported here.
TEST_F(InputHandOverTest, FullQueueRefusesAndAsksForRoomOnce)
{
    TSysexBuffer buffer(16);
    for (uint32_t n = 0; n < 1024; ++n)
        ASSERT_TRUE(Short({0x90, 0x3C, 0x40}, n));
    EXPECT_FALSE(Short({0x90, 0x3C, 0x40}, 1024));
    EXPECT_FALSE(HandOver.TakeSysex(buffer, At(1025)));
    std::vector<TInputNotification> posted = Delivered();
    ASSERT_EQ(posted.size(), 1025u);
    EXPECT_EQ(std::count(posted.begin(), posted.end(), EventsWaiting), 1024);
    EXPECT_EQ(posted.back(), Room);
    EXPECT_EQ(HandOver.Queue().Count(), 1024);

    // Once the port has noticed, the next refusal asks again.
    HandOver.RoomNoticed();
    EXPECT_FALSE(Short({0x90, 0x3C, 0x40}, 1026));
    EXPECT_EQ(Delivered(), std::vector<TInputNotification>{Room});
}

TEST_F(InputHandOverTest, ClockAndActiveSensingLeaveNoTrace)
{
    EXPECT_TRUE(Short({0xF8}));
    EXPECT_TRUE(Short({0xFE}));
    EXPECT_TRUE(Delivered().empty());
    EXPECT_EQ(HandOver.Queue().Count(), 0);
}

TEST_F(InputHandOverTest, EntriesCarryTimeBytesAndBuffer)
{
    TSysexBuffer buffer(16);
    Short({0xC0, 0x05}, 17);
    HandOver.TakeSysex(buffer, At(18));
    EXPECT_EQ(Delivered(), (std::vector<TInputNotification>{EventsWaiting, EventsWaiting}));
    const TQueuedEvent shortEntry = Take(HandOver.Queue());
    EXPECT_EQ(shortEntry.Time, At(17));
    EXPECT_EQ(std::vector<uint8_t>(shortEntry.Bytes, shortEntry.Bytes + 3), (std::vector<uint8_t>{0xC0, 0x05, 0x00}));
    EXPECT_EQ(shortEntry.Sysex, nullptr);
    const TQueuedEvent block = Take(HandOver.Queue());
    EXPECT_EQ(block.Time, At(18));
    EXPECT_EQ(block.Sysex, &buffer);
}

TEST_F(InputHandOverTest, SysexOnlyDropsShortMessagesButNotBlocks)
{
    TSysexBuffer buffer(16);
    HandOver.SetSysexOnly(true);
    EXPECT_TRUE(Short({0x90, 0x3C, 0x7F}));
    HandOver.TakeSysex(buffer, At(0));
    EXPECT_EQ(Delivered(), std::vector<TInputNotification>{EventsWaiting});
    EXPECT_EQ(Take(HandOver.Queue()).Sysex, &buffer);
}

// A loss is an overflow, never an entry.
TEST_F(InputHandOverTest, LossIsAnOverflow)
{
    HandOver.Lost(At(0));
    EXPECT_EQ(Delivered(), std::vector<TInputNotification>{Overflow});
    EXPECT_EQ(HandOver.Queue().Count(), 0);
}
