#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/clock.h"
#include "platform/testing/wait_until.h"

namespace {

constexpr int32_t kDeadlineMs = 10'000;

// Mutexes and conditions live until the process ends, as in the program.
Mutex* const sharedMutex = CreateMutex();
Condition* const sharedCondition = CreateCondition();

// What a gated thread sees: it waits until the test opens the gate, then notes that it ran.
struct Gate {
    bool open = false;  // Guarded by sharedMutex.
    std::atomic<int> ran{0};
    std::atomic<bool> sawMain{true};

    void Open() {
        LockMutex(sharedMutex);
        open = true;
        UnlockMutex(sharedMutex);
        SignalCondition(sharedCondition);
    }
};

void* WaitAtGate(void* argument) {
    auto* gate = static_cast<Gate*>(argument);
    gate->sawMain = IsMainThread();
    LockMutex(sharedMutex);
    const uint32_t start = MilliSecs();
    while (!gate->open && MilliSecs() - start < kDeadlineMs) {
        WaitCondition(sharedCondition, sharedMutex, kDeadlineMs);
    }
    UnlockMutex(sharedMutex);
    ++gate->ran;
    return nullptr;
}

TEST(Thread, RunningFlagIsSetAtStartAndClearedWhenTheEntryReturns) {
    Gate gate;
    Thread* thread = CreateThread(WaitAtGate, &gate);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(ThreadRunning(thread));
    EXPECT_EQ(gate.ran, 0);

    gate.Open();
    WaitThread(thread);
    EXPECT_FALSE(ThreadRunning(thread));
    EXPECT_EQ(gate.ran, 1);
    EXPECT_FALSE(gate.sawMain);
    WaitThread(thread);  // Waiting again for an ended thread returns at once.
    ReleaseThread(thread);
}

TEST(Thread, ReleasedHandleLeavesTheThreadRunningToItsEnd) {
    Gate gate;
    Thread* thread = CreateThread(WaitAtGate, &gate);
    ASSERT_NE(thread, nullptr);
    ReleaseThread(thread);
    gate.Open();
    EXPECT_TRUE(WaitUntil([&] { return gate.ran == 1; }, kDeadlineMs));
}

TEST(Thread, ReleasingAnEndedThreadThatNobodyWaitedFor) {
    Gate gate;
    gate.Open();
    Thread* thread = CreateThread(WaitAtGate, &gate);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !ThreadRunning(thread); }, kDeadlineMs));
    ReleaseThread(thread);
    EXPECT_EQ(gate.ran, 1);
}

TEST(Thread, IsMainThreadOnlyOnTheThreadThatRanMain) {
    EXPECT_TRUE(IsMainThread());
    Gate gate;
    gate.Open();
    Thread* thread = CreateThread(WaitAtGate, &gate);
    ASSERT_NE(thread, nullptr);
    WaitThread(thread);
    ReleaseThread(thread);
    EXPECT_FALSE(gate.sawMain);
}

TEST(Thread, AThousandThreadsRunAtOnce) {
    constexpr int kThreads = 1000;
    Gate gate;
    std::vector<Thread*> threads;
    for (int i = 0; i < kThreads; ++i) {
        Thread* thread = CreateThread(WaitAtGate, &gate);
        if (thread == nullptr) break;
        threads.push_back(thread);
    }
    EXPECT_EQ(threads.size(), static_cast<size_t>(kThreads));
    gate.Open();
    for (Thread* thread : threads) {
        WaitThread(thread);
        ReleaseThread(thread);
    }
    EXPECT_EQ(gate.ran, static_cast<int>(threads.size()));
}

struct Counter {
    int value = 0;  // Guarded by sharedMutex.
};

void* CountUnderLock(void* argument) {
    auto* counter = static_cast<Counter*>(argument);
    for (int i = 0; i < 10'000; ++i) {
        LockMutex(sharedMutex);
        ++counter->value;
        UnlockMutex(sharedMutex);
    }
    return nullptr;
}

TEST(Mutex, ExcludesOtherThreads) {
    Counter counter;
    std::vector<Thread*> threads;
    for (int i = 0; i < 4; ++i) threads.push_back(CreateThread(CountUnderLock, &counter));
    for (Thread* thread : threads) {
        ASSERT_NE(thread, nullptr);
        WaitThread(thread);
        ReleaseThread(thread);
    }
    EXPECT_EQ(counter.value, 40'000);
}

struct Signalled {
    int waiting = 0;     // Guarded by sharedMutex.
    bool ready = false;  // Guarded by sharedMutex.
    std::atomic<int> woken{0};
};

void* WaitForReady(void* argument) {
    auto* signalled = static_cast<Signalled*>(argument);
    LockMutex(sharedMutex);
    ++signalled->waiting;
    // Each wait is far longer than the test's deadline, so only the signal can end it in time.
    while (!signalled->ready) WaitCondition(sharedCondition, sharedMutex, 60'000);
    UnlockMutex(sharedMutex);
    ++signalled->woken;
    return nullptr;
}

TEST(Condition, SignalWakesEveryWaiter) {
    Signalled signalled;
    std::vector<Thread*> threads;
    for (int i = 0; i < 3; ++i) threads.push_back(CreateThread(WaitForReady, &signalled));
    // Signal only once all three are asleep on the condition, so that one signal must wake all.
    const bool allWaiting = WaitUntil(
        [&] {
            LockMutex(sharedMutex);
            const bool all = signalled.waiting == 3;
            UnlockMutex(sharedMutex);
            return all;
        },
        kDeadlineMs);
    EXPECT_TRUE(allWaiting);
    LockMutex(sharedMutex);
    signalled.ready = true;
    UnlockMutex(sharedMutex);
    SignalCondition(sharedCondition);
    EXPECT_TRUE(WaitUntil([&] { return signalled.woken == 3; }, kDeadlineMs));
    for (Thread* thread : threads) {
        ASSERT_NE(thread, nullptr);
        if (signalled.woken != 3) SignalCondition(sharedCondition);
        WaitThread(thread);
        ReleaseThread(thread);
    }
}

TEST(Condition, WaitWithoutSignalReturnsAfterItsTimeoutHoldingTheMutex) {
    Counter counter;
    LockMutex(sharedMutex);
    const uint32_t start = MilliSecs();
    WaitCondition(sharedCondition, sharedMutex, 30);
    EXPECT_LT(MilliSecs() - start, static_cast<uint32_t>(kDeadlineMs));
    // Back under the mutex: a counting thread cannot get in until it is unlocked.
    Thread* thread = CreateThread(CountUnderLock, &counter);
    ASSERT_NE(thread, nullptr);
    Delay(20);
    EXPECT_EQ(counter.value, 0);
    UnlockMutex(sharedMutex);
    WaitThread(thread);
    ReleaseThread(thread);
    EXPECT_EQ(counter.value, 10'000);
}

}  // namespace
