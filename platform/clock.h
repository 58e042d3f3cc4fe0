// The millisecond clock and sleep. Any thread.
#pragma once

#include <cstdint>

// Returns milliseconds since the system started, 1 ms resolution; the value wraps at 2^32,
// so callers compare readings by unsigned difference.
uint32_t MilliSecs();

// Sleeps the calling thread for about ms milliseconds.
void Delay(int32_t ms);
