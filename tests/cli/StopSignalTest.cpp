#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "cli/StopSignal.h"

namespace quellstone::cli {
namespace {

TEST(StopSignal, CtrlCClearsTheRunFlagAtTheNextYield) {
    scan::ScanState state;
    state.scanRunning = true;
    StopSignal stop;
    StopRequestPump pump(stop, state);
    pump.ProcessPendingEvents();
    EXPECT_TRUE(state.scanRunning);

    ASSERT_EQ(::kill(::getpid(), SIGINT), 0);  // blocked here, taken by the watcher thread
    // Waits for the watcher thread to take the signal; the bound only keeps a broken build from hanging.
    for (int wait = 0; wait < 12000 && stop.Received() == 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(stop.Received(), SIGINT);
    pump.ProcessPendingEvents();
    EXPECT_FALSE(state.scanRunning);
}

}  // namespace
}  // namespace quellstone::cli
