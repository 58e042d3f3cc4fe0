// The reading side of a connected socket: lines, one at a time, by the rules of line_scan.h.
//
// A line ends at its terminator, at the length bound kLineLimit, or when the connection ends
// (the peer's orderly close or an error): the bytes since the last terminator are then the
// line. The stream takes from the socket no byte beyond the one that ends the line, so after
// ReadLine returns, everything the peer sent after that byte is still in the socket, where
// SocketConnected and SocketReadAvail count it. A stream belongs to one thread at a time.
#pragma once

#include "platform/line_scan.h"
#include "platform/socket.h"
#include "platform/text.h"

struct SocketStream;  // A socket, owned, and the window through which it is read. Opaque.

// Returns a stream over socket, which it owns from now on: freeing the stream frees the
// socket. Never fails.
SocketStream* CreateSocketStream(Socket* socket);

// Reads one line and returns it without its terminator, blocking until the line has ended.
// Returns the empty text for an empty line, and whatever had arrived (perhaps nothing) when
// the connection ended or the socket is closed.
Text ReadLine(SocketStream* stream);

// Closes the socket if it is still open and frees it with the stream. Null is ignored.
void FreeSocketStream(SocketStream* stream);
