// A thousand connections that never send, while others send: the others are served, and Exit
// still ends the program in about three seconds, with the idle ones still open.
#include <memory>
#include <thread>
#include <vector>

#include "platform/testing/wait_until.h"
#include "stress/checker.h"
#include "stress/figures.h"
#include "stress/peers.h"
#include "stress/scenario.h"

namespace {

constexpr int32_t kTalkers = 20;
constexpr int64_t kTalkerLines = 50;

int64_t idleCount = 0;
int32_t firstTalker = 0;

// The idle connections stay open until the process ends.
std::vector<std::unique_ptr<LoopbackClient>> idle;

void PrepareIdle(bool full) {
    idleCount = ScenarioCount("STRESS_IDLE", full, 1000, 200);
    firstTalker = AddSenders(kTalkers, SenderKind::Numbered);
}

void RunIdle(bool) {
    // All at once; the listener takes them in one per cycle.
    for (int64_t i = 0; i < idleCount; ++i) {
        if (auto client = Connect(SenderIp(static_cast<int32_t>(i))))
            idle.push_back(std::move(client));
    }
    const auto inTime = static_cast<int32_t>(idleCount * 100 + 30'000);
    const bool allIn = WaitUntil(
        [] { return static_cast<int64_t>(RegisteredConnections()) >= idleCount; }, inTime);
    AddNote("idle connections open: " + std::to_string(RegisteredConnections()));
    if (!allIn) tally.Fail("the idle connections were not all taken in");

    std::vector<std::thread> talkers;
    for (int32_t t = 0; t < kTalkers; ++t) {
        talkers.emplace_back([id = firstTalker + t] {
            Sender& sender = SenderOf(id);
            if (auto client = Connect(sender.ip)) {
                for (int64_t line = 0; line < kTalkerLines; ++line) SendLines(*client, sender, 1);
                client->ShutdownWrite();
                WaitClosedByServer(*client);
            }
        });
    }
    for (std::thread& talker : talkers) talker.join();
}

}  // namespace

// The exit waits 3000 ms for the listener, which the idle connections hold up, then saves the
// settings and ends: about 3 s, with room for a busy machine.
const Scenario idleScenario{"idle", PrepareIdle, RunIdle, 4500, 0};
