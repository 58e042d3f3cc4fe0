// The display limit: how fast the main thread alone can put lines into the text area, with no
// network. The queue is filled directly with drains' worth of the same 39-character messages
// (not timed); each drain is then timed through ShowIncoming (display lines and AddText), the
// flush of the gathered appends into the widget, and one pass of the window system, which
// paints. 2,000,000 lines from an empty area, so most of them meet the cap as in the
// end-to-end runs.
#include <QCoreApplication>
#include <string>

#include "app/main_window.h"
#include "app/message_view.h"
#include "bench/monotonic.h"
#include "bench/process_usage.h"
#include "bench/program_in_process.h"
#include "bench/results.h"
#include "bench/sender.h"
#include "bench/stages.h"
#include "platform/gui/testing/qt_access.h"
#include "receiver/incoming.h"

namespace {

constexpr int32_t kLoopbackIp = 0x7F000001;

// Queues count messages of sender 0 from line first on, as connection threads would.
void Queue(uint64_t first, uint64_t count) {
    char line[kLineBytes];
    LockMutex(incomingMutex);
    for (uint64_t seq = first; seq < first + count; ++seq) {
        FormatLine(line, 0, seq, 0);
        incomingList.push_back({kLoopbackIp, Latin1Text(std::string_view(line, kMessageChars))});
        incomingCost += IncomingCost(kMessageChars);
    }
    UnlockMutex(incomingMutex);
}

}  // namespace

int DisplayLimitStage() {
    if (StartProgram() == 0) return 1;
    const uint64_t perDrain = static_cast<uint64_t>(kDrainChars) / kMessageChars;
    int64_t drainNs = 0;
    int64_t flushNs = 0;
    int64_t passNs = 0;
    uint64_t drains = 0;
    int64_t cpuNs = 0;
    for (uint64_t shown = 0; shown < kTotalLines; shown += perDrain, ++drains) {
        Queue(shown, std::min(perDrain, kTotalLines - shown));
        const int64_t cpuBefore = CallingThreadCpuNs();
        const int64_t start = NowNs();
        ShowIncoming();
        const int64_t drained = NowNs();
        TextAreaEditor(textArea);  // Flushes what the drain gathered.
        const int64_t flushed = NowNs();
        QCoreApplication::processEvents();
        const int64_t passed = NowNs();
        cpuNs += CallingThreadCpuNs() - cpuBefore;
        drainNs += drained - start;
        flushNs += flushed - drained;
        passNs += passed - flushed;
    }
    const double seconds = static_cast<double>(drainNs + flushNs + passNs) / 1e9;
    Record("display_limit_lines_per_s", static_cast<double>(kTotalLines) / seconds);
    Record("display_cpu_us_per_line", static_cast<double>(cpuNs) / 1e3 / kTotalLines);
    Record("display_lines_per_drain", static_cast<double>(perDrain));
    Record("display_drain_ms", NsToMs(drainNs) / static_cast<double>(drains));
    Record("display_flush_ms", NsToMs(flushNs) / static_cast<double>(drains));
    Record("display_pass_ms", NsToMs(passNs) / static_cast<double>(drains));
    EndBenchmark();
}
