#include "receiver/quit_flag.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/testing/wait_until.h"
#include "receiver/testing/receiver_testing.h"

namespace {

struct Call {
    bool onMain;
    int32_t value;
    int32_t result;  // What QuitFlag returns.
    int32_t flag;    // The flag afterwards.
};

struct WorkerCall {
    int32_t value;
    int32_t result = -1;
};

void* CallQuitFlag(void* argument) {
    auto* call = static_cast<WorkerCall*>(argument);
    call->result = QuitFlag(call->value);
    return nullptr;
}

TEST(QuitFlag, OnlyTheMainThreadStoresAndEveryThreadReadsTheCurrentValue) {
    ResetReceiver();
    const Call calls[] = {
        {false, 1, 0, 0},                   // A worker's store is ignored.
        {false, 0, 0, 0}, {true, 1, 1, 1},  // The exit sequence sets it.
        {false, 0, 1, 1},                   // A worker then reads 1 and cannot clear it.
        {false, 7, 1, 1},
    };
    for (const Call& c : calls) {
        int32_t result = -1;
        if (c.onMain) {
            result = QuitFlag(c.value);
        } else {
            WorkerCall call{c.value};
            Thread* thread = CreateThread(CallQuitFlag, &call);
            ASSERT_NE(thread, nullptr);
            WaitThread(thread);
            ReleaseThread(thread);
            result = call.result;
        }
        EXPECT_EQ(result, c.result) << (c.onMain ? "main " : "worker ") << c.value;
        EXPECT_EQ(quitting.load(), c.flag) << (c.onMain ? "main " : "worker ") << c.value;
    }
}

struct Watcher {
    std::atomic<bool> sawOne{false};
    std::atomic<bool> wentBack{false};
};

void* WatchFlag(void* argument) {
    auto* watcher = static_cast<Watcher*>(argument);
    WaitUntil(
        [&] {
            const int32_t value = QuitFlag(0);
            if (value == 0 && watcher->sawOne) watcher->wentBack = true;
            if (value == 1) watcher->sawOne = true;
            return watcher->sawOne.load();
        },
        10'000);
    return nullptr;
}

TEST(QuitFlag, WorkersReadingWhileTheMainThreadSetsItSeeItSetAndStaySet) {
    ResetReceiver();
    std::vector<Watcher> watchers(4);
    std::vector<Thread*> threads;
    for (Watcher& watcher : watchers) threads.push_back(CreateThread(WatchFlag, &watcher));
    EXPECT_EQ(QuitFlag(1), 1);
    for (size_t i = 0; i < threads.size(); ++i) {
        ASSERT_NE(threads[i], nullptr);
        WaitThread(threads[i]);
        ReleaseThread(threads[i]);
        EXPECT_TRUE(watchers[i].sawOne);
        EXPECT_FALSE(watchers[i].wentBack);
    }
}

}  // namespace
