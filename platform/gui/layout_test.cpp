#include "platform/gui/layout.h"

#include <gtest/gtest.h>

#include "platform/gui/gadgets.h"

namespace {

// The main window's three gadgets as start-up places them in a client area of w x h: the
// message view above a 40-pixel row with two buttons of w / 2 each.
struct Layouts {
    EdgeLayout textArea, clearButton, exitButton;
};

Layouts StartUpLayouts(int32_t w, int32_t h) {
    return {
        {EdgeAligned, EdgeAligned, EdgeAligned, EdgeAligned, {0, 0, w, h - 40}, w, h},
        {EdgeAligned, EdgeRelative, EdgeFree, EdgeAligned, {0, h - 40, w / 2, 40}, w, h},
        {EdgeRelative, EdgeAligned, EdgeFree, EdgeAligned, {w / 2, h - 40, w / 2, 40}, w, h},
    };
}

TEST(LayoutTest, MainWindowGadgetsFollowTheClientArea) {
    struct Case {
        const char* what;
        int32_t w0, h0, w, h;
        LayoutRect textArea, clearButton, exitButton;
    };
    // One case a row.
    // clang-format off
    const Case cases[] = {
        {"even width, unchanged", 464, 581, 464, 581,
         {0, 0, 464, 541}, {0, 541, 232, 40}, {232, 541, 232, 40}},
        {"odd width, unchanged: the last column stays uncovered", 465, 581, 465, 581,
         {0, 0, 465, 541}, {0, 541, 232, 40}, {232, 541, 232, 40}},
        {"even width, grown", 464, 581, 1000, 700,
         {0, 0, 1000, 660}, {0, 660, 500, 40}, {500, 660, 500, 40}},
        {"odd width, grown: S = 1001 * 232 / 465 = 499", 465, 581, 1001, 700,
         {0, 0, 1001, 660}, {0, 660, 499, 40}, {499, 660, 501, 40}},
        {"odd width, shrunk", 465, 581, 301, 200,
         {0, 0, 301, 160}, {0, 160, 150, 40}, {150, 160, 150, 40}},
        {"shrunk below the button row", 464, 581, 464, 30,
         {0, 0, 464, 0}, {0, -10, 232, 40}, {232, -10, 232, 40}},
        {"shrunk to nothing: sizes bottom out at 0", 464, 581, 0, 0,
         {0, 0, 1, 0}, {0, -39, 0, 40}, {0, -39, 1, 40}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Layouts l = StartUpLayouts(c.w0, c.h0);
        EXPECT_EQ(PlaceByEdges(l.textArea, c.w, c.h), c.textArea);
        EXPECT_EQ(PlaceByEdges(l.clearButton, c.w, c.h), c.clearButton);
        EXPECT_EQ(PlaceByEdges(l.exitButton, c.w, c.h), c.exitButton);
    }
}

TEST(LayoutTest, ButtonsMeetWithoutGapOrOverlapAtEverySize) {
    for (int32_t w0 : {464, 465}) {
        const Layouts l = StartUpLayouts(w0, 581);
        for (int32_t w = 1; w <= 2000; w += 37) {
            const LayoutRect clear = PlaceByEdges(l.clearButton, w, 600);
            const LayoutRect exit = PlaceByEdges(l.exitButton, w, 600);
            ASSERT_EQ(clear.x + clear.width, exit.x) << w0 << " -> " << w;
            ASSERT_EQ(exit.x + exit.width, w - w0 % 2) << w0 << " -> " << w;
        }
    }
}

TEST(LayoutTest, BackToTheReferenceSizeGivesTheReferenceRectangle) {
    // What restoring from minimized relies on: placing again at an unchanged size moves nothing.
    const Layouts l = StartUpLayouts(465, 581);
    const LayoutRect shrunk = PlaceByEdges(l.exitButton, 120, 90);
    EXPECT_NE(shrunk, l.exitButton.reference);
    EXPECT_EQ(PlaceByEdges(l.exitButton, 465, 581), l.exitButton.reference);
}

TEST(LayoutTest, EdgeModesOneByOne) {
    // A 100 x 20 gadget at (40, 10) in 200 x 100, placed again in 400 x 50.
    struct Case {
        int32_t left, right, top, bottom;
        LayoutRect placed;
    };
    const Case cases[] = {
        {EdgeAligned, EdgeAligned, EdgeAligned, EdgeAligned, {40, 10, 300, 0}},
        {EdgeRelative, EdgeRelative, EdgeRelative, EdgeRelative, {80, 5, 200, 10}},
        {EdgeAligned, EdgeFree, EdgeAligned, EdgeFree, {40, 10, 100, 20}},
        {EdgeFree, EdgeAligned, EdgeFree, EdgeAligned, {240, -40, 100, 20}},
        {EdgeFree, EdgeRelative, EdgeFree, EdgeRelative, {180, -5, 100, 20}},
        // Both free: the centre keeps its relative place, 400 * 90 / 200 - 50 = 130.
        {EdgeFree, EdgeFree, EdgeFree, EdgeFree, {130, 0, 100, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << c.right << c.top << c.bottom);
        const EdgeLayout layout{c.left, c.right, c.top, c.bottom, {40, 10, 100, 20}, 200, 100};
        EXPECT_EQ(PlaceByEdges(layout, 400, 50), c.placed);
    }
}

TEST(LayoutTest, DivisionTruncatesTowardZero) {
    // A relative left edge at -31 of 200, placed in 100: -15.5 becomes -15, not -16.
    const EdgeLayout layout{EdgeRelative,     EdgeFree, EdgeAligned, EdgeFree,
                            {-31, 0, 10, 10}, 200,      100};
    EXPECT_EQ(PlaceByEdges(layout, 100, 100).x, -15);
}

}  // namespace
