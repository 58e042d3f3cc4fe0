// A stress scenario: what the driver runs against the program in one process. prepare makes
// the senders on the main thread before the program listens; run drives the peers on a thread
// of its own once the port is known, and returns when every peer has done its part. The driver
// then waits for the last lines to be read back, prints the figures, and presses Exit.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

struct Scenario {
    const char* name;
    void (*prepare)(bool full);
    void (*run)(bool full);
    uint32_t exitLimitMs;     // How long Exit may take to end the process.
    int64_t rssAllowanceKiB;  // How far resident memory may grow past its start; 0: no limit.
};

// Returns the scenario of that name, or null.
const Scenario* FindScenario(const std::string& name);

// Returns a count from the environment variable name when it is set, else the full or the
// short default.
int64_t ScenarioCount(const char* name, bool full, int64_t fullCount, int64_t shortCount);

// Boxes the program showed; counted by the driver's Notify.
extern std::atomic<int32_t> notifications;

// The scenarios, each in its own file.
extern const Scenario connectionsScenario;
extern const Scenario sequentialScenario;
extern const Scenario burstsScenario;
extern const Scenario hostileScenario;
extern const Scenario idleScenario;
extern const Scenario floodScenario;
extern const Scenario descriptorsScenario;
extern const Scenario exitScenario;
