// Responsiveness under a flood: while 8 senders write as fast as they can, a thread that
// stands for the user clicks "Clear messages" every 40 ms, posting the press and release as
// input arrives, and waits for each click to be handled before the next. A click's wait runs
// from its posting until HandleEvent has acted on the GadgetAction it raised.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "bench/monotonic.h"
#include "bench/press_button.h"
#include "bench/process_usage.h"
#include "bench/program_in_process.h"
#include "bench/results.h"
#include "bench/sender.h"
#include "bench/stages.h"
#include "bench/statistics.h"
#include "platform/gui/events.h"

namespace {

constexpr int kSenders = 8;
constexpr int kClicks = 250;
constexpr auto kClickInterval = std::chrono::milliseconds(40);
constexpr int32_t kFloodWarmUpMs = 1'000;
constexpr int32_t kClickWaitMs = 2'000;
constexpr int32_t kRunLimitMs = 40'000;

}  // namespace

int ResponsivenessStage() {
    const int32_t port = StartProgram();
    if (port == 0) return 1;
    auto senders = ConnectSenders(port, kSenders, false);
    if (senders.empty()) return 1;
    const ClickTarget* clear = AimAt(clearButton);

    std::atomic<bool> stop{false};
    for (auto& sender : senders) {
        std::thread([&sender, &stop] { sender->Flood(stop); }).detach();
    }
    // Let the flood fill the queue and the text area first.
    RunEventLoopUntil([] { return false; }, kFloodWarmUpMs);

    std::atomic<int64_t> postedAt{0};  // Of the click not yet handled; 0 when none.
    std::atomic<bool> clicking{true};
    std::thread user([clear, &postedAt, &clicking] {
        auto next = std::chrono::steady_clock::now();
        for (int click = 0; click < kClicks; ++click) {
            std::this_thread::sleep_until(next);
            postedAt = NowNs();
            PostClick(clear);
            const int64_t giveUpAt = postedAt + int64_t{kClickWaitMs} * 1'000'000;
            while (postedAt != 0 && NowNs() < giveUpAt) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            next = std::max(next + kClickInterval, std::chrono::steady_clock::now());
        }
        clicking = false;
    });

    int64_t appended = 0;
    WatchTextArea([&appended](int32_t, int32_t chars) { appended += chars; });
    const int64_t clicksFrom = NowNs();
    const int64_t mainCpuBefore = CallingThreadCpuNs();
    std::vector<double> waits;
    RunEventLoopUntil([&clicking] { return !clicking; }, kRunLimitMs,
                      [&](int32_t kind) {
                          if (kind == GadgetAction && EventSource() == clearButton) {
                              const int64_t at = postedAt.exchange(0);
                              if (at != 0) waits.push_back(NsToMs(NowNs() - at));
                          }
                      });
    const double seconds = NsToMs(NowNs() - clicksFrom) / 1000;
    const double mainCpuSeconds = NsToMs(CallingThreadCpuNs() - mainCpuBefore) / 1000;
    stop = true;
    if (!clicking) user.join();
    Record("press_p50_ms", Percentile(waits, 50));
    Record("press_p99_ms", Percentile(waits, 99));
    Record("press_max_ms", Largest(waits));
    Record("press_handled", static_cast<double>(waits.size()));
    // What the waits depend on: how much of a core the main thread got, and the flood's rate.
    Record("press_main_cpu_share", mainCpuSeconds / seconds);
    Record("press_flood_lines_per_s", static_cast<double>(appended) / kDisplayLineChars / seconds);
    EndBenchmark();
}
