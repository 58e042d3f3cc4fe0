#include "receiver/incoming.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/testing/wait_until.h"
#include "receiver/quit_flag.h"
#include "receiver/testing/receiver_testing.h"

namespace {

constexpr int32_t kDeadlineMs = 10'000;

// One AddIncoming on a thread of its own, as a connection thread makes it.
struct Append {
    int32_t ip = 0;
    Text message;
    std::atomic<bool> done{false};
    Thread* thread = nullptr;

    void Start() { thread = CreateThread(Run, this); }
    void Finish() {
        if (thread == nullptr) return;
        WaitThread(thread);
        ReleaseThread(thread);
        thread = nullptr;
    }
    static void* Run(void* argument) {
        auto* append = static_cast<Append*>(argument);
        AddIncoming(append->ip, append->message);
        append->done = true;
        return nullptr;
    }
};

constexpr int kProducers = 8;
constexpr int kLinesEach = 500;

void* ProduceLines(void* argument) {
    const auto producer = static_cast<int32_t>(reinterpret_cast<intptr_t>(argument));
    for (int i = 0; i < kLinesEach; ++i) {
        AddIncoming(producer, Latin1Text(std::to_string(i)));
    }
    return nullptr;
}

TEST(Incoming, ManyProducersAtOnceLoseNothingAndKeepEachOnesOrder) {
    ResetReceiver();
    std::vector<Thread*> threads;
    for (intptr_t producer = 1; producer <= kProducers; ++producer) {
        threads.push_back(CreateThread(ProduceLines, reinterpret_cast<void*>(producer)));
    }
    // Drained while the producers append, as the timer does.
    const std::vector<Incoming> records = CollectIncoming(kProducers * kLinesEach, kDeadlineMs);
    for (Thread* thread : threads) {
        ASSERT_NE(thread, nullptr);
        WaitThread(thread);
        ReleaseThread(thread);
    }
    ASSERT_EQ(records.size(), static_cast<size_t>(kProducers * kLinesEach));
    std::map<int32_t, int> next;
    for (const Incoming& record : records) {
        EXPECT_EQ(record.message, Latin1Text(std::to_string(next[record.ip]++)))
            << "producer " << record.ip;
    }
    EXPECT_EQ(next.size(), static_cast<size_t>(kProducers));
    EXPECT_TRUE(DrainIncoming().empty());
    LockMutex(incomingMutex);
    EXPECT_EQ(incomingCost, 0);
    UnlockMutex(incomingMutex);
}

TEST(Incoming, ADrainOverAnEmptyQueueDoesNothingAndReleasesTheMutex) {
    ResetReceiver();
    EXPECT_TRUE(DrainIncoming().empty());
    Append append{0x0A000007, u"after"};
    append.Start();
    const std::vector<Incoming> records = CollectIncoming(1, kDeadlineMs);
    append.Finish();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ip, 0x0A000007);
    EXPECT_EQ(records[0].message, u"after");
}

TEST(Incoming, ARecordAppendedDuringADrainIsShownByTheNextDrain) {
    ResetReceiver();
    Append first{1, u"first"};
    first.Start();
    first.Finish();

    Append during{2, u"during"};
    LockMutex(incomingMutex);  // The drain begins.
    during.Start();
    Delay(20);  // Gives the producer time to reach the lock; the outcome must not depend on it.
    ASSERT_EQ(incomingList.size(), 1u);
    EXPECT_EQ(incomingList.front().message, u"first");
    incomingCost -= IncomingCost(incomingList.front().message.size());
    incomingList.pop_front();
    IncomingDrained();
    UnlockMutex(incomingMutex);  // The drain ends.

    const std::vector<Incoming> next = CollectIncoming(1, kDeadlineMs);
    during.Finish();
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].message, u"during");
}

struct BudgetCase {
    size_t queued;  // Characters of the one record already waiting (0: the queue is empty).
    size_t line;    // Characters of the line appended next.
    bool waits;
};

TEST(Incoming, ALineThatDoesNotFitTheBudgetWaitsForADrainWithoutHoldingTheLock) {
    // Two records' own costs and a 10-character line leave the queue exactly full.
    const size_t fullAfterTen = static_cast<size_t>(kIncomingBudget - 2 * kIncomingRecordCost) - 10;
    const BudgetCase cases[] = {
        {fullAfterTen, 10, false},  // Exactly full is still within the budget.
        {fullAfterTen, 11, true},
        {0, static_cast<size_t>(kIncomingBudget) + 5, false},  // Too long, but the queue is empty.
    };
    for (const BudgetCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.queued) + " + " + std::to_string(c.line));
        ResetReceiver();
        if (c.queued > 0) {
            Append fill{1, Text(c.queued, u'q')};
            fill.Start();
            fill.Finish();
        }
        Append append{2, Text(c.line, u'n')};
        append.Start();
        if (c.waits) {
            // Still waiting after a while, and the queue can be locked and read meanwhile.
            EXPECT_FALSE(WaitUntil([&] { return append.done.load(); }, 200));
            EXPECT_EQ(QueuedIncoming(), 1u);
            EXPECT_EQ(DrainIncoming().size(), 1u);  // The drain makes room.
        }
        const size_t stillQueued = c.queued > 0 && !c.waits ? 1 : 0;
        const std::vector<Incoming> records = CollectIncoming(stillQueued + 1, kDeadlineMs);
        append.Finish();
        ASSERT_EQ(records.size(), stillQueued + 1);
        EXPECT_EQ(records.back().ip, 2);
        EXPECT_EQ(records.back().message.size(), c.line);
    }
}

// Appends one-character lines, as many as there are characters in the budget, until quit.
void* FloodShortLines(void*) {
    for (int64_t i = 0; i < kIncomingBudget && QuitFlag(0) == 0; ++i) AddIncoming(1, u"x");
    return nullptr;
}

TEST(Incoming, AFloodOfOneCharacterLinesIsBoundedByWhatEachRecordTakes) {
    ResetReceiver();
    Thread* flood = CreateThread(FloodShortLines, nullptr);
    // The queue stops growing once the producer waits for room.
    size_t before = 0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const size_t now = QueuedIncoming();
            const bool still = now > 0 && now == before;
            before = now;
            if (!still) Delay(100);
            return still;
        },
        kDeadlineMs));
    // A queued one-character line takes some 64 bytes: its slot and its string.
    EXPECT_LE(QueuedIncoming(), static_cast<size_t>(kIncomingBudget / 32));
    QuitFlag(1);
    WaitThread(flood);
    ReleaseThread(flood);
}

TEST(Incoming, AWaitingProducerDropsItsLineOnceTheQuitFlagIsSet) {
    ResetReceiver();
    Append fill{1, Text(static_cast<size_t>(kIncomingBudget), u'q')};
    fill.Start();
    fill.Finish();
    Append append{2, u"too late"};
    append.Start();
    EXPECT_FALSE(WaitUntil([&] { return append.done.load(); }, 200));

    QuitFlag(1);
    EXPECT_TRUE(WaitUntil([&] { return append.done.load(); }, kDeadlineMs));
    append.Finish();
    const std::vector<Incoming> records = DrainIncoming();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ip, 1);
}

}  // namespace
