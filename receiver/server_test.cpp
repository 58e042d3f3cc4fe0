#include "receiver/server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/socket.h"
#include "platform/testing/socket_client.h"
#include "platform/testing/wait_until.h"
#include "receiver/quit_flag.h"
#include "receiver/testing/receiver_testing.h"

namespace {

constexpr int32_t kDeadlineMs = 10'000;
constexpr int32_t kWrappedPort = 4464;  // The low 16 bits of 70000 and of -61072.

// Returns a socket listening on port (0: one the system picks), or null when it cannot.
Socket* Occupy(int32_t port) {
    Socket* socket = CreateTcpSocket();
    if (socket != nullptr && BindSocket(socket, port) && ListenSocket(socket, 5)) return socket;
    FreeSocket(socket);
    return nullptr;
}

// Sends one line over a new connection and waits for the server to close it.
bool DeliverLine(int32_t port, const std::string& line) {
    LoopbackClient client(port);
    if (!client.Send(line + "\n")) return false;
    client.ShutdownWrite();
    return client.WaitServerClose(kDeadlineMs);
}

TEST(Server, ListensOnTheLow16BitsOfTheStoredPortOrOneTheSystemPicks) {
    const int32_t stored[] = {0, 70000, -61072};
    for (const int32_t port : stored) {
        SCOPED_TRACE(port);
        if (port != 0) {
            Socket* probe = Occupy(kWrappedPort);
            if (probe == nullptr) GTEST_SKIP() << "port 4464 is in use on this machine";
            FreeSocket(probe);
        }
        TestListener listener = StartListener(port);
        ASSERT_NE(listener.port, 0);
        if (port != 0) {
            EXPECT_EQ(listener.port, kWrappedPort);
        }
        EXPECT_TRUE(DeliverLine(listener.port, "hello"));
        const std::vector<Incoming> records = CollectIncoming(1, kDeadlineMs);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].message, u"hello");
        EXPECT_EQ(records[0].ip, static_cast<int32_t>(kLoopbackIp));
        EXPECT_TRUE(StopListener(listener));
    }
}

std::atomic<bool> listenerMayStart{false};

void* ServerThreadWhenAllowed(void* unused) {
    WaitUntil([] { return listenerMayStart.load(); }, kDeadlineMs);
    return ServerThread(unused);
}

// In a child process: runs the listener and gives it time to end the process itself. The
// thread is started before the descriptors run out, since the sanitizers' own checks need one
// while a thread starts, and the listener begins once they have.
void RunListenerToItsEnd(int32_t storedPort, bool withoutDescriptors) {
    ResetReceiver();
    serverPort = storedPort;
    Thread* thread = CreateThread(ServerThreadWhenAllowed, nullptr);
    if (thread == nullptr) return;
    std::unique_ptr<DescriptorHog> hog;
    if (withoutDescriptors) hog = std::make_unique<DescriptorHog>();
    listenerMayStart = true;
    WaitUntil([&] { return !ThreadRunning(thread); }, kDeadlineMs);
}

struct FailureCase {
    int32_t storedPort;
    int32_t occupiedPort;  // -1: none; 0: one the system picks, which is then stored.
    bool withoutDescriptors;
    std::string notification;
};

TEST(ServerDeathTest, AStartFailureIsNotifiedAndEndsTheProcessWithStatusZero) {
    Socket* occupied = Occupy(0);
    ASSERT_NE(occupied, nullptr);
    const int32_t busyPort = SocketLocalPort(occupied);
    Socket* wrapped = Occupy(kWrappedPort);  // Null when someone else holds it: busy anyway.
    const FailureCase cases[] = {
        {busyPort, 0, false, "Couldn't bind to port " + std::to_string(busyPort) + "!"},
        {70000, kWrappedPort, false, "Couldn't bind to port 70000!"},
        {-61072, kWrappedPort, false, "Couldn't bind to port -61072!"},
        {0, -1, true, "Couldn't create server!"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.notification);
        EXPECT_EXIT(RunListenerToItsEnd(c.storedPort, c.withoutDescriptors),
                    ::testing::ExitedWithCode(0), "notify\\(1\\): " + c.notification + "\n");
    }
    FreeSocket(wrapped);
    FreeSocket(occupied);
}

TEST(Server, QuitWithNoConnectionEndsTheListenerWithinACycle) {
    TestListener listener = StartListener(0);
    ASSERT_NE(listener.port, 0);
    EXPECT_TRUE(StopListener(listener, 1000));
    const std::vector<int32_t> ports = ListeningPorts();  // The socket is closed.
    EXPECT_EQ(std::find(ports.begin(), ports.end(), listener.port), ports.end());
}

TEST(Server, QuitWaitsForAnOpenConnectionUntilItsLineEnds) {
    TestListener listener = StartListener(0);
    ASSERT_NE(listener.port, 0);
    LoopbackClient client(listener.port);
    ASSERT_TRUE(WaitUntil([] { return RegisteredConnections() == 1; }, kDeadlineMs));

    QuitFlag(1);
    EXPECT_FALSE(WaitUntil([&] { return !ThreadRunning(listener.thread); }, 300));
    // The line in progress still ends, is queued, and then the server closes the connection.
    ASSERT_TRUE(client.Send("last\n"));
    EXPECT_TRUE(client.WaitServerClose(kDeadlineMs));
    const std::vector<Incoming> records = CollectIncoming(1, kDeadlineMs);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, u"last");
    EXPECT_TRUE(StopListener(listener));
}

constexpr int kLinesPerClient = 20;

struct Sender {
    int32_t port = 0;
    int index = 0;
    uint32_t ip = 0;
    std::unique_ptr<LoopbackClient> client;
    std::atomic<bool> closedByServer{false};
};

std::string LineOf(int client, int line) {
    return "client " + std::to_string(client) + " line " + std::to_string(line);
}

void* SendLines(void* argument) {
    auto* sender = static_cast<Sender*>(argument);
    for (int line = 0; line < kLinesPerClient; ++line) {
        if (!sender->client->Send(LineOf(sender->index, line) + "\n")) return nullptr;
    }
    sender->client->ShutdownWrite();
    sender->closedByServer = sender->client->WaitServerClose(30'000);
    return nullptr;
}

TEST(Server, ClientsSendingAtOnceEachGetEveryLineDeliveredInOrderFromTheirAddress) {
    for (const int clients : {2, 50}) {
        SCOPED_TRACE(clients);
        TestListener listener = StartListener(0);
        ASSERT_NE(listener.port, 0);
        std::vector<Sender> senders(static_cast<size_t>(clients));
        for (int i = 0; i < clients; ++i) {
            Sender& sender = senders[static_cast<size_t>(i)];
            sender.index = i;
            sender.ip = kLoopbackIp + 1 + static_cast<uint32_t>(i);  // 127.0.0.2 and on.
            sender.client = std::make_unique<LoopbackClient>(listener.port, sender.ip);
            ASSERT_TRUE(sender.client->Connected());
            // One at a time, so that the backlog never overflows.
            ASSERT_TRUE(
                WaitUntil([&] { return RegisteredConnections() == static_cast<size_t>(i + 1); },
                          kDeadlineMs));
        }
        std::vector<Thread*> threads;
        for (Sender& sender : senders) threads.push_back(CreateThread(SendLines, &sender));

        const size_t total = static_cast<size_t>(clients * kLinesPerClient);
        const std::vector<Incoming> records = CollectIncoming(total, 60'000);
        for (Thread* thread : threads) {
            ASSERT_NE(thread, nullptr);
            WaitThread(thread);
            ReleaseThread(thread);
        }
        EXPECT_EQ(records.size(), total);
        std::vector<int> next(static_cast<size_t>(clients), 0);
        for (const Incoming& record : records) {
            const int client = static_cast<int>(static_cast<uint32_t>(record.ip) - kLoopbackIp - 1);
            ASSERT_TRUE(client >= 0 && client < clients) << record.ip;
            EXPECT_EQ(record.message,
                      Latin1Text(LineOf(client, next[static_cast<size_t>(client)]++)));
        }
        for (const Sender& sender : senders) EXPECT_TRUE(sender.closedByServer) << sender.index;
        EXPECT_TRUE(WaitUntil([] { return RegisteredConnections() == 0; }, kDeadlineMs));
        EXPECT_TRUE(StopListener(listener));
    }
}

TEST(Server, ABurstOfConnectionsIsAllAccepted) {
    constexpr int kBurst = 50;  // Far more than one cycle accepts: the rest wait in the backlog.
    TestListener listener = StartListener(0);
    ASSERT_NE(listener.port, 0);
    std::vector<std::unique_ptr<LoopbackClient>> clients;
    for (int i = 0; i < kBurst; ++i) {
        clients.push_back(std::make_unique<LoopbackClient>(listener.port));
        ASSERT_TRUE(clients.back()->Connected());
    }
    for (int i = 0; i < kBurst; ++i) {
        ASSERT_TRUE(clients[static_cast<size_t>(i)]->Send(LineOf(i, 0) + "\n"));
        clients[static_cast<size_t>(i)]->ShutdownWrite();
    }
    const std::vector<Incoming> records = CollectIncoming(kBurst, kDeadlineMs);
    EXPECT_EQ(records.size(), static_cast<size_t>(kBurst));
    for (const auto& client : clients) EXPECT_TRUE(client->WaitServerClose(kDeadlineMs));
    EXPECT_TRUE(StopListener(listener));
}

TEST(Server, AConnectionThatClosesAtOnceEndsItsThreadAndIsDropped) {
    TestListener listener = StartListener(0);
    ASSERT_NE(listener.port, 0);
    for (int i = 0; i < 3; ++i) LoopbackClient(listener.port).Close();
    // Accepted in order, so once this line is in, the three before it were accepted too.
    EXPECT_TRUE(DeliverLine(listener.port, "marker"));
    const std::vector<Incoming> records = CollectIncoming(1, kDeadlineMs);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, u"marker");
    EXPECT_TRUE(WaitUntil([] { return RegisteredConnections() == 0; }, kDeadlineMs));
    EXPECT_TRUE(DrainIncoming().empty());
    EXPECT_TRUE(StopListener(listener));
}

TEST(Server, RunningOutOfDescriptorsDelaysAcceptingButDoesNotEndTheListener) {
    TestListener listener = StartListener(0);
    ASSERT_NE(listener.port, 0);
    LoopbackClient client(listener.port);
    ASSERT_TRUE(client.Connected());
    DescriptorHog hog;
    ASSERT_TRUE(client.Send("after\n"));
    client.ShutdownWrite();
    // Several cycles whose accept fails for want of a descriptor.
    EXPECT_TRUE(CollectIncoming(1, 300).empty());
    EXPECT_TRUE(ThreadRunning(listener.thread));
    hog.Release();
    const std::vector<Incoming> records = CollectIncoming(1, kDeadlineMs);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, u"after");
    EXPECT_TRUE(client.WaitServerClose(kDeadlineMs));
    EXPECT_TRUE(StopListener(listener));
}

}  // namespace
