// IPv4 TCP sockets: the receiver's listening socket and the connections it accepts. The
// program only ever receives; nothing here sends a byte.
//
// A socket belongs to one thread at a time; handing it to another thread hands it over whole.
// Every descriptor is close-on-exec. Functions that take a closed socket fail as stated, they
// do not crash. Addresses are 32-bit numbers whose most significant byte is the first octet of
// the dotted form.
#pragma once

#include <cstdint>

struct Socket;  // An IPv4 TCP socket and what was recorded when it was accepted. Opaque.

// Returns a new, unbound IPv4 TCP stream socket, or null when the system gives none (for
// example, the process is out of descriptors).
Socket* CreateTcpSocket();

// Binds the socket to every IPv4 interface (0.0.0.0) on the low 16 bits of port; 0 lets the
// system choose a free port. The address may be reused while connections of an earlier
// listener linger in TIME_WAIT, but never while another socket listens on the port. Returns
// false when the bind fails (for example, the port is in use).
bool BindSocket(Socket* socket, int32_t port);

// Makes a bound socket listen, with room for backlog connections that wait to be accepted.
// Returns false on failure.
bool ListenSocket(Socket* socket, int32_t backlog);

// Accepts one waiting connection, waiting for one at most timeoutMs (0: look once and never
// block). Returns the connected socket, which records the peer's address, or null when there
// is none in time or the accept fails for any reason (an interrupted call, a peer that reset
// before its accept, no descriptor left): callers just try again later.
Socket* AcceptSocket(Socket* listener, int32_t timeoutMs);

// Returns the peer's IPv4 address as recorded at acceptance; 0 when the system gave none or
// the socket was not accepted.
int32_t SocketRemoteIp(const Socket* socket);

// Returns the local port the socket is bound to, or 0 when it is unbound or closed.
int32_t SocketLocalPort(const Socket* socket);

// Waits at most timeoutMs (0: not at all) for the socket to become readable: data, the peer's
// close or an error. Returns false when it is not, when the test fails or the socket is closed.
bool SocketReadable(Socket* socket, int32_t timeoutMs);

// Returns how many bytes can be received now without blocking; 0 when none, when the query
// fails or the socket is closed.
int32_t SocketReadAvail(const Socket* socket);

// Receives up to count bytes into buffer, blocking until at least one has arrived. Returns the
// number received, 0 when the peer has closed, -1 on an error or a closed socket.
int32_t ReceiveSocket(Socket* socket, char* buffer, int32_t count);

// Like ReceiveSocket, but leaves the bytes in the socket: the next receive gets them again.
int32_t PeekSocket(Socket* socket, char* buffer, int32_t count);

// The liveness test; never blocks. A closed socket is dead. A socket that is not readable now
// (or whose readiness test fails), or that has bytes to read, is alive. A readable socket with
// nothing to read has been closed by its peer or has failed: it is closed now, and is dead.
bool SocketConnected(Socket* socket);

// Closes the descriptor; the handle stays valid and counts as closed. Closing a closed socket
// does nothing.
void CloseSocket(Socket* socket);

// Closes the socket if it is still open and frees the handle. Null is ignored.
void FreeSocket(Socket* socket);
