#include "app/startup.h"

#include "app/main_window.h"
#include "app/message_view.h"
#include "app/shutdown.h"
#include "platform/gui/events.h"
#include "receiver/incoming.h"
#include "receiver/quit_flag.h"
#include "receiver/server.h"

namespace {

constexpr StartRectangle kDefaultRectangle{320, 200, 480, 640};
constexpr int32_t kButtonRowHeight = 40;
constexpr int32_t kTimerRate = 100;

// Places the text area over the client area above the button row, and the two buttons side by
// side in that row, each half the client width.
void PlaceGadgets() {
    int32_t width = ClientWidth(window);
    int32_t height = ClientHeight(window);
    textArea = CreateTextArea(0, 0, width, height - kButtonRowHeight, window,
                              TextAreaWordWrap | TextAreaReadOnly);
    SetLayout(textArea, EdgeAligned, EdgeAligned, EdgeAligned, EdgeAligned);

    width = ClientWidth(window);
    height = ClientHeight(window);
    clearButton = CreateButton(u"Clear messages", 0, height - kButtonRowHeight, width / 2,
                               kButtonRowHeight, window);
    SetLayout(clearButton, EdgeAligned, EdgeRelative, EdgeFree, EdgeAligned);

    width = ClientWidth(window);
    height = ClientHeight(window);
    exitButton = CreateButton(u"Exit", width / 2, height - kButtonRowHeight, width / 2,
                              kButtonRowHeight, window);
    SetLayout(exitButton, EdgeRelative, EdgeAligned, EdgeFree, EdgeAligned);
}

}  // namespace

StartRectangle MainWindowRectangle(const std::optional<WindowSettings>& saved) {
    StartRectangle rectangle = kDefaultRectangle;
    if (saved) {
        rectangle = {saved->x, saved->y, saved->width, saved->height};
        if (rectangle.width == 0 || rectangle.height == 0) {
            rectangle.width = kDefaultRectangle.width;
            rectangle.height = kDefaultRectangle.height;
        }
    }
    return rectangle;
}

bool OpenMainWindow() {
    SetAppTitle(u"Harkenwire");
    SetAppIcon(u":/icons");
    quitMutex = CreateMutex();
    CreateIncoming();
    const std::optional<WindowSettings> saved = LoadSettings();

    const StartRectangle rectangle = MainWindowRectangle(saved);
    window = CreateWindow(AppTitle(), rectangle.x, rectangle.y, rectangle.width, rectangle.height);
    if (window == nullptr) return false;
    if (saved && saved->maximized != 0) MaximizeWindow(window);

    clipboardMenu = CreateMenu(u"Clipboard", 0, nullptr);
    CreateMenu(u"Copy selected text", kCopySelectedTextTag, clipboardMenu);
    CreateMenu(u"Server IP...", kServerIpTag, clipboardMenu);

    serverThread = CreateThread(ServerThread, nullptr);
    PlaceGadgets();
    CreateTimer(kTimerRate);
    return true;
}

void StartUp() {
    if (OpenMainWindow()) RunEventLoop();
}

void HandleEvent(int32_t kind) {
    switch (kind) {
        case GadgetAction:
            if (EventSource() == clearButton) {
                ClearMessages();
            } else if (EventSource() == exitButton) {
                Shutdown();
            }
            break;
        case WindowClose:
            Shutdown();
            break;
        case TimerTick:
            ShowIncoming();
            break;
        case GadgetMenu:
            PopupWindowMenu(window, clipboardMenu);
            break;
        case MenuAction:
            if (EventData() == kCopySelectedTextTag) {
                CopySelectedText();
            } else if (EventData() == kServerIpTag) {
                ShowServerIP();
            }
            break;
        default:
            break;
    }
}

void RunEventLoop() {
    for (;;) HandleEvent(WaitEvent());
}
