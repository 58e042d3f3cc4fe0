// Child processes for the benchmarks: started from a path with arguments and this process's
// environment, waited for with a deadline, and ended by their own id; the system kills them
// should the benchmark itself end first. Main thread only, while no other thread runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ChildProcess {
  public:
    // Starts path with arguments. StartedAt() is the monotonic time (NowNs) just before the
    // system started it; Running() is false when it could not be started, and its exit
    // status is 127 when the program could not be run.
    ChildProcess(const std::string& path, const std::vector<std::string>& arguments);
    // A child still running then is killed and reaped.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int Pid() const { return pid_; }
    int64_t StartedAt() const { return startedAt_; }
    bool Running() const { return pid_ > 0 && endedAt_ == 0; }

    // Waits at most timeoutMs for the child to end. Returns the monotonic time at which its
    // end was seen (within microseconds of it), or 0 when it is still running.
    int64_t WaitEnd(int32_t timeoutMs);

    // Asks the child to end (SIGTERM), kills it after timeoutMs if it has not, and reaps it.
    void Stop(int32_t timeoutMs);

    // The exit status once it has ended normally; -1 otherwise.
    int ExitStatus() const { return exitStatus_; }

  private:
    int pid_ = -1;
    int pidFd_ = -1;
    int64_t startedAt_ = 0;
    int64_t endedAt_ = 0;
    int exitStatus_ = -1;
};
