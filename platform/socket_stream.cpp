#include "platform/socket_stream.h"

#include <memory>
#include <vector>

namespace {

// How much of what has arrived one look takes in: long lines cost one peek and one receive
// per window, short ones one of each per line.
constexpr int32_t kWindowBytes = 8 * 1024;

struct SocketFree {
    void operator()(Socket* socket) const { FreeSocket(socket); }
};

}  // namespace

struct SocketStream {
    std::unique_ptr<Socket, SocketFree> socket;
    std::vector<char> window = std::vector<char>(kWindowBytes);
};

namespace {

// Takes count bytes that a peek has already seen out of the socket. Returns false when the
// connection failed meanwhile.
bool Consume(SocketStream* stream, size_t count) {
    while (count > 0) {
        const int32_t received =
            ReceiveSocket(stream->socket.get(), stream->window.data(), static_cast<int32_t>(count));
        if (received <= 0) return false;
        count -= static_cast<size_t>(received);
    }
    return true;
}

}  // namespace

SocketStream* CreateSocketStream(Socket* socket) {
    auto stream = std::make_unique<SocketStream>();
    stream->socket.reset(socket);
    return stream.release();
}

Text ReadLine(SocketStream* stream) {
    // Look at what has arrived without taking it, find where the line ends, then take exactly
    // that much: the bytes after the terminator stay in the socket.
    Text line;
    for (;;) {
        const int32_t peeked =
            PeekSocket(stream->socket.get(), stream->window.data(), kWindowBytes);
        if (peeked <= 0) return line;
        const LineScan scan =
            ScanLine(std::string_view(stream->window.data(), static_cast<size_t>(peeked)), line);
        if (!Consume(stream, scan.consumed) || scan.ended) return line;
    }
}

void FreeSocketStream(SocketStream* stream) { delete stream; }
