#include "platform/gui/event_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/events.h"

namespace {

const int clearButton = 0;  // Stand-ins for event sources; only their addresses matter.
const int exitButton = 0;
const int timer = 0;
const int window = 0;

std::vector<Event> TakeAll(EventQueue& queue) {
    std::vector<Event> taken;
    while (auto event = queue.Take()) taken.push_back(*event);
    return taken;
}

TEST(EventQueueTest, GivesEventsOldestFirstAndNothingWhenEmpty) {
    EventQueue queue;
    EXPECT_FALSE(queue.Take());
    queue.Post({GadgetAction, &clearButton, 0});
    queue.Post({TimerTick, &timer, 1});
    queue.Post({WindowClose, &window, 0});
    const std::vector<Event> taken = TakeAll(queue);
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].id, GadgetAction);
    EXPECT_EQ(taken[1].id, TimerTick);
    EXPECT_EQ(taken[2].id, WindowClose);
    EXPECT_FALSE(queue.Take());
}

TEST(EventQueueTest, TwoClearPressesBeforeTheFirstIsTakenGiveOneEvent) {
    EventQueue queue;
    queue.Post({GadgetAction, &clearButton, 0});
    queue.Post({GadgetAction, &clearButton, 0});
    EXPECT_EQ(queue.Size(), 1u);
    // Once taken, the next press is news again.
    ASSERT_TRUE(queue.Take());
    queue.Post({GadgetAction, &clearButton, 0});
    EXPECT_EQ(queue.Size(), 1u);
}

TEST(EventQueueTest, MergedEventKeepsItsPlaceAndTakesTheNewData) {
    EventQueue queue;
    queue.Post({TimerTick, &timer, 1});
    queue.Post({GadgetAction, &exitButton, 0});
    queue.Post({TimerTick, &timer, 2});
    queue.Post({TimerTick, &timer, 3});
    const std::vector<Event> taken = TakeAll(queue);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].id, TimerTick);
    EXPECT_EQ(taken[0].data, 3);
    EXPECT_EQ(taken[1].id, GadgetAction);
}

TEST(EventQueueTest, MergesOnlyItsFourKindsAndOnlyFromTheSameSource) {
    struct Case {
        int32_t id;
        const void* secondSource;
        size_t waiting;
    };
    const Case cases[] = {
        {TimerTick, &timer, 1},         {GadgetAction, &clearButton, 1},
        {WindowMove, &window, 1},       {WindowSize, &window, 1},
        {GadgetAction, &exitButton, 2},  // another button
        {WindowClose, &window, 2},      {GadgetMenu, &window, 2},
        {MenuAction, &window, 2},       {WindowActivate, &window, 2},
        {GadgetSelect, &window, 2},     {GadgetLostFocus, &window, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind 0x" << std::hex << c.id);
        EventQueue queue;
        const void* firstSource = c.id == GadgetAction ? &clearButton : c.secondSource;
        queue.Post({c.id, firstSource, 1});
        queue.Post({c.id, c.secondSource, 2});
        EXPECT_EQ(queue.Size(), c.waiting);
    }
}

TEST(EventQueueTest, LosesEventsBeyondTheLimitButStillMergesIntoWaitingOnes) {
    EventQueue queue;
    queue.Post({TimerTick, &timer, 1});
    for (size_t i = 1; i < kEventQueueLimit; ++i) {
        queue.Post({GadgetMenu, &window, static_cast<int32_t>(i)});
    }
    ASSERT_EQ(queue.Size(), kEventQueueLimit);
    queue.Post({WindowClose, &window, 0});  // lost
    queue.Post({TimerTick, &timer, 7});     // merged, so not lost
    EXPECT_EQ(queue.Size(), kEventQueueLimit);
    const std::vector<Event> taken = TakeAll(queue);
    EXPECT_EQ(taken.front().data, 7);
    EXPECT_EQ(taken.back().id, GadgetMenu);
    EXPECT_EQ(taken.back().data, static_cast<int32_t>(kEventQueueLimit - 1));
}

}  // namespace
