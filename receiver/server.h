// The listener: one thread that accepts TCP connections on serverPort and starts a connection
// thread for each, keeping a registry of those still running.
//
// Every 50 ms it looks once for a waiting connection (so it accepts at most one per cycle),
// starts a thread on ConnectionThread for it, and drops the handles of the connection threads
// that have ended. Once the quit flag is set it stops accepting, waits without limit for every
// registered connection thread to end, closes its socket and returns.
#pragma once

#include <cstdint>
#include <list>

#include "platform/thread.h"

// The TCP port to listen on; the listener binds its low 16 bits. 8088 until the settings
// store replaces it at start-up, before the listener starts; never changed afterwards.
extern int32_t serverPort;

// connectionThreadsMutex guards connectionThreads: the handles of the connection threads that
// the listener started and has not yet dropped, oldest first. Created by ServerThread; only
// the listener changes the list.
extern Mutex* connectionThreadsMutex;
extern std::list<Thread*> connectionThreads;

// Thread entry of the listener; ignores its argument and returns null. Binds serverPort on
// every IPv4 interface, accepts until the quit flag is set, then waits for every connection
// thread to end. When the socket cannot be created or bound it shows a serious notification
// ("Couldn't create server!" or "Couldn't bind to port " + serverPort + "!") and ends the
// process with status 0, once the notification is dismissed. The quit flag and the incoming
// queue must exist; one listener at a time.
void* ServerThread(void* unused);
