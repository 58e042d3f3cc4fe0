#include "bench/sending_threads.h"

#include "bench/monotonic.h"
#include "bench/process_usage.h"

SendingThreads::SendingThreads(std::vector<std::unique_ptr<Sender>>& senders, uint64_t share) {
    for (auto& sender : senders) {
        threads_.emplace_back([this, sender = sender.get(), share] {
            go_.wait();
            const int64_t before = CallingThreadCpuNs();
            sender->SendLines(share);
            cpuNs_ += CallingThreadCpuNs() - before;
        });
    }
}

SendingThreads::~SendingThreads() {
    for (std::thread& thread : threads_) {
        if (thread.joinable()) thread.detach();
    }
}

int64_t SendingThreads::Release() {
    const int64_t at = NowNs();
    go_.count_down();
    return at;
}

int64_t SendingThreads::Join() {
    for (std::thread& thread : threads_) thread.join();
    return cpuNs_;
}
