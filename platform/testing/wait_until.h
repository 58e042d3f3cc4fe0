// Waiting in tests: every wait has a deadline.
#pragma once

#include <cstdint>

#include "platform/clock.h"

// Polls done() every few milliseconds until it is true or timeoutMs have passed. Returns
// done()'s last value, so false means the deadline passed first.
template <typename Predicate>
bool WaitUntil(Predicate done, int32_t timeoutMs) {
    const uint32_t start = MilliSecs();
    while (!done()) {
        if (MilliSecs() - start >= static_cast<uint32_t>(timeoutMs)) return done();
        Delay(2);
    }
    return true;
}
