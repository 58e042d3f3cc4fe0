#include "stress/peers.h"

#include <mutex>

#include "platform/testing/wait_until.h"
#include "receiver/server.h"

std::atomic<int32_t> programPort{0};
PeerTally tally;

namespace {

std::mutex failureMutex;  // Guards tally.firstFailure.

}  // namespace

void PeerTally::Fail(const std::string& what) {
    failures.fetch_add(1);
    const std::lock_guard lock(failureMutex);
    if (!failedOnce.exchange(true)) firstFailure = what;
}

std::unique_ptr<LoopbackClient> Connect(uint32_t ip, int32_t timeoutMs) {
    const uint32_t start = MilliSecs();
    for (int attempt = 0;; ++attempt) {
        auto client = std::make_unique<LoopbackClient>(programPort.load(), ip);
        if (client->Connected()) return client;
        if (MilliSecs() - start >= static_cast<uint32_t>(timeoutMs)) break;
        tally.connectRetries.fetch_add(1);
        if (attempt > 0) Delay(10);  // A refused connect fails at once: do not spin.
    }
    tally.Fail("no connection from " + std::to_string(ip & 0xFF));
    return nullptr;
}

bool SendLines(LoopbackClient& client, Sender& sender, int64_t count, bool terminate) {
    std::string bytes;
    const int64_t first = sender.sent.load();
    for (int64_t seq = first; seq < first + count; ++seq) {
        bytes += NumberedLine(sender.id, seq);
        if (terminate || seq + 1 < first + count) bytes += '\n';
    }
    const bool sent = client.Send(bytes);
    if (sent) {
        sender.sent.fetch_add(count);
    } else {
        tally.Fail("sender " + std::to_string(sender.id) + ": send failed");
    }
    return sent;
}

bool WaitShown(const Sender& sender, int64_t count, int32_t timeoutMs) {
    if (WaitUntil([&] { return sender.shown.load() >= count; }, timeoutMs)) return true;
    tally.Fail("sender " + std::to_string(sender.id) + ": line " + std::to_string(count - 1) +
               " not shown in time");
    return false;
}

bool WaitClosedByServer(LoopbackClient& client, int32_t timeoutMs) {
    if (client.WaitServerClose(timeoutMs)) return true;
    tally.Fail("a connection the server did not close");
    return false;
}

size_t RegisteredConnections() {
    if (connectionThreadsMutex == nullptr) return 0;
    LockMutex(connectionThreadsMutex);
    const size_t count = connectionThreads.size();
    UnlockMutex(connectionThreadsMutex);
    return count;
}
