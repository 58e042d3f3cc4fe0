// The exit sequence, the only orderly way out. Main thread only.
#pragma once

#include <cstdint>

// How long the exit waits for the listener thread to stop.
constexpr uint32_t kExitWaitMs = 3000;

// Writes the exit notice, tells the receiver threads to stop, keeps the window alive while the
// listener stops (at most kExitWaitMs), saves the settings and ends the process with status 0.
[[noreturn]] void Shutdown();
