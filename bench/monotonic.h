// The benchmarks' clock: the system's monotonic clock in nanoseconds. It is the same clock in
// every process of the machine, so a reading taken in a child can be compared with one taken
// in its parent. Any thread.
#pragma once

#include <chrono>
#include <cstdint>

inline int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline double NsToMs(int64_t ns) { return static_cast<double>(ns) / 1e6; }
