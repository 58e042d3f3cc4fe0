// The stress driver: the real program (its start-up, window, listener and event loop) in this
// process, with one scenario's peers on threads of their own, and a checker that reads back
// the text area at every tick. At the end it prints the scenario's figures and presses Exit;
// the figures' last line, with the time the exit took, comes as the process ends, and the
// exit status says whether everything held (0) or not (1).
//
// Usage: harkenwire_stress SCENARIO. STRESS_SHORT=1 runs the short sizes, STRESS_DEADLINE_S
// bounds the scenario's time (900 s, short 300 s); the settings
// folder is $XDG_CONFIG_HOME, which run.sh makes for each run with a settings file that names
// port 0, so the system picks a free port.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/startup.h"
#include "platform/clock.h"
#include "platform/gui/events.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/raise_event.h"
#include "platform/testing/socket_client.h"
#include "stress/checker.h"
#include "stress/figures.h"
#include "stress/peers.h"
#include "stress/scenario.h"

namespace {

constexpr uint32_t kFindPortMs = 10'000;
constexpr uint32_t kLastLinesMs = 20'000;  // After the peers are done, for the last lines.
constexpr int32_t kRssEveryTicks = 10;

enum class Phase { FindingPort, Running, Exiting };

// All of this is the main thread's, but for what the at-quick-exit handler reads once the
// main thread has pressed Exit.
const Scenario* scenario = nullptr;
bool full = true;
Phase phase = Phase::FindingPort;
uint32_t startedAt = 0;
uint32_t deadlineMs = 0;
uint32_t lastTickEnd = 0;
uint32_t longestStall = 0;
uint32_t peersDoneAt = 0;
int64_t ticks = 0;
int64_t baselineKiB = 0;
int64_t highestKiB = 0;
std::atomic<bool> peersDone{false};
std::atomic<uint32_t> exitPressedAt{0};
std::atomic<bool> failed{false};

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string MiB(int64_t kib) { return std::to_string((kib + 512) / 1024) + " MiB"; }

// Runs as the process ends, after Exit: the time the exit took, then the verdict as the exit
// status.
void AtEnd() {
    const uint32_t pressed = exitPressedAt.load();
    if (pressed == 0) {
        Print("stress " + std::string(scenario ? scenario->name : "?") +
              ": the program ended before Exit was pressed");
        std::_Exit(1);
    }
    const uint32_t took = MilliSecs() - pressed;
    const bool slow = took > scenario->exitLimitMs;
    if (slow) failed.store(true);
    Print("stress " + std::string(scenario->name) + ": exit took " + std::to_string(took) +
          " ms (limit " + std::to_string(scenario->exitLimitMs) + ")" + (slow ? " TOO SLOW" : ""));
    Print("stress " + std::string(scenario->name) + ": " + (failed.load() ? "FAIL" : "PASS"));
    std::_Exit(failed.load() ? 1 : 0);
}

void PressExit() {
    phase = Phase::Exiting;
    exitPressedAt.store(MilliSecs() == 0 ? 1 : MilliSecs());
    RaiseEvent(GadgetAction, exitButton, 0);
}

void Finish(bool inTime) {
    const CheckTotals totals = Totals();
    const int64_t peakKiB = PeakResidentKiB();
    const std::string name = scenario->name;
    std::string figures =
        "stress " + name + ": lines sent " + std::to_string(totals.sent) + ", shown " +
        std::to_string(totals.shown) + ", lost " + std::to_string(totals.lost) + ", errors " +
        std::to_string(totals.errors) + "; peak RSS " + MiB(peakKiB) + " (at start " +
        MiB(baselineKiB) + "); longest stall " + std::to_string(longestStall) + " ms; took " +
        std::to_string((MilliSecs() - startedAt) / 1000) + " s";
    Print(figures);
    for (const std::string& note : Notes()) Print("stress " + name + ":   " + note);
    bool bad = !inTime || totals.lost != 0 || totals.errors != 0 || tally.failures.load() != 0 ||
               notifications.load() != 0;
    if (!inTime) Print("stress " + name + ": ran out of time");
    if (totals.errors != 0) Print("stress " + name + ": first error: " + totals.firstError);
    if (tally.failures.load() != 0) {
        Print("stress " + name + ": " + std::to_string(tally.failures.load()) +
              " peer failures, the first: " + tally.firstFailure);
    }
    if (notifications.load() != 0) Print("stress " + name + ": the program showed a box");
    if (scenario->rssAllowanceKiB > 0 && peakKiB - baselineKiB > scenario->rssAllowanceKiB) {
        Print("stress " + name + ": resident memory grew by " + MiB(peakKiB - baselineKiB) +
              ", more than the " + MiB(scenario->rssAllowanceKiB) + " allowed");
        bad = true;
    }
    failed.store(bad);
    if (name == "exit") Print("exiting");
    PressExit();
}

void Tick() {
    const uint32_t now = MilliSecs();
    if (phase == Phase::FindingPort) {
        const std::vector<int32_t> ports = ListeningPorts();
        if (!ports.empty()) {
            programPort.store(ports.front());
            phase = Phase::Running;
            baselineKiB = ResidentKiB();
            startedAt = now;
            deadlineMs =
                static_cast<uint32_t>(ScenarioCount("STRESS_DEADLINE_S", full, 900, 300)) * 1000;
            std::thread([] {
                scenario->run(full);
                peersDone.store(true);
            }).detach();
        } else if (now - startedAt > kFindPortMs) {
            Print("stress " + std::string(scenario->name) + ": the program did not listen");
            std::_Exit(1);
        }
        lastTickEnd = MilliSecs();
        return;
    }
    if (phase != Phase::Running) return;

    longestStall = std::max(longestStall, now - lastTickEnd);
    CheckTextArea();
    if (++ticks % kRssEveryTicks == 0) highestKiB = std::max(highestKiB, ResidentKiB());
    if (peersDone.load() && peersDoneAt == 0) peersDoneAt = now;
    if (peersDoneAt != 0 && (AllShown() || now - peersDoneAt > kLastLinesMs)) {
        Finish(true);
    } else if (now - startedAt > deadlineMs) {
        Finish(false);
    }
    lastTickEnd = MilliSecs();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || (scenario = FindScenario(argv[1])) == nullptr) {
        std::fprintf(stderr,
                     "usage: harkenwire_stress connections|sequential|bursts|hostile|"
                     "idle|flood|descriptors|exit\n");
        return 2;
    }
    const char* shortRun = std::getenv("STRESS_SHORT");
    full = shortRun == nullptr || std::strcmp(shortRun, "1") != 0;
    InitPlatform();
    std::at_quick_exit(AtEnd);
    scenario->prepare(full);
    if (!OpenMainWindow()) {
        Print("stress: the main window could not be made");
        return 1;
    }
    startedAt = MilliSecs();
    for (;;) {
        const int32_t kind = WaitEvent();
        if (kind == TimerTick) Tick();
        HandleEvent(kind);
    }
}
