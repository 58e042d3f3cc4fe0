// The timer: TimerTick events from it, counting, and at most one waiting.
#include <gtest/gtest.h>

#include <QTest>

#include "platform/gui/events.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/raise_event.h"
#include "platform/gui/testing/event_wait.h"

namespace {

constexpr int kSettleMs = 2000;

TEST(TimerTest, TicksCountUpFromOne) {
    Timer* timer = CreateTimer(100);
    ASSERT_NE(timer, nullptr);
    for (int32_t tick = 1; tick <= 5; ++tick) {
        ASSERT_EQ(WaitEventOfKind(TimerTick, kSettleMs, timer), TimerTick);
        EXPECT_EQ(EventData(), tick);
    }
}

TEST(TimerTest, TicksWhileNobodyTakesThemLeaveOneWaiting) {
    Timer* timer = CreateTimer(100);
    DropEvents();
    // Ten periods in which Qt runs, and the timer with it, but no event is taken.
    QTest::qWait(100);
    // Taking what waits: WaitEvent returns at once while the queue is not empty.
    int ticks = 0;
    for (size_t waiting = WaitingEvents(); waiting > 0; --waiting) {
        if (WaitEvent() == TimerTick && EventSource() == timer) {
            ++ticks;
            EXPECT_GT(EventData(), 2) << "the waiting tick carries the newest count";
        }
    }
    EXPECT_EQ(ticks, 1);
}

TEST(TimerTest, RatesWithoutAWholeMillisecondPeriodMakeNoTimer) {
    for (int32_t rate : {0, -5, 1001}) EXPECT_EQ(CreateTimer(rate), nullptr) << rate;
    EXPECT_NE(CreateTimer(1000), nullptr);
}

}  // namespace
