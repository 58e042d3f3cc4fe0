// Test peers for the socket layer and the receiver: a client that connects over loopback and
// sends, a look at this process's listening sockets, and a way to run out of descriptors.
// Tests only; every wait here has a deadline.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

constexpr uint32_t kLoopbackIp = 0x7F000001;  // 127.0.0.1

// One TCP connection to 127.0.0.1, made at construction and closed at destruction.
class LoopbackClient {
  public:
    // Connects from fromIp (any address of 127.0.0.0/8, so that tests can tell senders apart)
    // to port on 127.0.0.1, giving up after 20 seconds. Connected() tells whether it worked.
    explicit LoopbackClient(int32_t port, uint32_t fromIp = kLoopbackIp);
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    bool Connected() const { return fd_ >= 0; }

    // Sends every byte. Returns false when the connection fails first.
    bool Send(std::string_view bytes);

    // Closes the sending side: the server reads the end of the stream, and the client can still
    // see the server close.
    void ShutdownWrite();

    // Closes with a reset instead of an orderly close.
    void Reset();

    // Closes in order.
    void Close();

    // Waits at most timeoutMs for the server to close the connection. Returns true when it did
    // without sending a byte, false when it did not in time or sent something.
    bool WaitServerClose(int32_t timeoutMs);

  private:
    int fd_ = -1;
};

// Returns the TCP ports on which this process has IPv4 sockets listening, in no order.
std::vector<int32_t> ListeningPorts();

// While it lives, every descriptor the process may open is taken, so that creating or
// accepting a socket fails for want of one. The soft limit is lowered for the while and
// restored afterwards.
class DescriptorHog {
  public:
    DescriptorHog();
    ~DescriptorHog();
    DescriptorHog(const DescriptorHog&) = delete;
    DescriptorHog& operator=(const DescriptorHog&) = delete;

    // Gives the descriptors and the limit back now.
    void Release();

  private:
    std::vector<int> taken_;
    uint64_t savedLimit_ = 0;
    bool holding_ = false;
};
