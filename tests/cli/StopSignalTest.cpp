#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "cli/StopSignal.h"
#include "support/TempDir.h"

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

TEST(StopSignal, ASecondSignalRunsTheLastWordsAndEndsTheProgram) {
    quellstone::testing::TempDir dir;
    const std::string marker = dir / "last-words";
    const pid_t child = ::fork();
    if (child == 0) {
        StopSignal stop;
        stop.SetLastWords([&] { ::close(::open(marker.c_str(), O_WRONLY | O_CREAT, 0600)); });
        ::kill(::getpid(), SIGTERM);
        while (stop.Received() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ::kill(::getpid(), SIGINT);  // ends the program from the watcher thread
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    EXPECT_EQ(::access(marker.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace quellstone::cli
