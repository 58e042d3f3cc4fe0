#include "platform/socket.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/testing/socket_client.h"
#include "platform/testing/wait_until.h"

namespace {

constexpr int32_t kDeadlineMs = 10'000;

// A listener on a port that the system picks, and a way to take its next connection.
class SocketTest : public ::testing::Test {
  protected:
    void SetUp() override {
        listener_ = CreateTcpSocket();
        ASSERT_NE(listener_, nullptr);
        ASSERT_TRUE(BindSocket(listener_, 0));
        ASSERT_TRUE(ListenSocket(listener_, 5));
        port_ = SocketLocalPort(listener_);
        ASSERT_NE(port_, 0);
    }
    void TearDown() override { FreeSocket(listener_); }

    // Returns the next accepted connection, or null when none comes in time.
    Socket* Accept() {
        Socket* accepted = nullptr;
        WaitUntil([&] { return (accepted = AcceptSocket(listener_, 50)) != nullptr; }, kDeadlineMs);
        return accepted;
    }

    Socket* listener_ = nullptr;
    int32_t port_ = 0;
};

TEST_F(SocketTest, AcceptWithZeroTimeoutIsAPollAndRecordsThePeerAddress) {
    EXPECT_EQ(AcceptSocket(listener_, 0), nullptr);  // Nobody is waiting: no block, no socket.

    LoopbackClient client(port_, 0x7F000002);
    ASSERT_TRUE(client.Connected());
    Socket* accepted = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (accepted = AcceptSocket(listener_, 0)) != nullptr; }, kDeadlineMs));
    EXPECT_EQ(SocketRemoteIp(accepted), 0x7F000002);
    EXPECT_EQ(SocketLocalPort(accepted), port_);
    EXPECT_EQ(AcceptSocket(listener_, 0), nullptr);  // One connection, one accept.
    FreeSocket(accepted);
}

TEST_F(SocketTest, BindFailsWhileAnotherSocketListensOnThePort) {
    Socket* second = CreateTcpSocket();
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(BindSocket(second, port_));
    FreeSocket(second);
}

TEST_F(SocketTest, PortIsFreeAgainWhileConnectionsOfAClosedListenerLinger) {
    LoopbackClient client(port_);
    Socket* accepted = Accept();
    ASSERT_NE(accepted, nullptr);
    // The server side closes first, so its end of the connection stays in TIME_WAIT.
    FreeSocket(accepted);
    EXPECT_TRUE(client.WaitServerClose(kDeadlineMs));
    client.Close();
    FreeSocket(listener_);

    listener_ = CreateTcpSocket();
    ASSERT_NE(listener_, nullptr);
    EXPECT_TRUE(BindSocket(listener_, port_));
}

TEST(Socket, BindUsesTheLow16BitsOfThePort) {
    const int32_t stored[] = {4464, 70000, -61072};  // All three are port 4464.
    for (const int32_t port : stored) {
        Socket* socket = CreateTcpSocket();
        ASSERT_NE(socket, nullptr);
        if (!BindSocket(socket, port)) {
            FreeSocket(socket);
            GTEST_SKIP() << "port 4464 is in use on this machine";
        }
        EXPECT_EQ(SocketLocalPort(socket), 4464) << port;
        FreeSocket(socket);
    }
}

TEST(Socket, AClosedSocketFailsEveryOperationQuietly) {
    Socket* socket = CreateTcpSocket();
    ASSERT_NE(socket, nullptr);
    CloseSocket(socket);
    CloseSocket(socket);
    char byte = 0;
    EXPECT_FALSE(SocketConnected(socket));
    EXPECT_FALSE(BindSocket(socket, 0));
    EXPECT_FALSE(ListenSocket(socket, 5));
    EXPECT_EQ(AcceptSocket(socket, 0), nullptr);
    EXPECT_FALSE(SocketReadable(socket, 0));
    EXPECT_EQ(SocketReadAvail(socket), 0);
    EXPECT_EQ(ReceiveSocket(socket, &byte, 1), -1);
    EXPECT_EQ(PeekSocket(socket, &byte, 1), -1);
    EXPECT_EQ(SocketLocalPort(socket), 0);
    FreeSocket(socket);
    FreeSocket(nullptr);
}

TEST_F(SocketTest, EverySocketDescriptorIsCloseOnExec) {
    LoopbackClient client(port_);
    Socket* accepted = Accept();
    ASSERT_NE(accepted, nullptr);
    int sockets = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        struct stat status {};
        if (fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode)) continue;
        ++sockets;
        EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC) << "descriptor " << fd;
    }
    EXPECT_GE(sockets, 3);  // Listener, client, accepted.
    FreeSocket(accepted);
}

enum class Peer { Idle, Sends, SendsThenCloses, Closes, Resets };

struct LivenessCase {
    Peer peer;
    bool alive;
    int32_t available;  // What is left to read after the test.
};

TEST_F(SocketTest, LivenessTestNeverBlocksAndClosesADeadSocket) {
    const LivenessCase cases[] = {
        {Peer::Idle, true, 0},
        {Peer::Sends, true, 2},
        {Peer::SendsThenCloses, true, 2},  // Alive until what was sent has been read.
        {Peer::Closes, false, 0},
        {Peer::Resets, false, 0},
    };
    for (const LivenessCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.peer));
        LoopbackClient client(port_);
        Socket* accepted = Accept();
        ASSERT_NE(accepted, nullptr);
        if (c.peer == Peer::Sends || c.peer == Peer::SendsThenCloses) {
            ASSERT_TRUE(client.Send("ab"));
            ASSERT_TRUE(WaitUntil([&] { return SocketReadAvail(accepted) == 2; }, kDeadlineMs));
        }
        if (c.peer == Peer::SendsThenCloses || c.peer == Peer::Closes) client.Close();
        if (c.peer == Peer::Resets) client.Reset();
        if (c.peer == Peer::Closes || c.peer == Peer::Resets) {
            // The end of the connection has arrived once the socket turns readable.
            ASSERT_TRUE(WaitUntil([&] { return SocketReadable(accepted, 0); }, kDeadlineMs));
        }

        EXPECT_EQ(SocketConnected(accepted), c.alive);
        EXPECT_EQ(SocketReadAvail(accepted), c.available);
        EXPECT_EQ(SocketConnected(accepted), c.alive);  // Asking again changes nothing.
        if (c.peer == Peer::SendsThenCloses) {
            char bytes[2];
            EXPECT_EQ(ReceiveSocket(accepted, bytes, 2), 2);
            EXPECT_TRUE(WaitUntil([&] { return SocketReadable(accepted, 0); }, kDeadlineMs));
            EXPECT_FALSE(SocketConnected(accepted));
        }
        if (!SocketConnected(accepted)) {
            char byte = 0;
            EXPECT_EQ(ReceiveSocket(accepted, &byte, 1), -1);  // Closed by the test.
        }
        FreeSocket(accepted);
    }
}

}  // namespace
