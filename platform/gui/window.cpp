// The main window: creation, maximizing, its client size and its recorded outer rectangle.
#include "platform/gui/gadget.h"
#include "platform/gui/qt_text.h"
#include "platform/gui/window_widget.h"

namespace {

WindowWidget* AsWindow(Gadget* gadget) {
    if (!gadget || gadget->kind != GadgetKind::Window) return nullptr;
    return static_cast<WindowWidget*>(gadget->widget);
}

}  // namespace

Gadget* CreateWindow(const Text& title, int32_t x, int32_t y, int32_t width, int32_t height) {
    auto widget = std::make_unique<WindowWidget>(ToQString(title), QRect(x, y, width, height));
    auto gadget = std::make_unique<Gadget>();
    gadget->kind = GadgetKind::Window;
    gadget->widget = widget.get();
    widget->SetGadget(gadget.get());
    WindowWidget* shown = widget.get();
    Gadget* window = KeepGadget(std::move(gadget), std::move(widget));
    shown->ShowAtFrame();
    return window;
}

void MaximizeWindow(Gadget* window) {
    if (WindowWidget* widget = AsWindow(window)) widget->Maximize();
}

QWidget* ClientArea(Gadget* gadget) {
    if (WindowWidget* widget = AsWindow(gadget)) return widget->Client();
    return gadget ? gadget->widget : nullptr;
}

int32_t ClientWidth(Gadget* window) {
    QWidget* area = ClientArea(window);
    return area ? area->width() : 0;
}

int32_t ClientHeight(Gadget* window) {
    QWidget* area = ClientArea(window);
    return area ? area->height() : 0;
}

int32_t WindowX(Gadget* window) {
    WindowWidget* widget = AsWindow(window);
    return widget ? widget->Recorded().x() : 0;
}

int32_t WindowY(Gadget* window) {
    WindowWidget* widget = AsWindow(window);
    return widget ? widget->Recorded().y() : 0;
}

int32_t WindowWidth(Gadget* window) {
    WindowWidget* widget = AsWindow(window);
    return widget ? widget->Recorded().width() : 0;
}

int32_t WindowHeight(Gadget* window) {
    WindowWidget* widget = AsWindow(window);
    return widget ? widget->Recorded().height() : 0;
}

int32_t WindowMaximized(Gadget* window) {
    WindowWidget* widget = AsWindow(window);
    return widget && widget->isMaximized() && !widget->isMinimized() ? 1 : 0;
}
