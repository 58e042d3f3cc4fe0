#include "platform/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

struct Socket {
    int fd = -1;
    int32_t remoteIp = 0;
    // Bytes that a peek has shown and no receive has taken yet: they are certainly waiting, so
    // the liveness test can answer without asking the system.
    int32_t seenUnread = 0;

    Socket() = default;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() { Close(); }

    void Close() {
        // On Linux the descriptor is gone even when close reports EINTR, so never retry.
        if (fd >= 0) ::close(fd);
        fd = -1;
        seenUnread = 0;
    }
};

namespace {

// Returns a new handle that owns fd.
Socket* Adopt(int fd, int32_t remoteIp) {
    auto socket = std::make_unique<Socket>();
    socket->fd = fd;
    socket->remoteIp = remoteIp;
    return socket.release();
}

// Returns the poll result for POLLIN on fd: 1 when ready, 0 when not, -1 when the test failed.
int PollReadable(int fd, int32_t timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs < 0 ? 0 : timeoutMs);
}

// Returns what recv returns, retrying calls that a signal interrupted.
int32_t Receive(Socket* socket, char* buffer, int32_t count, int flags) {
    if (socket->fd < 0 || count < 0) return -1;
    for (;;) {
        const ssize_t received = ::recv(socket->fd, buffer, static_cast<size_t>(count), flags);
        if (received >= 0) return static_cast<int32_t>(received);
        if (errno != EINTR) return -1;
    }
}

}  // namespace

Socket* CreateTcpSocket() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    return Adopt(fd, 0);
}

bool BindSocket(Socket* socket, int32_t port) {
    if (socket->fd < 0) return false;
    // Lets a new listener take the port while connections that an earlier one closed are in
    // TIME_WAIT; on Linux it does not let two sockets listen on one port.
    const int reuse = 1;
    ::setsockopt(socket->fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<uint16_t>(static_cast<uint32_t>(port) & 0xFFFFu));
    return ::bind(socket->fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool ListenSocket(Socket* socket, int32_t backlog) {
    if (socket->fd < 0) return false;
    // Accepting only ever follows a readiness test, so a connection that vanishes between the
    // two must make accept fail at once instead of blocking the listener.
    const int flags = ::fcntl(socket->fd, F_GETFL);
    if (flags >= 0) ::fcntl(socket->fd, F_SETFL, flags | O_NONBLOCK);
    return ::listen(socket->fd, backlog) == 0;
}

Socket* AcceptSocket(Socket* listener, int32_t timeoutMs) {
    if (listener->fd < 0 || PollReadable(listener->fd, timeoutMs) != 1) return nullptr;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    // The accepted socket blocks, whatever the listener does.
    const int fd =
        ::accept4(listener->fd, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    if (fd < 0) return nullptr;
    const bool haveIp = length >= sizeof peer && peer.sin_family == AF_INET;
    return Adopt(fd, haveIp ? static_cast<int32_t>(ntohl(peer.sin_addr.s_addr)) : 0);
}

int32_t SocketRemoteIp(const Socket* socket) { return socket->remoteIp; }

int32_t SocketLocalPort(const Socket* socket) {
    if (socket->fd < 0) return 0;
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket->fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        address.sin_family != AF_INET) {
        return 0;
    }
    return ntohs(address.sin_port);
}

bool SocketReadable(Socket* socket, int32_t timeoutMs) {
    return socket->fd >= 0 && PollReadable(socket->fd, timeoutMs) == 1;
}

int32_t SocketReadAvail(const Socket* socket) {
    int available = 0;
    if (socket->fd < 0 || ::ioctl(socket->fd, FIONREAD, &available) != 0 || available < 0) {
        return 0;
    }
    return available;
}

int32_t ReceiveSocket(Socket* socket, char* buffer, int32_t count) {
    const int32_t received = Receive(socket, buffer, count, 0);
    socket->seenUnread =
        received > 0 && received < socket->seenUnread ? socket->seenUnread - received : 0;
    return received;
}

int32_t PeekSocket(Socket* socket, char* buffer, int32_t count) {
    const int32_t peeked = Receive(socket, buffer, count, MSG_PEEK);
    if (peeked > socket->seenUnread) socket->seenUnread = peeked;
    return peeked;
}

bool SocketConnected(Socket* socket) {
    if (socket->fd < 0) return false;
    // Waiting bytes make the socket readable with something to read: alive, as the system
    // would say.
    if (socket->seenUnread > 0) return true;
    if (PollReadable(socket->fd, 0) != 1) return true;
    if (SocketReadAvail(socket) > 0) return true;
    socket->Close();
    return false;
}

void CloseSocket(Socket* socket) { socket->Close(); }

void FreeSocket(Socket* socket) { delete socket; }
