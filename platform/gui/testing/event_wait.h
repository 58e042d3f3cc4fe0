// For tests only: taking events from the main thread's queue with a deadline, so that a test
// that expects an event cannot hang when none comes. Main thread only.
#pragma once

#include <cstdint>

// Like WaitEvent, but gives up after ms milliseconds and returns 0 then. The taken event is
// the current one (EventSource, EventData).
int32_t WaitEventWithin(int32_t ms);

// Takes events, dropping others, until one of this kind (and, unless source is null, from this
// source) comes, and returns kind; returns 0 once ms milliseconds have passed.
int32_t WaitEventOfKind(int32_t kind, int32_t ms, const void* source = nullptr);

// Lets the window system deliver what it has and drops every event that is waiting.
void DropEvents();
