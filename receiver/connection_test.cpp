#include "receiver/connection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/socket_client.h"
#include "platform/testing/wait_until.h"
#include "receiver/testing/receiver_testing.h"

namespace {

using namespace std::string_literals;

constexpr int32_t kDeadlineMs = 10'000;

// One listener for the whole table; each case is a connection of its own.
class ConnectionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { listener_ = StartListener(0); }
    static void TearDownTestSuite() { EXPECT_TRUE(StopListener(listener_)); }
    void SetUp() override { ASSERT_NE(listener_.port, 0); }

    static TestListener listener_;
};

TestListener ConnectionTest::listener_;

// How the client ends the connection after sending.
enum class End {
    HalfClose,  // Shuts its sending side and waits to see the server close the connection.
    Close,
    Reset,
};

struct WireCase {
    const char* name;
    std::string bytes;
    End end;
    std::vector<Text> messages;
};

TEST_F(ConnectionTest, WireFormat) {
    const std::string longLine(5000, 'L');
    const WireCase cases[] = {
        {"CR LF ends a line", "abc\r\n", End::HalfClose, {u"abc"}},
        {"CR dropped anywhere", "a\rb\n", End::HalfClose, {u"ab"}},
        {"CR LF alone", "\r\n", End::HalfClose, {}},
        {"close ends the last line", "abc", End::Close, {u"abc"}},
        {"NUL ends a line", "a\0b\n"s, End::HalfClose, {u"a", u"b"}},
        {"bytes are characters", "\xC3\xA9\n", End::HalfClose, {u"\u00C3\u00A9"}},
        {"empty lines dropped", "\n\n\n", End::HalfClose, {}},
        {"5000-byte line", longLine + "\n", End::HalfClose, {Latin1Text(longLine)}},
        {"lines then half-close", "one\ntwo\nthree\n", End::HalfClose, {u"one", u"two", u"three"}},
        {"reset in a line", "one\npar", End::Reset, {u"one", u"par"}},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Text> messages;
        const auto take = [&] {
            for (const Incoming& record : DrainIncoming()) {
                EXPECT_EQ(record.ip, static_cast<int32_t>(kLoopbackIp));
                messages.push_back(record.message);
            }
            return messages.size();
        };
        LoopbackClient client(listener_.port);
        ASSERT_TRUE(client.Connected());
        // Accepted and reading before anything is sent.
        ASSERT_TRUE(WaitUntil([] { return RegisteredConnections() == 1; }, kDeadlineMs));
        ASSERT_TRUE(client.Send(c.bytes));
        switch (c.end) {
            case End::HalfClose:
                client.ShutdownWrite();
                EXPECT_TRUE(client.WaitServerClose(kDeadlineMs));
                break;
            case End::Close:
                client.Close();
                break;
            case End::Reset:
                // Once the complete line has come, the reset falls in the middle of the next.
                EXPECT_TRUE(WaitUntil([&] { return take() == 1; }, kDeadlineMs));
                client.Reset();
                break;
        }
        // The connection thread has ended, and so everything it queued is there.
        ASSERT_TRUE(WaitUntil([] { return RegisteredConnections() == 0; }, kDeadlineMs));
        take();
        EXPECT_EQ(messages, c.messages);
    }
}

}  // namespace
