// The main window under the offscreen platform: its frame, client area, recorded rectangle,
// close request, and the layout of its gadgets on resize.
#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <QWindow>

#include "platform/gui/events.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/testing/event_wait.h"
#include "platform/gui/testing/qt_access.h"

namespace {

constexpr int kSettleMs = 2000;

struct Rect {
    int32_t x, y, width, height;
    bool operator==(const Rect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

Rect Recorded(Gadget* window) {
    return {WindowX(window), WindowY(window), WindowWidth(window), WindowHeight(window)};
}

Rect Frame(Gadget* window) {
    const QRect frame = GadgetWidget(window)->windowHandle()->frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

Rect Placed(Gadget* gadget) {
    return {GadgetX(gadget), GadgetY(gadget), GadgetWidth(gadget), GadgetHeight(gadget)};
}

Rect AvailableScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    return {screen.x(), screen.y(), screen.width(), screen.height()};
}

// Waits, with a deadline, until the window's frame is at the given rectangle and the window
// has seen it happen.
bool FrameBecomes(Gadget* window, const Rect& wanted) {
    return QTest::qWaitFor([&] { return Frame(window) == wanted && Recorded(window) == wanted; },
                           kSettleMs);
}

TEST(WindowTest, OuterFrameIsAtTheRectangleAskedFor) {
    Gadget* window = CreateWindow(u"Harkenwire", 320, 200, 480, 640);
    ASSERT_NE(window, nullptr);
    QWidget* widget = GadgetWidget(window);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->windowTitle(), QStringLiteral("Harkenwire"));
    EXPECT_TRUE(FrameBecomes(window, {320, 200, 480, 640})) << Frame(window);
    EXPECT_EQ(Recorded(window), (Rect{320, 200, 480, 640}));
    EXPECT_EQ(WindowMaximized(window), 0);

    // The client area is what is left inside the frame and below the menu bar.
    const QMargins frame = widget->windowHandle()->frameMargins();
    const int menuBar = WindowClient(window)->y();
    EXPECT_GT(menuBar, 10);
    EXPECT_EQ(ClientWidth(window), 480 - frame.left() - frame.right());
    EXPECT_EQ(ClientHeight(window), 640 - frame.top() - frame.bottom() - menuBar);
}

TEST(WindowTest, RecordsTheRectangleAskedForWhereverTheSystemPutTheWindow) {
    // Qt's offscreen platform shifts frames that would start left of or above the screen.
    const Rect cases[] = {{-1200, -30, 800, 600}, {0, 0, 480, 640}, {1500, 900, 300, 200}};
    for (const Rect& asked : cases) {
        SCOPED_TRACE(testing::Message() << asked);
        Gadget* window = CreateWindow(u"Harkenwire", asked.x, asked.y, asked.width, asked.height);
        EXPECT_EQ(Recorded(window), asked);
    }
}

TEST(WindowTest, RecordedRectangleFollowsMovesResizesAndMaximizingButNotMinimizing) {
    Gadget* window = CreateWindow(u"Harkenwire", 100, 50, 400, 300);
    QWidget* widget = GadgetWidget(window);
    ASSERT_TRUE(FrameBecomes(window, {100, 50, 400, 300}));

    widget->move(130, 70);  // Qt moves a window by its frame.
    ASSERT_TRUE(FrameBecomes(window, {130, 70, 400, 300}));
    EXPECT_EQ(Recorded(window), (Rect{130, 70, 400, 300}));

    const QMargins m = widget->windowHandle()->frameMargins();
    widget->resize(500 - m.left() - m.right(), 350 - m.top() - m.bottom());
    ASSERT_TRUE(FrameBecomes(window, {130, 70, 500, 350}));
    EXPECT_EQ(Recorded(window), (Rect{130, 70, 500, 350}));

    // Maximized: the maximized frame is recorded, and on return the client size is the
    // maximized one.
    MaximizeWindow(window);
    EXPECT_EQ(WindowMaximized(window), 1);
    EXPECT_EQ(Recorded(window), AvailableScreen());
    EXPECT_EQ(ClientWidth(window), AvailableScreen().width - m.left() - m.right());

    // Minimized: nothing new is recorded, and the window no longer counts as maximized.
    widget->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget->isMinimized(); }, kSettleMs));
    EXPECT_EQ(WindowMaximized(window), 0);
    EXPECT_EQ(Recorded(window), AvailableScreen());

    widget->showNormal();
    ASSERT_TRUE(FrameBecomes(window, {130, 70, 500, 350}));
    EXPECT_EQ(WindowMaximized(window), 0);
    EXPECT_EQ(Recorded(window), (Rect{130, 70, 500, 350}));
}

TEST(WindowTest, CloseRequestRaisesWindowCloseAndLeavesTheWindowOpen) {
    Gadget* window = CreateWindow(u"Harkenwire", 10, 10, 300, 200);
    DropEvents();
    EXPECT_FALSE(GadgetWidget(window)->close());
    ASSERT_EQ(WaitEventOfKind(WindowClose, kSettleMs), WindowClose);
    EXPECT_EQ(EventSource(), window);
    EXPECT_EQ(EventData(), 0);
    EXPECT_TRUE(GadgetWidget(window)->isVisible());
}

// The window with the program's own three gadgets, placed as start-up places them.
struct MainWindow {
    Gadget* window;
    Gadget* textArea;
    Gadget* clearButton;
    Gadget* exitButton;
};

MainWindow MakeMainWindow(int32_t width) {
    MainWindow m;
    m.window = CreateWindow(u"Harkenwire", 40, 30, width, 640);
    const int32_t w = ClientWidth(m.window);
    const int32_t h = ClientHeight(m.window);
    m.textArea = CreateTextArea(0, 0, w, h - 40, m.window, TextAreaWordWrap | TextAreaReadOnly);
    SetLayout(m.textArea, EdgeAligned, EdgeAligned, EdgeAligned, EdgeAligned);
    m.clearButton = CreateButton(u"Clear messages", 0, h - 40, w / 2, 40, m.window);
    SetLayout(m.clearButton, EdgeAligned, EdgeRelative, EdgeFree, EdgeAligned);
    m.exitButton = CreateButton(u"Exit", w / 2, h - 40, w / 2, 40, m.window);
    SetLayout(m.exitButton, EdgeRelative, EdgeAligned, EdgeFree, EdgeAligned);
    return m;
}

TEST(WindowTest, GadgetsFollowResizesAndStayPutThroughMinimizing) {
    for (int32_t width : {480, 481}) {
        MainWindow m = MakeMainWindow(width);
        QWidget* widget = GadgetWidget(m.window);
        const int32_t w0 = ClientWidth(m.window);
        const int32_t h0 = ClientHeight(m.window);
        SCOPED_TRACE(testing::Message() << "start-up client width " << w0);
        EXPECT_EQ(Placed(m.textArea), (Rect{0, 0, w0, h0 - 40}));
        EXPECT_EQ(Placed(m.clearButton), (Rect{0, h0 - 40, w0 / 2, 40}));
        EXPECT_EQ(Placed(m.exitButton), (Rect{w0 / 2, h0 - 40, w0 / 2, 40}));

        widget->resize(widget->width() + 301, widget->height() + 57);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ClientWidth(m.window) == w0 + 301; }, kSettleMs));
        const int32_t w = ClientWidth(m.window);
        const int32_t h = ClientHeight(m.window);
        const int32_t split = w * (w0 / 2) / w0;
        EXPECT_EQ(h, h0 + 57);
        EXPECT_EQ(Placed(m.textArea), (Rect{0, 0, w, h - 40}));
        EXPECT_EQ(Placed(m.clearButton), (Rect{0, h - 40, split, 40}));
        EXPECT_EQ(Placed(m.exitButton), (Rect{split, h - 40, w - w0 % 2 - split, 40}));

        widget->showMinimized();
        ASSERT_TRUE(QTest::qWaitFor([&] { return widget->isMinimized(); }, kSettleMs));
        widget->showNormal();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !widget->isMinimized(); }, kSettleMs));
        EXPECT_EQ(ClientWidth(m.window), w);
        EXPECT_EQ(Placed(m.textArea), (Rect{0, 0, w, h - 40}));
        EXPECT_EQ(Placed(m.exitButton), (Rect{split, h - 40, w - w0 % 2 - split, 40}));
    }
}

TEST(WindowTest, GadgetsShrinkToNothingWithTheWindow) {
    MainWindow m = MakeMainWindow(480);
    QWidget* widget = GadgetWidget(m.window);
    widget->resize(0, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ClientHeight(m.window) < 40; }, kSettleMs));
    EXPECT_EQ(GadgetHeight(m.textArea), 0);
    EXPECT_EQ(GadgetHeight(m.clearButton), 40);
    EXPECT_LE(GadgetWidth(m.clearButton) + GadgetWidth(m.exitButton), ClientWidth(m.window) + 1);
}

TEST(WindowTest, ButtonPressesRaiseGadgetActionAndTwoWaitingPressesAreOne) {
    MainWindow m = MakeMainWindow(480);
    QWidget* clear = GadgetWidget(m.clearButton);
    EXPECT_EQ(clear->accessibleName(), QStringLiteral("Clear messages"));
    EXPECT_EQ(GadgetWidget(m.exitButton)->accessibleName(), QStringLiteral("Exit"));
    DropEvents();

    QTest::mouseClick(clear, Qt::LeftButton);
    QTest::mouseClick(clear, Qt::LeftButton);
    ASSERT_EQ(WaitEventOfKind(GadgetAction, kSettleMs), GadgetAction);
    EXPECT_EQ(EventSource(), m.clearButton);
    EXPECT_EQ(WaitEventOfKind(GadgetAction, 50), 0) << "the second press merged into the first";

    // From the keyboard, and a right-click, which is no press.
    QTest::mouseClick(clear, Qt::RightButton);
    clear->setFocus();
    QTest::keyClick(clear, Qt::Key_Space);
    ASSERT_EQ(WaitEventOfKind(GadgetAction, kSettleMs), GadgetAction);
    EXPECT_EQ(EventSource(), m.clearButton);
    EXPECT_EQ(WaitEventOfKind(GadgetAction, 50), 0);
}

}  // namespace
