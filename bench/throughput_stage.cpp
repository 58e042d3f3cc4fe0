// End-to-end throughput: senders write their share of kTotalLines lines as fast as they can,
// from the first byte sent until the last line is in the text area. Completion is checked:
// every character that reached the text area is counted as it is inserted (the cap trims old
// lines, so the text itself no longer holds them all), and the lines still in the area must
// be each sender's latest ones, in order, ending with its last.
#include <map>
#include <string>

#include "app/main_window.h"
#include "bench/monotonic.h"
#include "bench/process_usage.h"
#include "bench/program_in_process.h"
#include "bench/results.h"
#include "bench/sender.h"
#include "bench/sending_threads.h"
#include "bench/stages.h"
#include "platform/gui/text_area.h"

namespace {

constexpr int32_t kRunLimitMs = 120'000;

// Whether text (whole lines) holds only lines of senders 0 to clients - 1, each sender's in an
// unbroken run that ends with its line last. A sender that finished well before the others
// may have no line left in the area: the count of inserted characters covers it.
bool TailIsComplete(const Text& text, int clients, uint64_t last) {
    std::map<int, uint64_t> latest;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find(u'\n', start);
        if (end == Text::npos || end - start != kDisplayLineChars - 1) return false;
        const LineFields fields = ParseMessage(
            std::u16string_view(text).substr(start + kDisplayPrefixChars, kMessageChars));
        if (!fields.ok || text.compare(start, kDisplayPrefixChars, u"[From 127.0.0.1]\t") != 0) {
            return false;
        }
        auto seen = latest.find(fields.client);
        if (seen != latest.end() && fields.seq != seen->second + 1) return false;
        latest[fields.client] = fields.seq;
        start = end + 1;
    }
    if (latest.empty()) return false;
    for (const auto& [client, seq] : latest) {
        if (client < 0 || client >= clients || seq != last) return false;
    }
    return true;
}

}  // namespace

int ThroughputStage(int clients) {
    const std::string key = "e2e_" + std::to_string(clients);
    const int32_t port = StartProgram();
    if (port == 0) return 1;
    auto senders = ConnectSenders(port, clients, false);
    if (senders.empty()) return 1;
    const uint64_t share = kTotalLines / static_cast<uint64_t>(clients);
    const int64_t expected =
        static_cast<int64_t>(share * static_cast<uint64_t>(clients) * kDisplayLineChars);

    int64_t appended = 0;
    int64_t lastLineAt = 0;
    WatchTextArea([&](int32_t, int32_t chars) {
        appended += chars;
        if (appended >= expected && lastLineAt == 0) lastLineAt = NowNs();
    });

    SendingThreads sending(senders, share);
    const int64_t processCpuBefore = ThisProcessCpuNs();
    const int64_t mainCpuBefore = CallingThreadCpuNs();
    const int64_t firstByteAt = sending.Release();
    const bool arrived = RunEventLoopUntil([&] { return lastLineAt != 0; }, kRunLimitMs);
    const int64_t mainCpu = CallingThreadCpuNs() - mainCpuBefore;
    const int64_t processCpu = ThisProcessCpuNs() - processCpuBefore;
    const bool complete = arrived && appended == expected &&
                          TailIsComplete(TextAreaText(textArea), clients, share - 1);
    const double lines = static_cast<double>(share * static_cast<uint64_t>(clients));
    const double seconds = NsToMs((arrived ? lastLineAt : NowNs()) - firstByteAt) / 1000;
    Record(key + "_lines_per_s", lines / seconds);
    Record(key + "_seconds", seconds);
    Record(key + "_complete", complete ? 1 : 0);
    if (arrived) {
        // Every line arrived, so every write has returned. What each side cost per line: the
        // main thread, the program's other threads (listener and readers), and our senders.
        const int64_t sendersCpu = sending.Join();
        const auto perLine = [lines](int64_t ns) { return static_cast<double>(ns) / 1e3 / lines; };
        Record(key + "_main_cpu_us_per_line", perLine(mainCpu));
        Record(key + "_readers_cpu_us_per_line", perLine(processCpu - mainCpu - sendersCpu));
        Record(key + "_senders_cpu_us_per_line", perLine(sendersCpu));
    }
    EndBenchmark();
}
