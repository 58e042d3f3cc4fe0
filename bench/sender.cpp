#include "bench/sender.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "bench/monotonic.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001;
// A stalled program makes a write wait this long at most, so no sender hangs for ever.
constexpr int kSendTimeoutSeconds = 30;
// Lines per large write: just under 64 KiB.
constexpr size_t kChunkLines = 1638;

constexpr size_t kClientDigits = 2;
constexpr size_t kSeqDigits = 10;
constexpr size_t kStampDigits = 20;
constexpr size_t kSeqAt = kClientDigits + 1;
constexpr size_t kStampAt = kSeqAt + kSeqDigits + 1;
constexpr size_t kPadAt = kStampAt + kStampDigits;

void WriteDigits(char* out, size_t width, uint64_t value) {
    for (size_t i = width; i > 0; --i) {
        out[i - 1] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// Returns the decimal number in width characters at text[at], or false when one is no digit.
bool ReadDigits(std::u16string_view text, size_t at, size_t width, uint64_t& value) {
    value = 0;
    for (size_t i = at; i < at + width; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
        value = value * 10 + static_cast<uint64_t>(text[i] - u'0');
    }
    return true;
}

}  // namespace

void FormatLine(char* out, int client, uint64_t seq, int64_t stampNs) {
    WriteDigits(out, kClientDigits, static_cast<uint64_t>(client));
    out[kClientDigits] = ' ';
    WriteDigits(out + kSeqAt, kSeqDigits, seq);
    out[kSeqAt + kSeqDigits] = ' ';
    WriteDigits(out + kStampAt, kStampDigits, static_cast<uint64_t>(stampNs));
    std::memset(out + kPadAt, '.', kMessageChars - kPadAt);
    out[kMessageChars] = '\n';
}

LineFields ParseMessage(std::u16string_view message) {
    LineFields fields;
    uint64_t client = 0;
    uint64_t stamp = 0;
    if (message.size() != kMessageChars || !ReadDigits(message, 0, kClientDigits, client) ||
        !ReadDigits(message, kSeqAt, kSeqDigits, fields.seq) ||
        !ReadDigits(message, kStampAt, kStampDigits, stamp)) {
        return fields;
    }
    fields.client = static_cast<int>(client);
    fields.stampNs = static_cast<int64_t>(stamp);
    fields.ok = true;
    return fields;
}

Sender::Sender(int32_t port, int client, bool noDelay) : client_(client) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    const timeval limit{kSendTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const int on = 1;
    if (noDelay) ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(kLoopback);
    to.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    chunk_.resize(kChunkLines * kLineBytes);
}

Sender::~Sender() {
    if (fd_ >= 0) ::close(fd_);
}

bool Sender::SendAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

bool Sender::SendChunk(size_t count) {
    for (size_t i = 0; i < count; ++i) FormatLine(&chunk_[i * kLineBytes], client_, next_ + i, 0);
    next_ += count;
    return SendAll(std::string_view(chunk_.data(), count * kLineBytes));
}

bool Sender::SendLines(uint64_t count) {
    if (fd_ < 0) return false;
    while (count > 0) {
        const size_t lines = count < kChunkLines ? static_cast<size_t>(count) : kChunkLines;
        if (!SendChunk(lines)) return false;
        count -= lines;
    }
    return true;
}

bool Sender::Flood(const std::atomic<bool>& stop) {
    if (fd_ < 0) return false;
    while (!stop.load(std::memory_order_relaxed)) {
        if (!SendChunk(kChunkLines)) return false;
    }
    return true;
}

bool Sender::SendStampedLine() {
    if (fd_ < 0) return false;
    char line[kLineBytes];
    FormatLine(line, client_, next_, NowNs());
    ++next_;
    return SendAll(std::string_view(line, kLineBytes));
}
