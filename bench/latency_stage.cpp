// Latency at a steady 1,000 lines a second: 8 senders each send one stamped line every 8 ms
// (each write leaves at once), staggered by 1 ms, for 10 seconds. A line's latency runs from
// the moment just before its write to the moment its text is inserted into the text area's
// document, that is when the flush of the gathered appends puts it there.
#include <chrono>
#include <latch>
#include <thread>
#include <vector>

#include "bench/monotonic.h"
#include "bench/program_in_process.h"
#include "bench/results.h"
#include "bench/sender.h"
#include "bench/stages.h"
#include "bench/statistics.h"

namespace {

constexpr int kSenders = 8;
constexpr int kLinesPerSender = 1'250;
constexpr auto kInterval = std::chrono::milliseconds(8);
constexpr int32_t kRunLimitMs = 30'000;

}  // namespace

int LatencyStage() {
    const int32_t port = StartProgram();
    if (port == 0) return 1;
    auto senders = ConnectSenders(port, kSenders, true);
    if (senders.empty()) return 1;

    std::vector<double> latencies;
    WatchTextArea([&latencies](int32_t position, int32_t chars) {
        const int64_t now = NowNs();
        const Text text = TextAreaRange(position, chars);
        for (size_t start = 0; start + kDisplayLineChars <= text.size();
             start += kDisplayLineChars) {
            const LineFields fields = ParseMessage(
                std::u16string_view(text).substr(start + kDisplayPrefixChars, kMessageChars));
            if (fields.ok && fields.stampNs != 0) {
                latencies.push_back(NsToMs(now - fields.stampNs));
            }
        }
    });

    std::latch go(1);
    std::vector<std::thread> threads;
    const auto begin = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
    for (int client = 0; client < kSenders; ++client) {
        threads.emplace_back([&go, &senders, client, begin] {
            go.wait();
            for (int line = 0; line < kLinesPerSender; ++line) {
                std::this_thread::sleep_until(begin + std::chrono::milliseconds(client) +
                                              line * kInterval);
                if (!senders[client]->SendStampedLine()) return;
            }
        });
    }
    go.count_down();
    const size_t expected = static_cast<size_t>(kSenders) * kLinesPerSender;
    const bool all = RunEventLoopUntil([&] { return latencies.size() >= expected; }, kRunLimitMs);
    if (all) {
        for (std::thread& thread : threads) thread.join();
    }
    Record("latency_p50_ms", Percentile(latencies, 50));
    Record("latency_p99_ms", Percentile(latencies, 99));
    Record("latency_max_ms", Largest(latencies));
    Record("latency_lines", static_cast<double>(latencies.size()));
    EndBenchmark();
}
