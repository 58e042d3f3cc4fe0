// The stress peers: loopback clients that connect from their sender's address and send its
// lines, with the waits they need, each with a deadline. Peer threads call these.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/testing/socket_client.h"
#include "stress/checker.h"

// What the peers of one scenario did beyond their lines.
struct PeerTally {
    std::atomic<int64_t> connectRetries{0};  // Connects that timed out and were made again.
    std::atomic<int64_t> failures{0};        // Waits that ran out, connects that never came.
    std::atomic<bool> failedOnce{false};
    std::string firstFailure;  // Written once, by the first failure.

    void Fail(const std::string& what);
};

// The port that the program listens on, known before any peer starts.
extern std::atomic<int32_t> programPort;
extern PeerTally tally;

// Connects from ip, making a new connection whenever one times out (the listener's backlog was
// full), until timeoutMs have passed. Returns null, counting a failure, when it never connects.
std::unique_ptr<LoopbackClient> Connect(uint32_t ip, int32_t timeoutMs = 120'000);

// Sends sender's next count numbered lines (the last without its line feed when terminate is
// false) in one go, and counts them as sent. Returns false when the connection failed.
bool SendLines(LoopbackClient& client, Sender& sender, int64_t count, bool terminate = true);

// Waits until at least count of sender's lines have been read back; counts a failure when they
// have not after timeoutMs.
bool WaitShown(const Sender& sender, int64_t count, int32_t timeoutMs = 60'000);

// Waits until the server has closed client's connection; counts a failure when it has not
// after timeoutMs.
bool WaitClosedByServer(LoopbackClient& client, int32_t timeoutMs = 30'000);

// Returns how many connection threads the listener has registered now.
size_t RegisteredConnections();
