// The quit flag: 0 while the program runs, 1 once the exit sequence has begun. Only the main
// thread stores it; every thread may read it.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/thread.h"

// quitMutex guards the decision to store and the store into quitting. quitting itself is one
// atomic word, so readers see either the old or the new value without the mutex.
extern Mutex* quitMutex;
extern std::atomic<int32_t> quitting;

// On the main thread stores value into the flag; on any other thread stores nothing. Returns
// the flag as it stands after the unlock. quitMutex must exist.
int32_t QuitFlag(int32_t value);
