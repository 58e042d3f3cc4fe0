#include "fuzz/memory_socket.h"

#include <algorithm>
#include <cstring>

namespace {

// Any call on a socket that was freed is a use after free in the real layer.
void MustBeLive(const Socket* socket) {
    if (socket->frees != 0) __builtin_trap();
}

// Lets the next chunk arrive; returns false when everything has arrived already.
bool Arrive(Socket* socket) {
    if (socket->arrived == socket->bytes.size()) return false;
    size_t size = socket->bytes.size() - socket->arrived;
    if (socket->nextChunk < socket->chunks.size()) {
        size = std::min(size, std::max<size_t>(socket->chunks[socket->nextChunk], 1));
    }
    ++socket->nextChunk;
    socket->arrived += size;
    return true;
}

size_t Available(const Socket* socket) { return socket->arrived - socket->taken; }

// What a blocking receive gives: waits for data, then copies up to count bytes; 0 at an
// orderly end, -1 after a reset or on a closed socket.
int32_t Receive(Socket* socket, char* buffer, int32_t count, bool take) {
    MustBeLive(socket);
    if (!socket->open || count < 0) return -1;
    while (Available(socket) == 0) {
        if (!Arrive(socket)) return socket->endIsReset ? -1 : 0;
    }
    const size_t size = std::min(Available(socket), static_cast<size_t>(count));
    std::memcpy(buffer, socket->bytes.data() + socket->taken, size);
    if (take) socket->taken += size;
    return static_cast<int32_t>(size);
}

}  // namespace

void ResetMemorySocket(Socket& socket, std::string bytes, std::vector<size_t> chunks) {
    socket = Socket();
    socket.bytes = std::move(bytes);
    socket.chunks = std::move(chunks);
    socket.ip = 0x7F000001;
}

int32_t SocketRemoteIp(const Socket* socket) {
    MustBeLive(socket);
    return socket->ip;
}

int32_t SocketReadAvail(const Socket* socket) {
    MustBeLive(socket);
    return socket->open ? static_cast<int32_t>(Available(socket)) : 0;
}

int32_t ReceiveSocket(Socket* socket, char* buffer, int32_t count) {
    return Receive(socket, buffer, count, true);
}

int32_t PeekSocket(Socket* socket, char* buffer, int32_t count) {
    return Receive(socket, buffer, count, false);
}

bool SocketConnected(Socket* socket) {
    MustBeLive(socket);
    if (!socket->open) return false;
    if (socket->arriveOnTest && Available(socket) == 0) Arrive(socket);
    const bool everythingArrived = socket->arrived == socket->bytes.size();
    const bool readable = Available(socket) > 0 || everythingArrived;
    if (!readable || SocketReadAvail(socket) > 0) return true;
    CloseSocket(socket);
    return false;
}

void CloseSocket(Socket* socket) {
    MustBeLive(socket);
    if (socket->open) ++socket->closes;
    socket->open = false;
}

void FreeSocket(Socket* socket) {
    MustBeLive(socket);
    CloseSocket(socket);
    ++socket->frees;
}
