// For tests only: taking events from the main thread's queue with a deadline, so that a test
// that expects an event cannot hang when none comes. Main thread only.
#pragma once

#include <cstdint>

// Like WaitEvent, but gives up after ms milliseconds and returns 0 then. The taken event is
// the current one (EventSource, EventData).
int32_t WaitEventWithin(int32_t ms);

// Takes events, dropping those of other kinds, until one of this kind comes (returns kind) or
// ms milliseconds have passed (returns 0).
int32_t WaitEventOfKind(int32_t kind, int32_t ms);

// Lets the window system deliver what it has and drops every event that is waiting.
void DropEvents();
