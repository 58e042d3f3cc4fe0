#include "receiver/quit_flag.h"

Mutex* quitMutex = nullptr;
std::atomic<int32_t> quitting{0};

int32_t QuitFlag(int32_t value) {
    LockMutex(quitMutex);
    if (IsMainThread()) quitting.store(value);
    UnlockMutex(quitMutex);
    return quitting.load();
}
