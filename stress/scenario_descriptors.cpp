// Out of descriptors: with every descriptor of the process taken, peers that connect cannot be
// taken in; the program keeps running (a connection it already has is still served), shows no
// box, and takes the waiting peers in once descriptors are free again. The driver's clients
// share the process's descriptors, so the driver runs under a low limit (run.sh sets one).
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/testing/wait_until.h"
#include "stress/checker.h"
#include "stress/figures.h"
#include "stress/peers.h"
#include "stress/scenario.h"

namespace {

constexpr int32_t kWaitingPeers = 3;
constexpr int32_t kHoldMs = 2'000;

int32_t probeId = 0;
int32_t firstWaiting = 0;

void PrepareDescriptors(bool) {
    probeId = AddSenders(1, SenderKind::Numbered);
    firstWaiting = AddSenders(kWaitingPeers, SenderKind::Numbered);
}

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using Held = std::vector<std::unique_ptr<std::FILE, FileClose>>;

// Opens /dev/null until the process has no descriptor left; returns what it opened.
Held TakeEveryDescriptor() {
    Held held;
    while (std::FILE* file = std::fopen("/dev/null", "rb")) held.emplace_back(file);
    return held;
}

void RunDescriptors(bool) {
    Sender& probe = SenderOf(probeId);
    std::unique_ptr<LoopbackClient> probeClient = Connect(probe.ip);
    if (!probeClient) return;
    SendLines(*probeClient, probe, 1);
    WaitShown(probe, 1);

    Held held = TakeEveryDescriptor();
    AddNote("descriptors taken: " + std::to_string(held.size()));
    if (held.empty()) {
        tally.Fail("no descriptor could be taken: the limit is not low enough");
        return;
    }
    // Each waiting peer gets one descriptor back for its own socket, so that it can connect;
    // its connection then waits in the backlog, since the program has none to accept it with.
    std::vector<std::unique_ptr<LoopbackClient>> waiting;
    for (int32_t i = 0; i < kWaitingPeers && !held.empty(); ++i) {
        held.pop_back();
        Sender& sender = SenderOf(firstWaiting + i);
        auto client = std::make_unique<LoopbackClient>(programPort.load(), sender.ip);
        if (!client->Connected()) {
            tally.Fail("a waiting peer could not connect");
            continue;
        }
        SendLines(*client, sender, 5);
        waiting.push_back(std::move(client));
    }

    // While it holds no descriptor the program still serves the connection it has, and must
    // not take the waiting ones in.
    for (int32_t line = 0; line < 5; ++line) {
        SendLines(*probeClient, probe, 1);
        WaitShown(probe, probe.sent.load());
    }
    const bool slipped = WaitUntil(
        [] {
            for (int32_t i = 0; i < kWaitingPeers; ++i) {
                if (SenderOf(firstWaiting + i).shown.load() > 0) return true;
            }
            return false;
        },
        kHoldMs);
    AddNote(slipped ? "a waiting peer got in while descriptors were short"
                    : "waiting peers held off for " + std::to_string(kHoldMs) + " ms");

    held.clear();
    for (int32_t i = 0; i < kWaitingPeers; ++i) WaitShown(SenderOf(firstWaiting + i), 5, 20'000);
    for (auto& client : waiting) client->ShutdownWrite();
    for (auto& client : waiting) WaitClosedByServer(*client);
    probeClient->ShutdownWrite();
    WaitClosedByServer(*probeClient);
    AddNote("boxes shown: " + std::to_string(notifications.load()));
}

}  // namespace

const Scenario descriptorsScenario{"descriptors", PrepareDescriptors, RunDescriptors, 4000, 0};
