#include "platform/process.h"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

void InitProcess() {
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    signal(SIGPIPE, SIG_IGN);
}

void EndProcess() {
    // Ending twice at once is undefined, so the first caller ends the process and any later
    // one waits for that to happen.
    static std::atomic_flag ending = ATOMIC_FLAG_INIT;
    if (ending.test_and_set()) {
        for (;;) pause();
    }
    // The standard streams write through stdio (they are synchronised with it), so this
    // flushes them too.
    std::fflush(nullptr);
    // quick_exit runs the handlers registered for process end but no static destructor, which
    // could tear down what the window system's thread is still using.
    std::quick_exit(0);
}
