// The window layer's events and the main thread's event queue.
//
// Every window object raises events into one first-in-first-out queue of at most 256
// waiting events; an event raised while 256 are waiting is lost. A TimerTick, GadgetAction,
// WindowMove or WindowSize raised while one of the same kind from the same source is still
// waiting does not join the queue: it overwrites that event's data in place, and that event
// keeps its place. Everything here belongs to the main thread.
#pragma once

#include <cstdint>

enum EventId : int32_t {
    GadgetAction = 0x2001,
    GadgetSelect = 0x2003,
    GadgetMenu = 0x2004,
    GadgetLostFocus = 0x2008,
    WindowMove = 0x4001,
    WindowSize = 0x4002,
    WindowClose = 0x4003,
    WindowActivate = 0x4004,
    TimerTick = 0x801,
    MenuAction = 0x8001,
};

// While the queue is empty, hands gathered text-area appends to their widgets, sleeps in the
// window system's own wait until it has something for the main thread (never by polling),
// and handles all of it. Then removes the oldest event, makes it the current event, and
// returns its kind. Main thread only.
int32_t WaitEvent();

// The source of the current event: the gadget, menu item or timer that raised it, compared
// by identity. Null before the first WaitEvent.
const void* EventSource();

// The data of the current event (for a TimerTick the ticks so far, for a MenuAction the
// item's tag), 0 when the kind has none.
int32_t EventData();
