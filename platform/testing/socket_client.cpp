#include "platform/testing/socket_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string>

namespace {

constexpr int kConnectTimeoutSeconds = 20;

// Low enough that filling it is quick, high enough for what a test process already holds.
constexpr rlim_t kHogLimit = 256;

sockaddr_in LoopbackAddress(uint32_t ip, int32_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(ip);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

}  // namespace

LoopbackClient::LoopbackClient(int32_t port, uint32_t fromIp) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    const timeval limit{kConnectTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const sockaddr_in from = LoopbackAddress(fromIp, 0);
    const sockaddr_in to = LoopbackAddress(kLoopbackIp, port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0 ||
        ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

LoopbackClient::~LoopbackClient() { Close(); }

bool LoopbackClient::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        if (fd_ < 0) return false;
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

void LoopbackClient::ShutdownWrite() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
}

void LoopbackClient::Reset() {
    if (fd_ < 0) return;
    const linger abort{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    Close();
}

void LoopbackClient::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool LoopbackClient::WaitServerClose(int32_t timeoutMs) {
    if (fd_ < 0) return false;
    pollfd entry{fd_, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) != 1) return false;
    char byte = 0;
    const ssize_t received = ::recv(fd_, &byte, 1, MSG_DONTWAIT);
    return received == 0 || (received < 0 && errno == ECONNRESET);
}

std::vector<int32_t> ListeningPorts() {
    std::vector<int32_t> ports;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        int fd = -1;
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc()) {
            continue;
        }
        int listening = 0;
        socklen_t size = sizeof listening;
        if (::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0 || !listening) {
            continue;
        }
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
            address.sin_family == AF_INET) {
            ports.push_back(ntohs(address.sin_port));
        }
    }
    return ports;
}

DescriptorHog::DescriptorHog() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0) return;
    savedLimit_ = files.rlim_cur;
    holding_ = true;
    files.rlim_cur = kHogLimit < files.rlim_cur ? kHogLimit : files.rlim_cur;
    ::setrlimit(RLIMIT_NOFILE, &files);
    const int first = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (first < 0) return;
    taken_.push_back(first);
    for (;;) {
        const int copy = ::fcntl(first, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) break;
        taken_.push_back(copy);
    }
}

DescriptorHog::~DescriptorHog() { Release(); }

void DescriptorHog::Release() {
    for (const int fd : taken_) ::close(fd);
    taken_.clear();
    if (!holding_) return;
    holding_ = false;
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0) return;
    files.rlim_cur = savedLimit_;
    ::setrlimit(RLIMIT_NOFILE, &files);
}
