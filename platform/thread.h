// Threads, mutexes and conditions: the thread layer that the receiver and the main thread
// share. Every function here may be called from any thread unless its comment says otherwise.
#pragma once

#include <cstdint>

struct Thread;     // A started thread and its running flag. Opaque.
struct Mutex;      // A non-recursive mutex. Opaque; lives until the process ends.
struct Condition;  // Wakes threads that wait for a state guarded by a Mutex. Opaque.

// The entry function of a thread: takes the argument given to CreateThread, returns nothing
// that anyone reads (the program's entries return null).
using ThreadEntry = void* (*)(void* argument);

// Starts entry(argument) on a new thread with a stack of 512 KiB (a thousand of them may run at
// once). The handle's running flag is set before the new thread runs anything and cleared when
// entry returns. Returns null when no thread can be started (for example, the system is out of
// threads or memory).
Thread* CreateThread(ThreadEntry entry, void* argument);

// Returns whether the thread's entry function has not yet returned.
bool ThreadRunning(const Thread* thread);

// Blocks the caller, without time limit, until the thread's entry function has returned.
void WaitThread(Thread* thread);

// Releases a handle, which nobody may use afterwards. A thread that is still running carries
// on without it and is reclaimed by the system when it ends.
void ReleaseThread(Thread* thread);

// Returns whether the caller is the process's main thread (the one that ran main()).
bool IsMainThread();

// Returns a new mutex, unlocked.
Mutex* CreateMutex();
void LockMutex(Mutex* mutex);
// The caller must hold the mutex.
void UnlockMutex(Mutex* mutex);

// Returns a new condition that nobody waits for.
Condition* CreateCondition();

// The caller holds mutex. Unlocks it, sleeps until SignalCondition or until timeoutMs have
// passed (spurious wake-ups are possible), then locks it again before it returns.
void WaitCondition(Condition* condition, Mutex* mutex, int32_t timeoutMs);

// Wakes every thread waiting on the condition. The caller need not hold the mutex.
void SignalCondition(Condition* condition);
