#pragma once

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace quellstone::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// The user "nobody": permission bits bind it, where root would ignore them.
inline constexpr uid_t kNobody = 65534;

// Runs the built quellstone-cli with `args`, and `environment` ("NAME=value")
// added to its environment, and collects its exit status and output. With
// `asNobody`, a suite run as root runs the command as the user nobody.
inline CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
                        bool asNobody = false, const std::string& program = QUELLSTONE_CLI) {
    TempDir capture;
    const std::string outPath = capture / "out";
    const std::string errPath = capture / "err";
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (const std::string& variable : environment) ::putenv(const_cast<char*>(variable.c_str()));
        if (asNobody && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0)) {
            ::_exit(126);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int wait = 0;
    ::waitpid(child, &wait, 0);
    return {WIFEXITED(wait) ? WEXITSTATUS(wait) : -1, ReadAll(outPath), ReadAll(errPath)};
}

// A copy of the built program and its database in dir/program, which the
// user nobody can reach wherever the build lies (dir is opened for passing
// through); its path.
inline std::string ProgramForNobody(const TempDir& dir) {
    using std::filesystem::perms;
    const std::string folder = dir / "program";
    if (!std::filesystem::exists(folder)) {
        std::filesystem::create_directories(folder);
        const std::filesystem::path built(QUELLSTONE_CLI);
        std::filesystem::copy_file(built, folder + "/quellstone-cli");
        std::filesystem::copy_file(built.parent_path() / "bdts.dll", folder + "/bdts.dll");
        std::filesystem::permissions(
            folder, perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec);
        std::filesystem::permissions(dir.Path(), perms::others_exec | perms::group_exec,
                                     std::filesystem::perm_options::add);
    }
    return folder + "/quellstone-cli";
}

// A test of the built program whose runs keep their settings and data in
// the test's own folder `dir` (XDG_CONFIG_HOME=dir/config, XDG_DATA_HOME=dir/data,
// and the system's data in dir/system instead of /var/lib/quellstone).
class CliTest : public ::testing::Test {
protected:
    // Runs `program` with `args`, and `environment` added to the two folders.
    CliResult Run(const std::vector<std::string>& args, std::vector<std::string> environment = {},
                  const std::string& program = QUELLSTONE_CLI) {
        environment.push_back("XDG_CONFIG_HOME=" + dir / "config");
        environment.push_back("XDG_DATA_HOME=" + dir / "data");
        environment.push_back("QUELLSTONE_STATE_DIRECTORY=" + dir / "system");
        return RunCli(args, environment, false, program);
    }

    TempDir dir;
};

// Scans of an empty folder `tree` with a database `db` that names QUELLSTONE-TEST.EXE.
class CliScanTest : public CliTest {
protected:
    CliScanTest() {
        WriteFile(db, "[Scanfiles]\nQUELLSTONE-TEST.EXE=Test.File.Quellstone\n");
        ::mkdir(tree.c_str(), 0755);
    }

    const std::string db = dir / "test.db";
    const std::string tree = dir / "tree";
};

}  // namespace quellstone::testing
