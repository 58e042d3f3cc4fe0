#include "platform/socket_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/testing/socket_client.h"
#include "platform/testing/wait_until.h"
#include "platform/thread.h"

namespace {

constexpr int32_t kDeadlineMs = 10'000;

// A client connected to a listener of our own, and the stream over the accepted end.
class SocketStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        listener_ = CreateTcpSocket();
        ASSERT_NE(listener_, nullptr);
        ASSERT_TRUE(BindSocket(listener_, 0));
        ASSERT_TRUE(ListenSocket(listener_, 5));
        client_ = std::make_unique<LoopbackClient>(SocketLocalPort(listener_));
        ASSERT_TRUE(client_->Connected());
        ASSERT_TRUE(WaitUntil([&] { return (socket_ = AcceptSocket(listener_, 50)) != nullptr; },
                              kDeadlineMs));
        stream_ = CreateSocketStream(socket_);
    }
    void TearDown() override {
        FreeSocketStream(stream_);
        FreeSocket(listener_);
    }

    // Waits until exactly count bytes wait in the accepted socket.
    bool Waiting(int32_t count) {
        return WaitUntil([&] { return SocketReadAvail(socket_) == count; }, kDeadlineMs);
    }

    Socket* listener_ = nullptr;
    std::unique_ptr<LoopbackClient> client_;
    Socket* socket_ = nullptr;  // Owned by stream_.
    SocketStream* stream_ = nullptr;
};

TEST_F(SocketStreamTest, ReadLineLeavesWhatFollowsTheTerminatorInTheSocket) {
    ASSERT_TRUE(client_->Send("one\ntwo\r\nrest"));
    ASSERT_TRUE(Waiting(13));
    EXPECT_EQ(ReadLine(stream_), u"one");
    EXPECT_EQ(SocketReadAvail(socket_), 9);
    EXPECT_TRUE(SocketConnected(socket_));
    EXPECT_EQ(SocketReadAvail(socket_), 9);
    EXPECT_EQ(ReadLine(stream_), u"two");
    EXPECT_EQ(SocketReadAvail(socket_), 4);

    client_->Close();
    EXPECT_EQ(ReadLine(stream_), u"rest");  // The close ends the last line.
    EXPECT_FALSE(SocketConnected(socket_));
    EXPECT_EQ(ReadLine(stream_), u"");  // Nothing more from a closed socket.
}

TEST_F(SocketStreamTest, AfterTheSocketIsClosedNothingOfWhatWasSeenBeforeIsRead) {
    ASSERT_TRUE(client_->Send("one\ntwo\n"));
    ASSERT_TRUE(Waiting(8));
    EXPECT_EQ(ReadLine(stream_), u"one");
    CloseSocket(socket_);
    EXPECT_FALSE(SocketConnected(socket_));
    EXPECT_EQ(ReadLine(stream_), u"");
}

struct Reader {
    SocketStream* stream;
    Text line;
    std::atomic<bool> done{false};
};

void* ReadOneLine(void* argument) {
    auto* reader = static_cast<Reader*>(argument);
    reader->line = ReadLine(reader->stream);
    reader->done = true;
    return nullptr;
}

TEST_F(SocketStreamTest, ALineThatArrivesInPiecesIsReadWhole) {
    Reader reader{stream_, {}};
    Thread* thread = CreateThread(ReadOneLine, &reader);
    ASSERT_NE(thread, nullptr);
    const char* pieces[] = {"ab", "c\r", "\xE9"};
    for (const char* piece : pieces) {
        ASSERT_TRUE(client_->Send(piece));
        // The reader takes what has come and waits for more.
        EXPECT_TRUE(Waiting(0));
        EXPECT_FALSE(reader.done);
    }
    ASSERT_TRUE(client_->Send("\nnext"));
    WaitThread(thread);
    ReleaseThread(thread);
    EXPECT_EQ(reader.line, u"abc\u00E9");
    EXPECT_EQ(SocketReadAvail(socket_), 4);
}

TEST_F(SocketStreamTest, ALineLongerThanOneLookIsReadWhole) {
    std::string bytes;
    Text expected;
    for (int i = 0; i < 20'000; ++i) {
        const char byte = static_cast<char>('a' + i % 26);
        bytes += byte;
        expected += static_cast<char16_t>(byte);
        if (i % 100 == 0) bytes += '\r';
    }
    ASSERT_TRUE(client_->Send(bytes + "\n"));
    EXPECT_EQ(ReadLine(stream_), expected);
}

struct Sender {
    LoopbackClient* client;
    std::string bytes;
    std::atomic<bool> sent{false};
};

void* SendAll(void* argument) {
    auto* sender = static_cast<Sender*>(argument);
    sender->sent = sender->client->Send(sender->bytes);
    return nullptr;
}

TEST_F(SocketStreamTest, ALineAtTheBoundIsCutThereAndTheRestIsTheNextLine) {
    Sender sender{client_.get(), std::string(kLineLimit, 'a') + "bc\n"};
    Thread* thread = CreateThread(SendAll, &sender);  // More than the socket buffers hold.
    ASSERT_NE(thread, nullptr);
    const Text first = ReadLine(stream_);
    const Text second = ReadLine(stream_);
    WaitThread(thread);
    ReleaseThread(thread);
    EXPECT_TRUE(sender.sent);
    EXPECT_EQ(first.size(), kLineLimit);
    EXPECT_EQ(first.find_first_not_of(u'a'), Text::npos);
    EXPECT_EQ(second, u"bc");
}

TEST_F(SocketStreamTest, TheEndOfTheConnectionEndsTheLineBeingRead) {
    // A fresh connection for each way of ending it.
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "close");
        if (reset) {
            FreeSocketStream(stream_);
            client_ = std::make_unique<LoopbackClient>(SocketLocalPort(listener_));
            ASSERT_TRUE(WaitUntil(
                [&] { return (socket_ = AcceptSocket(listener_, 50)) != nullptr; }, kDeadlineMs));
            stream_ = CreateSocketStream(socket_);
        }
        ASSERT_TRUE(client_->Send("one\npar"));
        ASSERT_TRUE(Waiting(7));
        EXPECT_EQ(ReadLine(stream_), u"one");
        if (reset) {
            client_->Reset();
        } else {
            client_->Close();
        }
        EXPECT_EQ(ReadLine(stream_), u"par");
        EXPECT_FALSE(SocketConnected(socket_));
    }
}

}  // namespace
