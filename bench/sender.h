// Loopback senders for the benchmarks: TCP connections to the program's port on 127.0.0.1
// that write 40-byte lines as a client of the program would.
//
// Every line is 39 characters and a line feed: the sender's number (2 digits), its line number
// (10 digits) and a send time (20 digits, NowNs(), 0 when not stamped), separated by spaces and
// padded with dots. The program shows it from 127.0.0.1, so each display line is exactly
// kDisplayLineChars characters, and its fields tell who sent it, in which order and when.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t kLineBytes = 40;
constexpr size_t kMessageChars = kLineBytes - 1;
// "[From 127.0.0.1]", a tab, the message and a line feed.
constexpr size_t kDisplayPrefixChars = 17;
constexpr size_t kDisplayLineChars = kDisplayPrefixChars + kMessageChars + 1;

// Writes line seq of sender client, with its send time, as kLineBytes bytes at out.
void FormatLine(char* out, int client, uint64_t seq, int64_t stampNs);

// The fields of a received message (without its line feed); ok is false when it is not one
// that FormatLine made.
struct LineFields {
    bool ok = false;
    int client = 0;
    uint64_t seq = 0;
    int64_t stampNs = 0;
};
LineFields ParseMessage(std::u16string_view message);

// One connection to 127.0.0.1:port that sends numbered lines, from line 0 on. Owned by one
// thread at a time.
class Sender {
  public:
    // Connects; over loopback that is done or refused at once. Connected() tells whether it
    // worked. With noDelay each write leaves at once instead of waiting to join the next.
    Sender(int32_t port, int client, bool noDelay);
    ~Sender();
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    bool Connected() const { return fd_ >= 0; }

    // Sends the next count lines, unstamped, in large writes. Returns false when the connection
    // fails first.
    bool SendLines(uint64_t count);

    // Sends unstamped lines in large writes until stop is set. Returns false when the
    // connection fails first.
    bool Flood(const std::atomic<bool>& stop);

    // Sends the next line on its own, stamped just before the write.
    bool SendStampedLine();

    // Lines sent so far.
    uint64_t Sent() const { return next_; }

  private:
    bool SendAll(std::string_view bytes);
    // Fills the chunk with the next count lines and sends them.
    bool SendChunk(size_t count);

    int fd_ = -1;
    int client_;
    uint64_t next_ = 0;
    std::string chunk_;
};
