// The connection reader: one thread per accepted connection, which reads lines from its socket
// and queues every non-empty one with the peer's address.
//
// Lines end at a line feed or a NUL byte, carriage returns are dropped, each byte becomes one
// character, and the end of the connection ends the last line (see platform/line_scan.h). A
// line of kLineLimit characters is queued as it stands and the rest follows as the next line.
#pragma once

#include <cstdint>

#include "platform/socket.h"
#include "platform/socket_stream.h"

// The state of one connection thread; lives as long as the thread.
struct Connection {
    int32_t ip = 0;                  // The peer's address as recorded at acceptance; 0 if none.
    Socket* socket = nullptr;        // The accepted socket; the stream owns it once there is one.
    SocketStream* stream = nullptr;  // Null until the first liveness test has passed.
};

// Thread entry of a connection; acceptedSocket is a Socket* from AcceptSocket, owned by this
// thread from its start. Reads and queues lines until the peer closes, the connection fails,
// or the quit flag is found set after a line; then closes the socket exactly once and returns
// null. Queues through AddIncoming, so the incoming queue and quitMutex must exist.
void* ConnectionThread(void* acceptedSocket);
