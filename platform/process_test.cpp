#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/testing/wait_until.h"
#include "platform/thread.h"

namespace {

// Where the child process reports what ran; -1 in the test process itself.
int reportFd = -1;

void Report(const char* text) {
    if (reportFd >= 0 && write(reportFd, text, std::char_traits<char>::length(text)) < 0) {
        std::abort();
    }
}

// Would report if static destructors ran at the end of the child.
struct ReportsDestruction {
    ~ReportsDestruction() { Report("[destructor]"); }
} reportsDestruction;

void ReportQuickExit() { Report("[quick-exit handler]"); }
void ReportAtExit() { Report("[atexit handler]"); }

void* EndFromThread(void*) { EndProcess(); }

enum class Caller { MainThread, OneWorker, TwoWorkersAtOnce };

// Runs EndProcess in a child the way caller says, with a line left in stdout's buffer, and
// returns the child's wait status; what the child reported is put in report.
int RunEndInChild(Caller caller, std::string& report) {
    int channel[2];
    if (pipe(channel) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        reportFd = channel[1];
        dup2(channel[1], STDOUT_FILENO);
        static char buffer[256];
        std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
        std::at_quick_exit(ReportQuickExit);
        std::atexit(ReportAtExit);
        std::printf("[buffered output]");
        if (caller == Caller::MainThread) EndProcess();
        CreateThread(EndFromThread, nullptr);
        if (caller == Caller::TwoWorkersAtOnce) CreateThread(EndFromThread, nullptr);
        // The main thread stays busy, as the window system's thread does, until the end.
        for (;;) pause();
    }
    close(channel[1]);
    int status = -1;
    const bool ended = WaitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, 10'000);
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    char chunk[256];
    ssize_t received = 0;
    while ((received = read(channel[0], chunk, sizeof chunk)) > 0) report.append(chunk, received);
    close(channel[0]);
    return status;
}

TEST(Process, EndExitsWithZeroRunsQuickExitHandlersAndFlushesButNoDestructors) {
    const Caller callers[] = {Caller::MainThread, Caller::OneWorker, Caller::TwoWorkersAtOnce};
    for (const Caller caller : callers) {
        SCOPED_TRACE(static_cast<int>(caller));
        std::string report;
        const int status = RunEndInChild(caller, report);
        ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_NE(report.find("[buffered output]"), std::string::npos) << report;
        EXPECT_NE(report.find("[quick-exit handler]"), std::string::npos) << report;
        EXPECT_EQ(report.find("[destructor]"), std::string::npos) << report;
        EXPECT_EQ(report.find("[atexit handler]"), std::string::npos) << report;
    }
}

TEST(Process, InitRaisesTheOpenFileLimitAndIgnoresBrokenPipes) {
    InitProcess();
    rlimit files{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &files), 0);
    if (files.rlim_max != RLIM_INFINITY) {
        EXPECT_EQ(files.rlim_cur, files.rlim_max);
    }
    struct sigaction action {};
    ASSERT_EQ(sigaction(SIGPIPE, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
}

}  // namespace
