// One thread per sender, each writing its share of lines as fast as it can once released, and
// timing the CPU it used, so that a benchmark can tell its own clients' cost from the
// program's. Main thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <latch>
#include <memory>
#include <thread>
#include <vector>

#include "bench/sender.h"

class SendingThreads {
  public:
    // Starts the threads; each waits for Release() and then sends share lines.
    SendingThreads(std::vector<std::unique_ptr<Sender>>& senders, uint64_t share);
    // Threads still running when it goes are left to end with the process.
    ~SendingThreads();
    SendingThreads(const SendingThreads&) = delete;
    SendingThreads& operator=(const SendingThreads&) = delete;

    // Lets every thread go. Returns the time (NowNs) just before: the first byte's.
    int64_t Release();

    // Waits for every thread, which must all have sent everything or failed, and returns the
    // CPU time they used together, in nanoseconds.
    int64_t Join();

  private:
    std::latch go_{1};
    std::atomic<int64_t> cpuNs_{0};
    std::vector<std::thread> threads_;
};
