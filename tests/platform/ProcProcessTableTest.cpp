#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/ProcProcessTable.h"
#include "support/TempDir.h"

namespace quellstone::ports {

void PrintTo(const RunningProcess& p, std::ostream* out) {
    *out << p.pid << " \"" << p.name << "\" \"" << p.executable << "\" " << p.executableDeleted << " argv0 of "
         << p.firstArgument.size() << " bytes, started " << p.startTime;
}

}  // namespace quellstone::ports

namespace quellstone::platform {
namespace {

using namespace std::chrono_literals;
using ports::RunningProcess;
using ports::StopOutcome;
using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;

// A /proc/PID/stat line; `name` goes between the parentheses as it is.
std::string Stat(const std::string& name, char state = 'S', const char* flags = "4194560", const char* start = "777") {
    return "1 (" + name + ") " + state + " 1 1 1 0 -1 " + flags + " 0 0 0 0 0 0 0 0 20 0 1 0 " + start + " 9 8\n";
}

TEST(ProcProcessTable, ReadsAHostileTreeWithoutTrustingIt) {
    const TempDir proc;
    const std::string realDeleted = proc / "tool (deleted)";
    WriteFile(realDeleted);
    struct Case {
        std::string folder;
        std::optional<std::string> stat, comm, cmdline, exe;  // nothing: the file is missing
        std::optional<RunningProcess> listed = std::nullopt;
        bool counted = false;  // in notRead
    };
    const std::string huge(1024 * 1024, 'a');
    const std::vector<Case> cases = {
        {"100", Stat("gone"), "gone\n", std::string("/usr/bin/gone\0-x\0", 17), "/usr/bin/gone (deleted)",
         RunningProcess{100, "gone", "/usr/bin/gone", true, "/usr/bin/gone", 777}},
        {"101", Stat("x) (y z"), "a\nb\xff\xfe\n", "", "/bin/sh",
         RunningProcess{101, "a\nb\xff\xfe", "/bin/sh", false, "", 777}},
        {"102", Stat("big", 'R', "0", "18446744073709551615"), "big\n", huge, realDeleted,
         RunningProcess{102, "big", realDeleted, false, huge.substr(0, kMaxProcFileRead), 18446744073709551615U}},
        {"103", Stat("hidden"), "hidden\n", std::nullopt, std::nullopt,
         RunningProcess{103, "hidden", "", false, "", 777}, true},
        {"2", Stat("kthreadd", 'S', "2129984"), "kthreadd\n", "", std::nullopt},
        {"300", Stat("zombie", 'Z'), "zombie\n", "", std::nullopt},
        {"401", std::nullopt, "nostat\n", "", "/bin/sh", std::nullopt, true},
        {"402", "402 (no closing parenthesis S 1", "bad\n", "", "/bin/sh", std::nullopt, true},
        {"404", "404 (cut) S 1 1 1", "cut\n", "", "/bin/sh", std::nullopt, true},
        {"405", Stat("fifo"), std::nullopt, "", "/bin/sh", std::nullopt, true},  // its comm is made a FIFO below
        {"self", Stat("self"), "self\n", "", "/bin/sh"},                         // and other names that are no PID
        {"0100", Stat("zero"), "zero\n", "", "/bin/sh"},
        {"99999999999999999999", Stat("huge"), "huge\n", "", "/bin/sh"},
    };
    std::vector<RunningProcess> expected;
    std::size_t expectedNotRead = 0;
    for (const Case& c : cases) {
        const std::string dir = proc / c.folder;
        ::mkdir(dir.c_str(), 0755);
        if (c.stat) WriteFile(dir + "/stat", *c.stat);
        if (c.comm) WriteFile(dir + "/comm", *c.comm);
        if (c.cmdline) WriteFile(dir + "/cmdline", *c.cmdline);
        if (c.exe) std::filesystem::create_symlink(*c.exe, dir + "/exe");
        if (c.listed) expected.push_back(*c.listed);
        // Only a file that exists here can be the one the process runs.
        if (c.listed)
            expected.back().executableHere = c.exe && !c.listed->executableDeleted && std::filesystem::exists(*c.exe);
        expectedNotRead += c.counted ? 1 : 0;
    }
    ::mkfifo((proc / "405/comm").c_str(), 0644);
    WriteFile(proc / "77", Stat("a file, not a folder"));

    const ports::ProcessList list = ProcProcessTable(proc.Path()).List();
    EXPECT_EQ(list.processes, expected);
    EXPECT_EQ(list.notRead, expectedNotRead);
}

// A child named like a known miner that waits to be ended, ignoring SIGTERM
// when asked; killed and reaped at the latest when the object goes away.
struct NamedChild {
    explicit NamedChild(bool ignoresTerm) {
        int ends[2];
        if (::pipe(ends) != 0) return;
        if ((pid = ::fork()) == 0) {
            ::prctl(PR_SET_NAME, "kdevtmpfsi");
            if (ignoresTerm) ::signal(SIGTERM, SIG_IGN);
            ::close(ends[1]);  // the parent's read returns: the child is ready
            while (true) ::pause();
        }
        ::close(ends[1]);
        char none = 0;
        [[maybe_unused]] const auto got = ::read(ends[0], &none, 1);
        ::close(ends[0]);
    }
    ~NamedChild() {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
    }
    pid_t pid = -1;
};

TEST(ProcProcessTable, FindsARenamedChildAndEndsOnlyThatProcess) {
    const std::string ownExecutable = std::filesystem::read_symlink("/proc/self/exe");
    for (const auto& [ignoresTerm, grace, endedBy] : {std::tuple{false, 60000ms, SIGTERM}, {true, 100ms, SIGKILL}}) {
        NamedChild child(ignoresTerm);
        ASSERT_GT(child.pid, 0);
        ProcProcessTable table;
        const ports::ProcessList list = table.List();
        EXPECT_NE(std::ranges::find(list.processes, ::getpid(), &RunningProcess::pid), list.processes.end());
        const auto found = std::ranges::find(list.processes, child.pid, &RunningProcess::pid);
        ASSERT_NE(found, list.processes.end());
        EXPECT_EQ(found->name, "kdevtmpfsi");
        EXPECT_EQ(found->executable, ownExecutable);

        RunningProcess earlier = *found;
        earlier.startTime -= 1;  // a process that had the PID before
        EXPECT_EQ(table.Stop(earlier, 0ms), StopOutcome::AlreadyGone);
        EXPECT_EQ(::waitpid(child.pid, nullptr, WNOHANG), 0);  // still running

        EXPECT_EQ(table.Stop(*found, grace), StopOutcome::Stopped);
        EXPECT_EQ(table.Stop(*found, grace), StopOutcome::AlreadyGone);  // ended, not reaped yet
        int status = 0;
        ::waitpid(std::exchange(child.pid, -1), &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == endedBy) << status;
    }
}

}  // namespace
}  // namespace quellstone::platform
