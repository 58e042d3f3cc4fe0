#include "platform/thread.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// A thousand connection threads may run at once: a modest stack keeps their reserve small,
// and none of the program's entries needs more.
constexpr size_t kStackBytes = 512 * 1024;

// Captured during static initialisation, which runs on the thread that then runs main().
const pthread_t mainThread = pthread_self();

// What the new thread needs, handed to it through pthread_create and owned by it from then on.
struct StartBlock {
    ThreadEntry entry;
    void* argument;
    std::shared_ptr<std::atomic<bool>> running;
};

void* RunEntry(void* raw) {
    const std::unique_ptr<StartBlock> start(static_cast<StartBlock*>(raw));
    start->entry(start->argument);
    start->running->store(false, std::memory_order_release);
    return nullptr;
}

}  // namespace

// The running flag is shared so that a released handle does not take it from the thread.
struct Thread {
    pthread_t id{};
    std::shared_ptr<std::atomic<bool>> running;
    std::mutex joinMutex;  // Guards joined and the join itself.
    bool joined = false;
};

struct Mutex {
    std::mutex mutex;
};

struct Condition {
    std::condition_variable condition;
};

Thread* CreateThread(ThreadEntry entry, void* argument) {
    auto thread = std::make_unique<Thread>();
    thread->running = std::make_shared<std::atomic<bool>>(true);
    auto start = std::make_unique<StartBlock>(StartBlock{entry, argument, thread->running});

    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return nullptr;
    pthread_attr_setstacksize(&attributes, kStackBytes);
    const int failed = pthread_create(&thread->id, &attributes, RunEntry, start.get());
    pthread_attr_destroy(&attributes);
    if (failed != 0) return nullptr;
    start.release();  // The new thread owns it now.
    return thread.release();
}

bool ThreadRunning(const Thread* thread) {
    return thread->running->load(std::memory_order_acquire);
}

void WaitThread(Thread* thread) {
    const std::lock_guard lock(thread->joinMutex);
    if (thread->joined) return;
    pthread_join(thread->id, nullptr);
    thread->joined = true;
}

void ReleaseThread(Thread* thread) {
    const std::unique_ptr<Thread> owned(thread);
    const std::lock_guard lock(owned->joinMutex);
    if (owned->joined) return;
    // A thread whose entry has returned is only unwinding: joining it costs nothing and lets
    // the system reclaim it now. A running one is detached and reclaims itself when it ends.
    if (ThreadRunning(owned.get())) {
        pthread_detach(owned->id);
    } else {
        pthread_join(owned->id, nullptr);
    }
}

bool IsMainThread() { return pthread_equal(pthread_self(), mainThread) != 0; }

// Mutexes and conditions live until the process ends (see the header), so nobody deletes them.
Mutex* CreateMutex() { return new Mutex; }

void LockMutex(Mutex* mutex) { mutex->mutex.lock(); }

void UnlockMutex(Mutex* mutex) { mutex->mutex.unlock(); }

Condition* CreateCondition() { return new Condition; }

void WaitCondition(Condition* condition, Mutex* mutex, int32_t timeoutMs) {
    // The caller already holds the mutex and keeps holding it afterwards.
    std::unique_lock lock(mutex->mutex, std::adopt_lock);
    condition->condition.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)));
    lock.release();
}

void SignalCondition(Condition* condition) { condition->condition.notify_all(); }
