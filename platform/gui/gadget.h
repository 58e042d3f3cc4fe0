// Inside the window layer: what a Gadget and a Timer are, and the registry that owns them
// until the process ends. Main thread only.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gui/gadgets.h"
#include "platform/gui/layout.h"

enum class GadgetKind { Window, TextArea, Button, Menu };

struct Gadget {
    GadgetKind kind = GadgetKind::Menu;
    // A window's top-level widget (owned by the registry), or a child widget that its Qt
    // parent owns. Null for menu entries, which become Qt objects only while they are shown.
    QWidget* widget = nullptr;
    Gadget* parent = nullptr;
    std::vector<Gadget*> children;     // The gadgets inside a window; the entries under a menu.
    std::optional<EdgeLayout> layout;  // Set by SetLayout; the gadget is placed by it on resize.
    QString text;                      // A menu entry's text and tag.
    int32_t tag = 0;
};

struct Timer {
    QTimer timer;
    int32_t ticks = 0;
};

// Takes ownership of a gadget (and, for a window, of its top-level widget) until the process
// ends, adds it to its parent's children, and returns it.
Gadget* KeepGadget(std::unique_ptr<Gadget> gadget, std::unique_ptr<QWidget> topLevel = nullptr);

// Takes ownership of a timer until the process ends and returns it.
Timer* KeepTimer(std::unique_ptr<Timer> timer);

// The first window that CreateWindow made: the owner of boxes shown on the main thread. Null
// before then.
Gadget* MainWindowGadget();

// The widget whose area holds a gadget's children: a window's client area, else the gadget's
// own widget. Null for a menu entry or null gadget.
QWidget* ClientArea(Gadget* gadget);

// Places every child of the window that has edge modes from its reference, for the window's
// current client size.
void PlaceChildren(Gadget* window);

// Hands every text area's gathered appends to its widget. Called before Qt processes events,
// so that whatever the user sees or does finds the text complete.
void FlushAllTextAreas();
