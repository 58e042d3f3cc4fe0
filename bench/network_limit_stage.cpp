// The network limit: how fast the readers take lines in with no display. The real listener
// and connection threads feed the queue from 8 senders, and a thread (this one) takes
// everything queued every millisecond and throws it away, so producers never wait for room.
// From the first byte sent until kTotalLines lines have been taken.
#include "app/main_window.h"
#include "bench/monotonic.h"
#include "bench/process_usage.h"
#include "bench/program_in_process.h"
#include "bench/results.h"
#include "bench/sending_threads.h"
#include "bench/stages.h"
#include "platform/clock.h"
#include "receiver/incoming.h"
#include "receiver/quit_flag.h"
#include "receiver/server.h"

namespace {

constexpr int kSenders = 8;
constexpr int64_t kRunLimitNs = 120'000'000'000;

}  // namespace

int NetworkLimitStage() {
    quitMutex = CreateMutex();
    CreateIncoming();
    serverPort = 0;
    serverThread = CreateThread(ServerThread, nullptr);
    const int32_t port = ListenerPort();
    if (port == 0) return 1;
    auto senders = ConnectSenders(port, kSenders, false);
    if (senders.empty()) return 1;
    const uint64_t share = kTotalLines / kSenders;

    SendingThreads sending(senders, share);
    const int64_t processCpuBefore = ThisProcessCpuNs();
    const int64_t drainCpuBefore = CallingThreadCpuNs();
    const int64_t firstByteAt = sending.Release();
    uint64_t taken = 0;
    while (taken < share * kSenders && NowNs() - firstByteAt < kRunLimitNs) {
        LockMutex(incomingMutex);
        taken += incomingList.size();
        incomingList.clear();
        incomingCost = 0;
        IncomingDrained();
        UnlockMutex(incomingMutex);
        if (taken < share * kSenders) Delay(1);
    }
    const int64_t lastLineAt = NowNs();
    const int64_t drainCpu = CallingThreadCpuNs() - drainCpuBefore;
    const int64_t processCpu = ThisProcessCpuNs() - processCpuBefore;
    const bool complete = taken == share * kSenders;
    Record("network_limit_lines_per_s",
           static_cast<double>(taken) / (NsToMs(lastLineAt - firstByteAt) / 1000));
    Record("network_limit_complete", complete ? 1 : 0);
    if (complete) {
        // Every line arrived, so every write has returned.
        const int64_t sendersCpu = sending.Join();
        const double lines = static_cast<double>(taken);
        Record("network_readers_cpu_us_per_line",
               static_cast<double>(processCpu - drainCpu - sendersCpu) / 1e3 / lines);
        Record("network_senders_cpu_us_per_line", static_cast<double>(sendersCpu) / 1e3 / lines);
    }
    EndBenchmark();
}
