#include "platform/socket_stream.h"

#include <memory>
#include <vector>

namespace {

// How much of what has arrived one look takes in: long lines cost one peek and one receive
// per window; short ones share a peek and cost one receive each.
constexpr int32_t kWindowBytes = 8 * 1024;

struct SocketFree {
    void operator()(Socket* socket) const { FreeSocket(socket); }
};

}  // namespace

struct SocketStream {
    std::unique_ptr<Socket, SocketFree> socket;
    // window[start, end) is what the last peek saw and no receive has taken yet: the bytes at
    // the head of the socket, in order.
    std::vector<char> window = std::vector<char>(kWindowBytes);
    size_t start = 0;
    size_t end = 0;
};

namespace {

// Takes the next count bytes of the window out of the socket, where they still are; the
// receive writes the same bytes over them. Returns false when the connection failed meanwhile.
bool Consume(SocketStream* stream, size_t count) {
    while (count > 0) {
        const int32_t received =
            ReceiveSocket(stream->socket.get(), stream->window.data() + stream->start,
                          static_cast<int32_t>(count));
        if (received <= 0) return false;
        stream->start += static_cast<size_t>(received);
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
    // that much: the bytes after the terminator stay in the socket. What one look saw serves
    // the following lines until it is used up.
    Text line;
    for (;;) {
        if (stream->start == stream->end) {
            const int32_t peeked =
                PeekSocket(stream->socket.get(), stream->window.data(), kWindowBytes);
            if (peeked <= 0) return line;
            stream->start = 0;
            stream->end = static_cast<size_t>(peeked);
        }
        const size_t before = line.size();
        const LineScan scan = ScanLine(
            std::string_view(stream->window.data() + stream->start, stream->end - stream->start),
            line);
        if (!Consume(stream, scan.consumed)) {
            // Only bytes taken from the socket belong to the line.
            line.resize(before);
            stream->start = stream->end = 0;
            return line;
        }
        if (scan.ended) return line;
    }
}

void FreeSocketStream(SocketStream* stream) { delete stream; }
