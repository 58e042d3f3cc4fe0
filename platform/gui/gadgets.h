// The window layer: the main window, the gadgets inside it, their edge-mode layout, popup
// menus and the timer. Gadgets are made once and live until the process ends; the layer
// owns them. Main thread only.
#pragma once

#include <cstdint>

#include "platform/text.h"

struct Gadget;  // A window, a text area, a push button or a menu entry. Opaque.
struct Timer;   // A timer that raises TimerTick events. Opaque.

// Prepares the window system. Main thread, once, first thing in main().
void InitPlatform();

// The process-wide application title: the caption of the main window and of every box.
void SetAppTitle(const Text& title);
const Text& AppTitle();

// Creates the main window, shown at once, its outer frame (decorations included) at x, y,
// width, height in screen coordinates. It has a title bar with the system menu and the
// minimize and maximize boxes, a sizing frame, and a menu bar holding one item with empty
// text. Closing it raises WindowClose and leaves it open. Returns null when no window can be
// made.
Gadget* CreateWindow(const Text& title, int32_t x, int32_t y, int32_t width, int32_t height);

// Maximizes the window as the system's maximize command does. On return the client size is
// the maximized one.
void MaximizeWindow(Gadget* window);

// The size of the area inside the frame and below the title and menu bars, never negative.
int32_t ClientWidth(Gadget* window);
int32_t ClientHeight(Gadget* window);

// The window's recorded outer rectangle: set at creation, taken from the frame on every
// resize except into minimized, and its position on every move while neither maximized nor
// minimized. A minimized window keeps the rectangle it had before.
int32_t WindowX(Gadget* window);
int32_t WindowY(Gadget* window);
int32_t WindowWidth(Gadget* window);
int32_t WindowHeight(Gadget* window);

// Returns 1 while the window is maximized (zoomed), else 0; 0 while minimized.
int32_t WindowMaximized(Gadget* window);

// Text-area style flags.
enum TextAreaStyle : int32_t { TextAreaWordWrap = 1, TextAreaReadOnly = 2 };

// Creates a text area at x, y, width, height of parent's client area. With TextAreaReadOnly
// the user can select, scroll and copy but not change the text; releasing the right mouse
// button over it raises GadgetMenu. Returns null on failure.
Gadget* CreateTextArea(int32_t x, int32_t y, int32_t width, int32_t height, Gadget* parent,
                       int32_t style);

// Creates a push button; pressing it raises GadgetAction with the button as source.
Gadget* CreateButton(const Text& label, int32_t x, int32_t y, int32_t width, int32_t height,
                     Gadget* parent);

// Edge modes for SetLayout.
enum EdgeMode : int32_t { EdgeFree = 0, EdgeAligned = 1, EdgeRelative = 2 };

// Stores a gadget's four edge modes and records its layout reference: its current rectangle
// and its parent's client size. Whenever the window takes a new size (minimizing excepted)
// every gadget is placed again from its modes and its reference.
void SetLayout(Gadget* gadget, int32_t left, int32_t right, int32_t top, int32_t bottom);

// The gadget's rectangle inside its parent's client area.
int32_t GadgetX(Gadget* gadget);
int32_t GadgetY(Gadget* gadget);
int32_t GadgetWidth(Gadget* gadget);
int32_t GadgetHeight(Gadget* gadget);

// Creates a menu entry. An entry without parent is the root of a free-standing menu; the tag
// is the data of the MenuAction that choosing the entry raises.
Gadget* CreateMenu(const Text& text, int32_t tag, Gadget* parent);

// Shows the root's entries as a popup menu owned by window, its top left corner at the mouse
// pointer, and returns when it closes. A choice then raises one MenuAction whose source is
// the entry and whose data is its tag; closing without a choice raises nothing.
void PopupWindowMenu(Gadget* window, Gadget* menu);

// Creates a timer that raises TimerTick events at rate ticks a second, the data being the
// number of ticks so far. Returns null on failure.
Timer* CreateTimer(int32_t rate);
