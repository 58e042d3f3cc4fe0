// The window layer: the main window, the gadgets inside it, their edge-mode layout, popup
// menus and the timer. Gadgets and timers are made once and live until the process ends; the
// layer owns them and never destroys them. Every function here is for the main thread only,
// after InitPlatform. A function given a null gadget, or one of the wrong kind, does nothing
// and returns 0 or null.
#pragma once

#include <cstdint>

#include "platform/text.h"

struct Gadget;  // A window, a text area, a push button or a menu entry. Opaque.
struct Timer;   // A timer that raises TimerTick events. Opaque.

// Prepares the process (InitProcess) and the window system. The window system gets the
// program's name and no other argument: the program reads no command line. Main thread, once,
// first thing in main().
void InitPlatform();

// The process-wide application title: the caption of every notification box (the window
// gets its caption from CreateWindow). Set once at start-up, before other threads read it.
void SetAppTitle(const Text& title);
const Text& AppTitle();

// Gives every window made afterwards the icon drawn by the PNG images in folder, one image
// per size (a Qt resource folder such as ":/icons" will do). Without any image there, windows
// keep the window system's default icon. Main thread, before CreateWindow.
void SetAppIcon(const Text& folder);

// Creates the main window, shown at once, its outer frame (decorations included) at x, y,
// width, height in screen coordinates. It has a title bar with the system menu and the
// minimize and maximize boxes, a sizing frame, and a menu bar holding one item with empty
// text. Returns once the window system has put the frame there (at most about a second), so
// that the client size is final. A close request raises WindowClose and leaves the window
// open. The first window made is the main window, which boxes on the main thread belong to.
// Returns null when no window can be made.
Gadget* CreateWindow(const Text& title, int32_t x, int32_t y, int32_t width, int32_t height);

// Maximizes the window as the system's maximize command does. On return the client size is
// the maximized one (the wait for the window system is bounded by a second).
void MaximizeWindow(Gadget* window);

// The size of the area inside the frame and below the title and menu bars, never negative.
int32_t ClientWidth(Gadget* window);
int32_t ClientHeight(Gadget* window);

// The window's recorded outer rectangle: set at creation, taken from the frame on every
// resize except into minimized (becoming maximized records the maximized frame), and its
// position on every move while neither maximized nor minimized. A minimized window keeps the
// rectangle it had before. Saving it and creating a window from it gives the same frame.
int32_t WindowX(Gadget* window);
int32_t WindowY(Gadget* window);
int32_t WindowWidth(Gadget* window);
int32_t WindowHeight(Gadget* window);

// Returns 1 while the window is maximized (zoomed), else 0; 0 while minimized.
int32_t WindowMaximized(Gadget* window);

// Text-area style flags.
enum TextAreaStyle : int32_t { TextAreaWordWrap = 1, TextAreaReadOnly = 2 };

// Creates a text area at x, y, width, height of parent's client area, with a vertical scroll
// bar. TextAreaWordWrap wraps lines at its width (no horizontal scroll bar), at word boundaries
// unless the text holds a run of more than 8,192 characters without white space: laying that out
// word by word takes minutes, so the area then wraps anywhere until it is emptied. With
// TextAreaReadOnly the user can select, scroll and copy but not change the text (see
// text_area.h for the keys). Releasing the right mouse button over it raises GadgetMenu;
// a caret move raises GadgetSelect, losing the focus GadgetLostFocus. Its accessible name is
// "Messages". Returns null when parent is not a window.
Gadget* CreateTextArea(int32_t x, int32_t y, int32_t width, int32_t height, Gadget* parent,
                       int32_t style);

// Creates a push button labelled label, also its accessible name; pressing it by mouse or
// keyboard raises GadgetAction with the button as source. Returns null when parent is not a
// window.
Gadget* CreateButton(const Text& label, int32_t x, int32_t y, int32_t width, int32_t height,
                     Gadget* parent);

// Edge modes for SetLayout.
enum EdgeMode : int32_t { EdgeFree = 0, EdgeAligned = 1, EdgeRelative = 2 };

// Stores a gadget's four edge modes and records its layout reference: its current rectangle
// and its parent's client size (each at least 1). Whenever the window takes a new size
// (minimizing excepted) every gadget with modes is placed again by the rule in layout.h.
void SetLayout(Gadget* gadget, int32_t left, int32_t right, int32_t top, int32_t bottom);

// The gadget's rectangle inside its parent's client area.
int32_t GadgetX(Gadget* gadget);
int32_t GadgetY(Gadget* gadget);
int32_t GadgetWidth(Gadget* gadget);
int32_t GadgetHeight(Gadget* gadget);

// Creates a menu entry. An entry without parent is the root of a free-standing menu; the tag
// is the data of the MenuAction that choosing the entry raises. Returns null when parent is
// not a menu entry.
Gadget* CreateMenu(const Text& text, int32_t tag, Gadget* parent);

// Shows the root's own entries, in the order made, as a popup menu owned by window, its top
// left corner at the mouse pointer, and returns when it closes; the root's text is not shown.
// A choice then raises one MenuAction whose source is the entry and whose data is its tag;
// closing without a choice raises nothing.
void PopupWindowMenu(Gadget* window, Gadget* menu);

// Creates a timer that raises TimerTick events every 1000 / rate milliseconds (truncated),
// the data being the number of ticks so far, from 1. Ticks that come while the main thread
// is busy elsewhere are not made up for. Returns null when the period would be under 1 ms.
Timer* CreateTimer(int32_t rate);
