#include "stress/figures.h"

#include <fstream>
#include <mutex>
#include <sstream>

namespace {

// Returns the value in kB of the line of /proc/self/status that starts with key.
int64_t StatusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::istringstream fields(line.substr(key.size()));
        int64_t kib = 0;
        fields >> kib;
        return kib;
    }
    return 0;
}

std::mutex notesMutex;  // Guards notes.
std::vector<std::string> notes;

}  // namespace

int64_t ResidentKiB() { return StatusKiB("VmRSS:"); }

int64_t PeakResidentKiB() { return StatusKiB("VmHWM:"); }

void AddNote(const std::string& note) {
    const std::lock_guard lock(notesMutex);
    notes.push_back(note);
}

std::vector<std::string> Notes() {
    const std::lock_guard lock(notesMutex);
    return notes;
}
