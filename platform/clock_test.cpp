#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

struct DelayCase {
    int32_t ms;
    uint32_t atLeast;  // The clock advances by at least this much across the delay.
};

TEST(Clock, DelaySleepsAtLeastItsTimeAndNegativeOrZeroReturnsAtOnce) {
    const DelayCase cases[] = {{-5, 0}, {0, 0}, {1, 1}, {25, 25}};
    for (const DelayCase& c : cases) {
        const uint32_t before = MilliSecs();
        Delay(c.ms);
        const uint32_t elapsed = MilliSecs() - before;
        EXPECT_GE(elapsed, c.atLeast) << "Delay(" << c.ms << ")";
        EXPECT_LT(elapsed, 10'000u) << "Delay(" << c.ms << ")";
    }
}

TEST(Clock, NeverGoesBack) {
    uint32_t previous = MilliSecs();
    for (int i = 0; i < 1000; ++i) {
        const uint32_t now = MilliSecs();
        EXPECT_LT(now - previous, 10'000u);  // A step back would wrap to a huge difference.
        previous = now;
    }
}

}  // namespace
