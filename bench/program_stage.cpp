// The program as a whole, each run in a child process: the idle cost of the real binary, and
// through harkenwire_probe (the same start-up with timing hooks) the time to the first paint
// and from a click on "Exit" to the end of the process, without and with an idle connection;
// beside them what a bare wake-up and loading the libraries cost on this machine.
#include <poll.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/child_process.h"
#include "bench/monotonic.h"
#include "bench/process_usage.h"
#include "bench/results.h"
#include "bench/stages.h"
#include "bench/statistics.h"

namespace {

constexpr int32_t kIdleSettleMs = 2'000;
constexpr int32_t kIdleMeasureMs = 10'000;
constexpr int32_t kStopWaitMs = 2'000;
constexpr int32_t kProbeLimitMs = 15'000;
constexpr int kStartUpRuns = 10;
constexpr int kExitRuns = 5;
constexpr int kIdleExitRuns = 3;
constexpr double kMiB = 1024.0 * 1024.0;

// The "name nanoseconds" lines that a probe wrote.
std::map<std::string, int64_t> ReadProbe(const std::string& path) {
    std::map<std::string, int64_t> times;
    std::ifstream in(path);
    std::string name;
    int64_t at = 0;
    while (in >> name >> at) times[name] = at;
    return times;
}

// Runs the probe once in mode; returns what it wrote, with "start" (just before the system
// started it) and "end" (when its end was seen) added, or nothing when it failed.
std::map<std::string, int64_t> RunProbe(const std::string& probe, const std::string& mode) {
    const std::string out = (std::filesystem::temp_directory_path() /
                             ("harkenwire-probe-" + std::to_string(::getpid()) + ".txt"))
                                .string();
    std::filesystem::remove(out);
    ChildProcess child(probe, {mode, out});
    const int64_t endedAt = child.WaitEnd(kProbeLimitMs);
    std::map<std::string, int64_t> times = ReadProbe(out);
    std::filesystem::remove(out);
    if (endedAt == 0 || child.ExitStatus() != 0) return {};
    times["start"] = child.StartedAt();
    times["end"] = endedAt;
    return times;
}

// What one wake-up costs on this machine when nothing is done: the floor under the idle cost
// of any program that wakes as often as ours. Returns microseconds of CPU per wake.
double BareWakeUs() {
    constexpr int kWakes = 200;
    const int64_t before = CallingThreadCpuNs();
    for (int wake = 0; wake < kWakes; ++wake) ::poll(nullptr, 0, 10);
    return static_cast<double>(CallingThreadCpuNs() - before) / 1e3 / kWakes;
}

// The real binary left alone: CPU time over kIdleMeasureMs once it has settled, how often its
// threads woke, and its resident memory.
void MeasureIdle(const std::string& program) {
    ChildProcess child(program, {});
    if (!child.Running() || child.WaitEnd(kIdleSettleMs) != 0) return;
    const int pid = child.Pid();
    const ThreadsUsage before = ReadThreadsUsage(pid);
    const int64_t processBefore = ProcessCpuNs(pid);
    const int64_t startedAt = NowNs();
    if (!before.ok || child.WaitEnd(kIdleMeasureMs) != 0) return;
    const ThreadsUsage after = ReadThreadsUsage(pid);
    const double elapsed = static_cast<double>(NowNs() - startedAt);
    const double cpu = static_cast<double>(after.cpuNs - before.cpuNs);
    const double runs = static_cast<double>(after.runs - before.runs);
    Record("idle_cpu_percent", 100.0 * cpu / elapsed);
    Record("idle_cpu_ticks_percent",
           100.0 * static_cast<double>(ProcessCpuNs(pid) - processBefore) / elapsed);
    Record("idle_main_cpu_percent",
           100.0 * static_cast<double>(after.mainCpuNs - before.mainCpuNs) / elapsed);
    Record("idle_wakes_per_s", runs / (elapsed / 1e9));
    Record("idle_us_per_wake", runs > 0 ? cpu / 1e3 / runs : 0);
    Record("rss_idle_program_mb", static_cast<double>(ResidentBytes(pid)) / kMiB);
    child.Stop(kStopWaitMs);
    Record("bare_wake_us", BareWakeUs());
}

void MeasureStartUp(const std::string& probe) {
    std::vector<double> total, load, platform, window, paint;
    for (int run = 0; run < kStartUpRuns; ++run) {
        std::map<std::string, int64_t> t = RunProbe(probe, "paint");
        if (t.empty()) continue;
        total.push_back(NsToMs(t["paint"] - t["start"]));
        load.push_back(NsToMs(t["main"] - t["start"]));
        platform.push_back(NsToMs(t["platform"] - t["main"]));
        window.push_back(NsToMs(t["window"] - t["platform"]));
        paint.push_back(NsToMs(t["paint"] - t["window"]));
    }
    if (total.empty()) return;
    Record("startup_ms", Percentile(total, 50));
    Record("startup_min_ms", Percentile(total, 0));
    Record("startup_max_ms", Largest(total));
    // Where the time goes, medians: loading the executable and its libraries up to main(),
    // the window system, OpenMainWindow, and the wait for the first paint.
    Record("startup_to_main_ms", Percentile(load, 50));
    Record("startup_platform_ms", Percentile(platform, 50));
    Record("startup_open_window_ms", Percentile(window, 50));
    Record("startup_paint_ms", Percentile(paint, 50));
}

// The same libraries loaded by a program that does nothing: the part of the start-up that
// the program's own code cannot shorten.
void MeasureLibraries(const std::string& empty) {
    std::vector<double> runs;
    for (int run = 0; run < kStartUpRuns; ++run) {
        ChildProcess child(empty, {});
        const int64_t endedAt = child.WaitEnd(kProbeLimitMs);
        if (endedAt != 0 && child.ExitStatus() == 0) {
            runs.push_back(NsToMs(endedAt - child.StartedAt()));
        }
    }
    if (!runs.empty()) Record("startup_empty_program_ms", Percentile(runs, 50));
}

void MeasureExit(const std::string& probe, const std::string& mode, int runs,
                 const std::string& key) {
    std::vector<double> exits;
    for (int run = 0; run < runs; ++run) {
        std::map<std::string, int64_t> t = RunProbe(probe, mode);
        if (!t.empty() && t.count("click") != 0) exits.push_back(NsToMs(t["end"] - t["click"]));
    }
    if (exits.empty()) return;
    Record(key + "_ms", Percentile(exits, 50));
    Record(key + "_max_ms", Largest(exits));
}

}  // namespace

int ProgramStage(const char* bin) {
    const std::string folder = bin;
    const std::string probe = folder + "/bench/harkenwire_probe";
    MeasureIdle(folder + "/app/harkenwire");
    MeasureStartUp(probe);
    MeasureLibraries(folder + "/bench/harkenwire_empty");
    MeasureExit(probe, "exit", kExitRuns, "exit");
    MeasureExit(probe, "exit-idle", kIdleExitRuns, "exit_idle");
    return 0;
}
