#include "receiver/incoming.h"

#include <utility>

#include "receiver/quit_flag.h"

Mutex* incomingMutex = nullptr;
std::deque<Incoming> incomingList;
int64_t incomingCost = 0;
Condition* incomingRoom = nullptr;

namespace {

// How long a waiting producer sleeps before it looks at the quit flag again.
constexpr int32_t kRoomWaitMs = 50;

}  // namespace

void CreateIncoming() {
    incomingMutex = CreateMutex();
    incomingRoom = CreateCondition();
}

void AddIncoming(int32_t ip, Text message) {
    Incoming record;
    record.ip = ip;
    record.message = std::move(message);
    const int64_t cost = IncomingCost(record.message.size());

    LockMutex(incomingMutex);
    while (incomingCost > 0 && incomingCost + cost > kIncomingBudget) {
        WaitCondition(incomingRoom, incomingMutex, kRoomWaitMs);
        if (incomingCost > 0 && incomingCost + cost > kIncomingBudget) {
            // Still full: read the flag outside our lock, since no thread holds two mutexes.
            UnlockMutex(incomingMutex);
            if (QuitFlag(0) != 0) return;
            LockMutex(incomingMutex);
        }
    }
    incomingCost += cost;
    incomingList.push_back(std::move(record));
    UnlockMutex(incomingMutex);
}

void IncomingDrained() { SignalCondition(incomingRoom); }
