// Resident memory: idle after start-up, when the text area first reaches its cap, and once a
// second through a flood of 8 senders writing as fast as they can; then once more after the
// flood, when the queue has drained. "Flat" is the growth over the flood's second half: the
// first seconds after the cap are the allocator settling, but a leak of even two bytes a line
// would add megabytes there.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "bench/monotonic.h"
#include "bench/process_usage.h"
#include "bench/program_in_process.h"
#include "bench/results.h"
#include "bench/sender.h"
#include "bench/stages.h"
#include "bench/statistics.h"
#include "platform/gui/text_area.h"

namespace {

constexpr int kSenders = 8;
constexpr int32_t kIdleMs = 2'000;
constexpr int32_t kDrainMs = 3'000;
constexpr double kMiB = 1024.0 * 1024.0;

double ResidentMiB() { return static_cast<double>(ResidentBytes()) / kMiB; }

}  // namespace

int MemoryStage(int32_t floodSeconds) {
    const int32_t port = StartProgram();
    if (port == 0) return 1;
    RunEventLoopUntil([] { return false; }, kIdleMs);
    Record("rss_idle_mb", ResidentMiB());

    auto senders = ConnectSenders(port, kSenders, false);
    if (senders.empty()) return 1;
    int64_t appended = 0;
    WatchTextArea([&appended](int32_t, int32_t chars) { appended += chars; });

    std::atomic<bool> stop{false};
    for (auto& sender : senders) {
        std::thread([&sender, &stop] { sender->Flood(stop); }).detach();
    }
    const int64_t start = NowNs();
    int64_t nextSampleAt = start + 1'000'000'000;
    bool atCap = false;
    std::vector<double> samples;
    RunEventLoopUntil([&] { return static_cast<int32_t>(samples.size()) >= floodSeconds; },
                      (floodSeconds + 10) * 1000,
                      [&](int32_t) {
                          if (!atCap && appended > kTextAreaLimit) {
                              // Past the cap the area has been trimmed once: this is its size at
                              // the cap.
                              atCap = true;
                              Record("rss_cap_mb", ResidentMiB());
                          }
                          if (NowNs() < nextSampleAt) return;
                          nextSampleAt += 1'000'000'000;
                          samples.push_back(ResidentMiB());
                          Record("rss_flood_" + std::to_string(samples.size()) + "s_mb",
                                 samples.back());
                      });
    stop = true;
    if (samples.empty()) return 1;
    Record("rss_flood_peak_mb", Largest(samples));
    Record("rss_flood_final_mb", samples.back());
    if (samples.size() >= 2) {
        Record("rss_flood_growth_mb", samples.back() - samples[samples.size() / 2 - 1]);
    }
    Record("flood_lines_per_s",
           static_cast<double>(appended) / kDisplayLineChars / (NsToMs(NowNs() - start) / 1000));
    RunEventLoopUntil([] { return false; }, kDrainMs);
    Record("rss_after_flood_mb", ResidentMiB());
    EndBenchmark();
}
