#include "receiver/server.h"

#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/process.h"
#include "platform/socket.h"
#include "platform/text.h"
#include "receiver/connection.h"
#include "receiver/quit_flag.h"

int32_t serverPort = 8088;

Mutex* connectionThreadsMutex = nullptr;
std::list<Thread*> connectionThreads;

namespace {

constexpr int32_t kCycleMs = 50;
// Room for a burst of connections that the one-per-cycle accept has not reached yet. With
// room for only a few, the system answers the rest of a burst with SYN cookies, and a peer
// that sends at once then loses its connection, and its lines, without being told: a burst of
// a hundred lost most of them.
constexpr int32_t kBacklog = 1024;

// Tells the user why there is no listener and ends the process, without the exit sequence.
[[noreturn]] void FailStart(const Text& message) {
    Notify(message, 1);
    EndProcess();
}

// Starts a connection thread for one accepted socket and registers it. When no thread can be
// started the connection is closed, and the listener goes on.
void StartConnection(Socket* accepted) {
    Thread* thread = CreateThread(ConnectionThread, accepted);
    if (thread == nullptr) {
        FreeSocket(accepted);
        return;
    }
    LockMutex(connectionThreadsMutex);
    connectionThreads.push_back(thread);
    UnlockMutex(connectionThreadsMutex);
}

// Drops the handles of the connection threads that have ended.
void ReapConnections() {
    for (auto handle = connectionThreads.begin(); handle != connectionThreads.end();) {
        if (ThreadRunning(*handle)) {
            ++handle;
            continue;
        }
        LockMutex(connectionThreadsMutex);
        ReleaseThread(*handle);
        handle = connectionThreads.erase(handle);
        UnlockMutex(connectionThreadsMutex);
    }
}

// Waits, without limit, for every registered connection thread to end.
void WaitConnections() {
    LockMutex(connectionThreadsMutex);
    for (Thread* thread : connectionThreads) WaitThread(thread);
    for (Thread* thread : connectionThreads) ReleaseThread(thread);
    connectionThreads.clear();
    UnlockMutex(connectionThreadsMutex);
}

}  // namespace

void* ServerThread(void*) {
    // The program starts one listener; a later one (in tests) reuses the mutex.
    if (connectionThreadsMutex == nullptr) connectionThreadsMutex = CreateMutex();

    Socket* listener = CreateTcpSocket();
    if (listener == nullptr) FailStart(u"Couldn't create server!");
    if (!BindSocket(listener, serverPort)) {
        FailStart(u"Couldn't bind to port " + IntText(serverPort) + u"!");
    }
    ListenSocket(listener, kBacklog);

    for (;;) {
        if (Socket* accepted = AcceptSocket(listener, 0)) StartConnection(accepted);
        ReapConnections();
        Delay(kCycleMs);
        if (QuitFlag(0) != 0) break;
    }

    WaitConnections();
    FreeSocket(listener);
    return nullptr;
}
