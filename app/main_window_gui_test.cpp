// The program's window as start-up makes it, and the message view's commands on it. Start-up
// runs once for the whole file, from a settings file that asks for a free port and an odd width.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/main_window.h"
#include "app/message_view.h"
#include "app/startup.h"
#include "platform/gui/events.h"
#include "platform/gui/testing/drive.h"
#include "platform/gui/testing/event_wait.h"
#include "platform/gui/text_area.h"
#include "platform/testing/scratch.h"
#include "receiver/incoming.h"

namespace {

constexpr int32_t kWidth = 481;
constexpr int32_t kHeight = 600;

class MainWindowTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        static ScratchFolder home;
        const std::string folder = home.path() + "/Harkenwire";
        std::filesystem::create_directory(folder);
        ASSERT_TRUE(
            WriteFileBytes(folder + "/Harkenwire.txt", "0\r\n30\r\n40\r\n481\r\n600\r\n0\r\n"));
        SetEnvironment("XDG_CONFIG_HOME", home.path().c_str());
        ASSERT_TRUE(OpenMainWindow());
    }

    void SetUp() override { ClearMessages(); }

    // Queues a record as a connection thread would.
    static void Queue(int32_t ip, const Text& message) { AddIncoming(ip, message); }
};

struct Rectangle {
    int32_t x, y, width, height;
    bool operator==(const Rectangle&) const = default;
};

Rectangle GadgetRectangle(Gadget* gadget) {
    return {GadgetX(gadget), GadgetY(gadget), GadgetWidth(gadget), GadgetHeight(gadget)};
}

void PrintTo(const Rectangle& r, std::ostream* out) {
    *out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

TEST_F(MainWindowTest, OpensAtTheSavedRectangle) {
    EXPECT_EQ(WindowX(window), 30);
    EXPECT_EQ(WindowY(window), 40);
    EXPECT_EQ(WindowWidth(window), kWidth);
    EXPECT_EQ(WindowHeight(window), kHeight);
    EXPECT_EQ(WindowMaximized(window), 0);
}

TEST_F(MainWindowTest, PlacesTheTextAreaAboveTwoButtons) {
    const int32_t w = ClientWidth(window);
    const int32_t h = ClientHeight(window);
    ASSERT_EQ(w % 2, 1) << "the fixture wants an odd client width";
    EXPECT_EQ(GadgetRectangle(textArea), (Rectangle{0, 0, w, h - 40}));
    EXPECT_EQ(GadgetRectangle(clearButton), (Rectangle{0, h - 40, w / 2, 40}));
    // Each button is w / 2 wide: with an odd width the rightmost column stays uncovered.
    EXPECT_EQ(GadgetRectangle(exitButton), (Rectangle{w / 2, h - 40, w / 2, 40}));
}

TEST_F(MainWindowTest, ShowIncomingAppendsQueuedRecordsInOrder) {
    const int32_t first = (10 << 24) | 7;
    const int32_t second = static_cast<int32_t>(0xC0A80114u);
    Queue(first, u"one");
    Queue(second, u"two\tcolumns");
    Queue(first, u"three");

    ShowIncoming();

    EXPECT_EQ(TextAreaText(textArea),
              u"[From 10.0.0.7]\tone\n[From 192.168.1.20]\ttwo\tcolumns\n[From 10.0.0.7]\tthree\n");
    LockMutex(incomingMutex);
    EXPECT_TRUE(incomingList.empty());
    EXPECT_EQ(incomingCost, 0);
    UnlockMutex(incomingMutex);
}

TEST_F(MainWindowTest, ShowIncomingOverAnEmptyQueueChangesNothing) {
    AddText(textArea, u"kept\n");
    ShowIncoming();
    EXPECT_EQ(TextAreaText(textArea), u"kept\n");
}

TEST_F(MainWindowTest, ALongBacklogIsShownOverSeveralTicks) {
    const Text line(1000, u'x');
    const int lines = static_cast<int>(kDrainChars / 1000) + 10;
    for (int i = 0; i < lines; ++i) Queue(1, line);

    ShowIncoming();
    LockMutex(incomingMutex);
    const size_t left = incomingList.size();
    UnlockMutex(incomingMutex);
    EXPECT_GT(left, 0u);
    EXPECT_LT(left, 20u);

    ShowIncoming();
    const Text shown = TextAreaText(textArea);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), u'\n'), lines);
}

TEST_F(MainWindowTest, ClearEmptiesTheViewButNotTheQueue) {
    AddText(textArea, u"old\n");
    Queue(1, u"waiting");

    ClearMessages();
    EXPECT_EQ(TextAreaText(textArea), u"");

    ShowIncoming();
    EXPECT_EQ(TextAreaText(textArea), u"[From 0.0.0.1]\twaiting\n");
}

TEST_F(MainWindowTest, ServerIpIsADottedAddress) {
    const Text address = ServerIP();
    int dots = 0;
    for (char16_t c : address) {
        if (c == u'.') {
            ++dots;
        } else {
            EXPECT_TRUE(c >= u'0' && c <= u'9') << "unexpected character " << int(c);
        }
    }
    EXPECT_EQ(dots, 3);
}

TEST_F(MainWindowTest, AnEmptyTickKeepsTheSelectionAndALineDropsIt) {
    AddText(textArea, u"first line\nsecond line\n");
    SelectText(textArea, 6, 4);

    HandleEvent(TimerTick);
    EXPECT_EQ(SelectedText(textArea), u"line");

    Queue(1, u"new");
    HandleEvent(TimerTick);
    EXPECT_EQ(SelectedText(textArea), u"");
}

TEST_F(MainWindowTest, ClearMessagesButtonEmptiesTheView) {
    AddText(textArea, u"old\n");
    DropEvents();
    ClickButton(clearButton);
    ASSERT_EQ(WaitEventOfKind(GadgetAction, 2000, clearButton), GadgetAction);
    HandleEvent(GadgetAction);
    EXPECT_EQ(TextAreaText(textArea), u"");
}

TEST_F(MainWindowTest, TheMenuCopiesTheSelection) {
    AddText(textArea, u"copy me please\n");
    SelectText(textArea, 5, 2);
    SetClipboardText(u"before");
    DropEvents();

    // A right click keeps the selection and opens the menu on release.
    RightClickTextArea(textArea, 5, 5);
    ASSERT_EQ(WaitEventOfKind(GadgetMenu, 2000), GadgetMenu);
    ChooseInNextPopup(0);
    HandleEvent(GadgetMenu);
    ASSERT_EQ(WaitEventOfKind(MenuAction, 2000), MenuAction);
    HandleEvent(MenuAction);

    EXPECT_EQ(ClipboardText(), u"me");
}

}  // namespace
