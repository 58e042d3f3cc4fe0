// The exit sequence, each run in a child process since it ends the process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "platform/clock.h"
#include "platform/gui/text_area.h"
#include "platform/testing/scratch.h"
#include "platform/testing/socket_client.h"
#include "platform/testing/wait_until.h"
#include "receiver/server.h"

namespace {

uint32_t shutdownStart = 0;

// Runs as the process ends: tells the parent what the text area held and how long the exit took.
void Report() {
    std::fprintf(stderr, "text=<%s> elapsed=%ums\n", Latin1Bytes(TextAreaText(textArea)).c_str(),
                 static_cast<unsigned>(MilliSecs() - shutdownStart));
}

class ShutdownTest : public testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        std::filesystem::create_directory(home_.path() + "/Harkenwire");
        ASSERT_TRUE(WriteFileBytes(settingsFile(), "0\r\n10\r\n20\r\n400\r\n300\r\n0\r\n"));
    }

    std::string settingsFile() const { return home_.path() + "/Harkenwire/Harkenwire.txt"; }

    // In the child: opens the window as start-up does, then runs the exit sequence.
    // With an idle client, a connection thread waits for a line that never comes, so the
    // listener cannot finish its final wait.
    void OpenAndShutDown(bool idleClient) {
        SetEnvironment("XDG_CONFIG_HOME", home_.path().c_str());
        if (!OpenMainWindow()) std::abort();
        AddText(textArea, u"before");
        std::vector<int32_t> ports;
        if (!WaitUntil([&] { return !(ports = ListeningPorts()).empty(); }, 5000)) std::abort();
        if (idleClient) {
            client_ = std::make_unique<LoopbackClient>(ports[0]);
            const bool accepted = WaitUntil(
                [] {
                    LockMutex(connectionThreadsMutex);
                    const bool any = !connectionThreads.empty();
                    UnlockMutex(connectionThreadsMutex);
                    return any;
                },
                5000);
            if (!client_->Connected() || !accepted) std::abort();
        }
        std::at_quick_exit(Report);
        shutdownStart = MilliSecs();
        Shutdown();
    }

    ScratchFolder home_;
    std::unique_ptr<LoopbackClient> client_;  // Open until the process ends.
};

TEST_F(ShutdownTest, WithoutConnectionsEndsAtOnceWithStatusZero) {
    // Well under the bound: the listener stops within one cycle.
    EXPECT_EXIT(OpenAndShutDown(false), testing::ExitedWithCode(0),
                "text=<before\nExiting...\n> elapsed=([0-9]{1,3}|[12][0-9]{3})ms");
    EXPECT_EQ(ReadFileBytes(settingsFile()).substr(0, 3), "0\r\n");
}

TEST_F(ShutdownTest, AnIdleConnectionDelaysTheEndByTheBoundOnly) {
    EXPECT_EXIT(OpenAndShutDown(true), testing::ExitedWithCode(0),
                "text=<before\nExiting...\n> elapsed=3[0-9]{3}ms");
    // The settings are saved all the same.
    const std::string saved = ReadFileBytes(settingsFile());
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 6);
}

}  // namespace
