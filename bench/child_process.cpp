#include "bench/child_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/monotonic.h"

extern char** environ;

ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{path};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    startedAt_ = NowNs();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Whatever happens to the benchmark, the child does not outlive it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        ::execve(path.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    if (pid < 0) return;
    pid_ = pid;
    // Its end makes this descriptor readable: the end is seen at once, without polling.
    pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        ::kill(pid_, SIGKILL);
        WaitEnd(5000);
    }
    if (pidFd_ >= 0) ::close(pidFd_);
}

int64_t ChildProcess::WaitEnd(int32_t timeoutMs) {
    if (pid_ <= 0) return 0;
    if (endedAt_ != 0) return endedAt_;
    int status = 0;
    if (pidFd_ >= 0) {
        pollfd entry{pidFd_, POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) != 1) return 0;
        endedAt_ = NowNs();
        ::waitpid(pid_, &status, 0);
    } else {
        // No descriptor for it: look every tenth of a millisecond instead.
        const int64_t deadline = NowNs() + static_cast<int64_t>(timeoutMs) * 1'000'000;
        while (::waitpid(pid_, &status, WNOHANG) != pid_) {
            if (NowNs() > deadline) return 0;
            ::usleep(100);
        }
        endedAt_ = NowNs();
    }
    if (WIFEXITED(status)) exitStatus_ = WEXITSTATUS(status);
    return endedAt_;
}

void ChildProcess::Stop(int32_t timeoutMs) {
    if (!Running()) return;
    ::kill(pid_, SIGTERM);
    if (WaitEnd(timeoutMs) == 0) {
        ::kill(pid_, SIGKILL);
        WaitEnd(timeoutMs);
    }
}
