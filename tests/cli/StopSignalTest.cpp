#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/StopSignal.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

TEST(StopSignal, CtrlCRequestsTheStop) {
    StopSignal stop;
    const std::stop_token token = stop.Token();
    EXPECT_FALSE(token.stop_requested());

    ASSERT_EQ(::kill(::getpid(), SIGINT), 0);  // blocked here, taken by the watcher thread
    EXPECT_EQ(stop.WaitForSignal(), SIGINT);   // the watcher thread has taken it
    EXPECT_TRUE(token.stop_requested());
}

TEST(StopSignal, ASecondSignalRunsTheLastWordsAndEndsTheProgram) {
    quellstone::testing::TempDir dir;
    const std::string marker = dir / "last-words";
    const pid_t child = ::fork();
    if (child == 0) {
        StopSignal stop;
        stop.SetLastWords([&] { ::close(::open(marker.c_str(), O_WRONLY | O_CREAT, 0600)); });
        // Two different signals are never merged into one while pending: the
        // watcher takes one as the stop request and the other as the end.
        ::kill(::getpid(), SIGTERM);
        ::kill(::getpid(), SIGINT);
        for (;;) ::pause();  // the watcher thread ends the program
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_TRUE(WEXITSTATUS(status) == 128 + SIGINT || WEXITSTATUS(status) == 128 + SIGTERM) << WEXITSTATUS(status);
    EXPECT_EQ(::access(marker.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace quellstone::cli
