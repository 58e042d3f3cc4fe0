#include <gtest/gtest.h>

#include "app/startup.h"

namespace {

struct RectangleCase {
    const char* name;
    std::optional<WindowSettings> saved;
    StartRectangle expected;
};

TEST(MainWindowRectangle, FollowsSavedSettings) {
    const RectangleCase cases[] = {
        {"no settings", std::nullopt, {320, 200, 480, 640}},
        {"saved", WindowSettings{100, 50, 700, 500, 0}, {100, 50, 700, 500}},
        {"width 0", WindowSettings{100, 50, 0, 500, 0}, {100, 50, 480, 640}},
        {"height 0", WindowSettings{100, 50, 700, 0, 0}, {100, 50, 480, 640}},
        {"port line alone", WindowSettings{}, {0, 0, 480, 640}},
        {"negative position", WindowSettings{-1200, -30, 640, 480, 1}, {-1200, -30, 640, 480}},
        // Nothing else is checked: odd sizes go to the window system as read.
        {"negative size", WindowSettings{5, 6, -10, 20, 0}, {5, 6, -10, 20}},
    };
    for (const RectangleCase& c : cases) {
        const StartRectangle r = MainWindowRectangle(c.saved);
        EXPECT_EQ(r.x, c.expected.x) << c.name;
        EXPECT_EQ(r.y, c.expected.y) << c.name;
        EXPECT_EQ(r.width, c.expected.width) << c.name;
        EXPECT_EQ(r.height, c.expected.height) << c.name;
    }
}

}  // namespace
