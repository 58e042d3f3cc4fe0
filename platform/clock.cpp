#include "platform/clock.h"

#include <time.h>

#include <cerrno>

uint32_t MilliSecs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Unsigned arithmetic wraps at 2^32 as the contract says.
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1'000'000u);
}

void Delay(int32_t ms) {
    if (ms <= 0) return;
    timespec remaining{ms / 1000, static_cast<long>(ms % 1000) * 1'000'000L};
    // A signal cuts the sleep short; sleep the rest.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
