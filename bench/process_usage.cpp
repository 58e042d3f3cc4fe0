#include "bench/process_usage.h"

#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ProcFolder(int pid) {
    return pid == 0 ? std::string("/proc/self") : "/proc/" + std::to_string(pid);
}

int64_t ClockNs(clockid_t clock) {
    timespec now{};
    ::clock_gettime(clock, &now);
    return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

int64_t CallingThreadCpuNs() { return ClockNs(CLOCK_THREAD_CPUTIME_ID); }

int64_t ThisProcessCpuNs() { return ClockNs(CLOCK_PROCESS_CPUTIME_ID); }

int64_t ResidentBytes(int pid) {
    std::ifstream status(ProcFolder(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            int64_t kib = 0;
            if (fields >> kib) return kib * 1024;
        }
    }
    return -1;
}

ThreadsUsage ReadThreadsUsage(int pid) {
    ThreadsUsage usage;
    std::error_code error;
    const std::string main = std::to_string(pid);
    for (const auto& task : std::filesystem::directory_iterator(ProcFolder(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        int64_t running = 0;
        int64_t waiting = 0;
        int64_t runs = 0;
        if (!(schedstat >> running >> waiting >> runs)) continue;
        usage.ok = true;
        usage.cpuNs += running;
        usage.runs += runs;
        if (task.path().filename() == main) usage.mainCpuNs = running;
    }
    return usage;
}

int64_t ProcessCpuNs(int pid) {
    std::ifstream stat(ProcFolder(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name, in parentheses, may hold spaces; the fields after it are plain.
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    int64_t user = 0;
    int64_t system = 0;
    // State is field 3 of the file; utime and stime are fields 14 and 15.
    for (int index = 3; index < 14 && fields >> field; ++index) {
    }
    if (!(fields >> user >> system)) return -1;
    const int64_t ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    return (user + system) * (1'000'000'000 / ticksPerSecond);
}
