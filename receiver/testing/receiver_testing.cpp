#include "receiver/testing/receiver_testing.h"

#include <algorithm>

#include "platform/testing/socket_client.h"
#include "platform/testing/wait_until.h"
#include "receiver/quit_flag.h"
#include "receiver/server.h"

void ResetReceiver() {
    if (quitMutex == nullptr) quitMutex = CreateMutex();
    if (incomingMutex == nullptr) CreateIncoming();
    // Made here, before any listener runs, so that the tests may look at the registry while one
    // does; the listener then keeps it.
    if (connectionThreadsMutex == nullptr) connectionThreadsMutex = CreateMutex();
    quitting.store(0);
    DrainIncoming();
}

std::vector<Incoming> DrainIncoming() {
    std::vector<Incoming> drained;
    LockMutex(incomingMutex);
    for (Incoming& record : incomingList) {
        incomingCost -= IncomingCost(record.message.size());
        drained.push_back(std::move(record));
    }
    incomingList.clear();
    IncomingDrained();
    UnlockMutex(incomingMutex);
    return drained;
}

std::vector<Incoming> CollectIncoming(size_t count, int32_t timeoutMs) {
    std::vector<Incoming> collected;
    WaitUntil(
        [&] {
            for (Incoming& record : DrainIncoming()) collected.push_back(std::move(record));
            return collected.size() >= count;
        },
        timeoutMs);
    return collected;
}

size_t QueuedIncoming() {
    LockMutex(incomingMutex);
    const size_t count = incomingList.size();
    UnlockMutex(incomingMutex);
    return count;
}

size_t RegisteredConnections() {
    LockMutex(connectionThreadsMutex);
    const size_t count = connectionThreads.size();
    UnlockMutex(connectionThreadsMutex);
    return count;
}

TestListener StartListener(int32_t storedPort) {
    ResetReceiver();
    const std::vector<int32_t> before = ListeningPorts();
    serverPort = storedPort;
    TestListener listener;
    listener.thread = CreateThread(ServerThread, nullptr);
    if (listener.thread == nullptr) return listener;
    WaitUntil(
        [&] {
            for (const int32_t port : ListeningPorts()) {
                if (std::find(before.begin(), before.end(), port) == before.end()) {
                    listener.port = port;
                }
            }
            return listener.port != 0;
        },
        10'000);
    return listener;
}

bool StopListener(TestListener& listener, int32_t timeoutMs) {
    if (listener.thread == nullptr) return true;
    QuitFlag(1);
    const bool ended = WaitUntil([&] { return !ThreadRunning(listener.thread); }, timeoutMs);
    ReleaseThread(listener.thread);
    listener.thread = nullptr;
    return ended;
}
