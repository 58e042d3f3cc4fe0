// What a process costs, read from /proc: its resident memory and the CPU time of its threads.
// Any thread.
#pragma once

#include <cstdint>

// CPU time used so far by the calling thread, and by this whole process, in nanoseconds.
int64_t CallingThreadCpuNs();
int64_t ThisProcessCpuNs();

// The resident set size (VmRSS) of process pid, 0 meaning this one, in bytes; -1 when it
// cannot be read.
int64_t ResidentBytes(int pid = 0);

// What the threads of a process now running have used, from the scheduler's own accounting
// (/proc/PID/task/*/schedstat).
struct ThreadsUsage {
    bool ok = false;        // False when nothing could be read.
    int64_t cpuNs = 0;      // CPU time of all of them.
    int64_t mainCpuNs = 0;  // CPU time of the main thread alone.
    int64_t runs = 0;       // Times any of them was put on a CPU: about one per wake-up.
};
ThreadsUsage ReadThreadsUsage(int pid);

// User and system CPU time of process pid, its ended threads included, in nanoseconds, at
// the kernel's tick resolution (10 ms); -1 when it cannot be read.
int64_t ProcessCpuNs(int pid);
