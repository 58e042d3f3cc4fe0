// Helpers for the receiver's tests: a fresh receiver state for each test, the main thread's
// drain, and a listener started and stopped around a test. Call from the test's main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/thread.h"
#include "receiver/incoming.h"

// Creates the quit flag's mutex, the queue and the registry's mutex on first use; then empties the
// queue and clears the quit flag, so that every test starts as the program does.
void ResetReceiver();

// Removes every queued record as the main thread's drain does (one hold of incomingMutex,
// incomingCost lowered, the producers told) and returns them oldest first.
std::vector<Incoming> DrainIncoming();

// Drains until at least count records have come or timeoutMs have passed; returns them all.
std::vector<Incoming> CollectIncoming(size_t count, int32_t timeoutMs);

// Returns how many records wait in the queue now, under incomingMutex.
size_t QueuedIncoming();

// Returns how many connection threads the listener has registered now. After ResetReceiver.
size_t RegisteredConnections();

// A listener thread started by StartListener.
struct TestListener {
    Thread* thread = nullptr;
    int32_t port = 0;  // The port it listens on; 0 when it did not start listening.
};

// Resets the receiver, sets serverPort to storedPort, starts ServerThread and waits until it
// listens (at most 10 s).
TestListener StartListener(int32_t storedPort);

// Sets the quit flag and waits at most timeoutMs for the listener to end. Returns whether it
// ended; the handle is released either way.
bool StopListener(TestListener& listener, int32_t timeoutMs = 10'000);
