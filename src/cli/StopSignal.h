#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace quellstone::cli {

// Turns Ctrl-C (SIGINT) and SIGTERM into a stop request: while an instance
// lives, both signals are blocked and a watcher thread waits for them, so no
// handler runs inside the walk. A second signal ends the program at once.
// Threads started while an instance lives inherit the blocked signals, so
// make it before any thread of the work it stops.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // The number of the first signal received, 0 while none was.
    [[nodiscard]] int Received() const { return received_.load(std::memory_order_relaxed); }
    // Requested once the first signal is received.
    [[nodiscard]] std::stop_token Token() const { return source_.get_token(); }
    // Blocks until a signal has been received and returns its number.
    int WaitForSignal() const {
        received_.wait(0);
        return received_.load();
    }

    // Runs on the watcher thread just before a second signal ends the
    // program: the last chance to delete a half-written temporary file.
    void SetLastWords(std::function<void()> lastWords) {
        const std::lock_guard<std::mutex> guard(lastWordsMutex_);
        lastWords_ = std::move(lastWords);
    }

private:
    void Watch();

    sigset_t previousMask_{};
    std::atomic<int> received_{0};
    std::stop_source source_;
    std::atomic<bool> closing_{false};
    std::mutex lastWordsMutex_;
    std::function<void()> lastWords_;
    std::thread watcher_;
};

}  // namespace quellstone::cli
