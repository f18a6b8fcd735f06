#include "cli/StopSignal.h"

#include <pthread.h>
#include <unistd.h>

#include "cli/Command.h"

namespace quellstone::cli {

namespace {

sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGUSR1);  // wakes the watcher when the instance goes away
    return set;
}

}  // namespace

StopSignal::StopSignal() {
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, &previousMask_);
    watcher_ = std::thread([this] { Watch(); });
}

StopSignal::~StopSignal() {
    closing_.store(true);
    pthread_kill(watcher_.native_handle(), SIGUSR1);
    watcher_.join();
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void StopSignal::Watch() {
    const sigset_t set = WatchedSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        if (signal == SIGUSR1) {
            if (closing_.load()) return;
            continue;
        }
        int none = 0;
        if (received_.compare_exchange_strong(none, signal)) {
            source_.request_stop();
            received_.notify_all();
        } else {
            {
                const std::lock_guard<std::mutex> guard(lastWordsMutex_);
                if (lastWords_) lastWords_();
            }
            _exit(kExitInterrupted(signal));
        }
    }
}

}  // namespace quellstone::cli
