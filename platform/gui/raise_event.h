// Raising events into the main thread's queue, for the window layer's own widgets and timers.
#pragma once

#include <cstdint>

#include <cstddef>

// Adds an event to the queue by its rules (see events.h). Main thread only.
void RaiseEvent(int32_t id, const void* source, int32_t data);

// The number of events waiting. Main thread only.
size_t WaitingEvents();
