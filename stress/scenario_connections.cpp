// Many connections: a thousand open at once, each sending a few lines; many short ones, one
// after another; and bursts of a hundred at once.
#include <latch>
#include <memory>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "stress/checker.h"
#include "stress/figures.h"
#include "stress/peers.h"
#include "stress/scenario.h"

namespace {

// Short connections opened one after another keep at most this many waiting to be taken in,
// so that they follow each other rather than come as a burst.
constexpr int64_t kWaiting = 4;

constexpr int64_t kLinesEach = 3;

int32_t firstOpen = 0;
int64_t openCount = 0;

void PrepareConnections(bool full) {
    openCount = ScenarioCount("STRESS_CONNECTIONS", full, 1000, 200);
    firstOpen = AddSenders(static_cast<int32_t>(openCount), SenderKind::Numbered);
}

void RunConnections(bool) {
    // All at once: the listener takes one in per cycle, the rest wait in its backlog, each
    // with its first line already sent.
    std::vector<std::unique_ptr<LoopbackClient>> clients;
    for (int64_t i = 0; i < openCount; ++i) {
        Sender& sender = SenderOf(firstOpen + static_cast<int32_t>(i));
        clients.push_back(Connect(sender.ip));
        if (clients.back()) SendLines(*clients.back(), sender, 1);
    }
    const auto inTime = static_cast<int32_t>(openCount * 100 + 30'000);
    for (int64_t i = 0; i < openCount; ++i) {
        WaitShown(SenderOf(firstOpen + static_cast<int32_t>(i)), 1, inTime);
    }
    AddNote("open at once: " + std::to_string(RegisteredConnections()));

    // Every connection is open now: each sends the rest of its lines, then half-closes and
    // waits for the program to close its side.
    for (int64_t i = 0; i < openCount; ++i) {
        if (!clients[i]) continue;
        SendLines(*clients[i], SenderOf(firstOpen + static_cast<int32_t>(i)), kLinesEach - 1);
        clients[i]->ShutdownWrite();
    }
    int64_t closed = 0;
    for (auto& client : clients) {
        if (client && WaitClosedByServer(*client)) ++closed;
    }
    AddNote("closed by the program: " + std::to_string(closed));
}

int32_t firstSequential = 0;
int64_t sequentialCount = 0;
int32_t firstBurst = 0;
int64_t burstCount = 0;
constexpr int64_t kBurstSize = 100;

void PrepareSequential(bool full) {
    sequentialCount = ScenarioCount("STRESS_SEQUENTIAL", full, 2000, 400);
    firstSequential = AddSenders(static_cast<int32_t>(sequentialCount), SenderKind::Numbered);
}

void RunSequential(bool) {
    // One after another: connect, send, close; never more than a few waiting to be taken in.
    const uint32_t start = MilliSecs();
    for (int64_t i = 0; i < sequentialCount; ++i) {
        Sender& sender = SenderOf(firstSequential + static_cast<int32_t>(i));
        if (i >= kWaiting) WaitShown(SenderOf(sender.id - kWaiting), 2);
        if (std::unique_ptr<LoopbackClient> client = Connect(sender.ip)) {
            SendLines(*client, sender, 2);
        }
    }
    const uint32_t sequentialMs = MilliSecs() - start;
    AddNote("one after another: " + std::to_string(sequentialCount) + " in " +
            std::to_string(sequentialMs / 1000) + " s");
    AddNote("connects made again: " + std::to_string(tally.connectRetries.load()));
}

void PrepareBursts(bool full) {
    burstCount = ScenarioCount("STRESS_BURSTS", full, 5, 1);
    firstBurst = AddSenders(static_cast<int32_t>(burstCount * kBurstSize), SenderKind::Numbered);
}

void RunBursts(bool) {
    // Bursts: a hundred peers connect at the same moment, send at once and half-close; the
    // listener takes one in per cycle, and every line must still arrive.
    for (int64_t burst = 0; burst < burstCount; ++burst) {
        const uint32_t burstStart = MilliSecs();
        std::latch go(1);
        std::vector<std::thread> peers;
        for (int64_t i = 0; i < kBurstSize; ++i) {
            const auto id = firstBurst + static_cast<int32_t>(burst * kBurstSize + i);
            peers.emplace_back([id, &go] {
                go.wait();
                Sender& sender = SenderOf(id);
                if (std::unique_ptr<LoopbackClient> client = Connect(sender.ip)) {
                    SendLines(*client, sender, 2);
                    client->ShutdownWrite();
                    WaitClosedByServer(*client, 120'000);
                }
            });
        }
        go.count_down();
        for (std::thread& peer : peers) peer.join();
        AddNote("burst " + std::to_string(burst + 1) + " of " + std::to_string(kBurstSize) + ": " +
                std::to_string((MilliSecs() - burstStart) / 1000) + " s");
    }
    AddNote("connects made again: " + std::to_string(tally.connectRetries.load()));
}

}  // namespace

const Scenario connectionsScenario{"connections", PrepareConnections, RunConnections, 4000, 0};
const Scenario sequentialScenario{"sequential", PrepareSequential, RunSequential, 4000, 0};
const Scenario burstsScenario{"bursts", PrepareBursts, RunBursts, 4000, 0};
