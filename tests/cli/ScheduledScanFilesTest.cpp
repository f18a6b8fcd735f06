#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/SystemdUnits.h"
#include "core/scan/ScheduledScanResult.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcessRunner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::ReadAll;
using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// The value of every "Name=" line of a unit, in file order.
std::vector<std::string> Values(const std::string& unit, const std::string& name) {
    std::vector<std::string> values;
    std::istringstream in(unit);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(name + "=")) values.push_back(line.substr(name.size() + 1));
    }
    return values;
}

TEST(ScheduledScanUnits, InstallNamesTheInstalledProgramInTheUsersAndTheSystemsUnits) {
    TempDir prefix;
    const std::string installPrefix = prefix / "with space%and$";
    const platform::ProcessResult installed =
        platform::RunProcess({QUELLSTONE_CMAKE, "--install", QUELLSTONE_BUILD_DIR, "--component", "scheduled-scan",
                              "--prefix", installPrefix});
    ASSERT_EQ(installed.exitStatus, 0) << installed.out << installed.err;

    const std::string service = ReadAll(installPrefix + "/lib/systemd/user/quellstone-scan.service");
    EXPECT_EQ(Values(service, "Type"), std::vector<std::string>{"oneshot"});
    const std::vector<std::string> exec = Values(service, "ExecStart");
    ASSERT_EQ(exec.size(), 1u) << service;
    // The path is one quoted word, with systemd's specifier mark doubled.
    EXPECT_THAT(exec[0], StartsWith("\"" + prefix.Path() + "/with space%%and$/bin/quellstone-cli\" scan "));
    for (const char* option : {" --hidden", " --stored-exclusions", " --json", " --record-result", " %h"}) {
        EXPECT_THAT(exec[0], HasSubstr(option));
    }
    EXPECT_THAT(exec[0], Not(HasSubstr("--remove")));
    EXPECT_THAT(exec[0], Not(HasSubstr("--quick")));
    EXPECT_EQ(Values(service, "SuccessExitStatus"), std::vector<std::string>{"1"});  // detections are no failure
    EXPECT_EQ(Values(service, "IOSchedulingClass"), std::vector<std::string>{"idle"});
    EXPECT_EQ(Values(service, "Nice"), std::vector<std::string>{"19"});
    // The user's database first, where a key is configured; its failure ("-") does not stop the scan.
    EXPECT_EQ(Values(service, "ExecStartPre"),
              std::vector<std::string>{"-\"" + prefix.Path() +
                                       "/with space%%and$/bin/quellstone-cli\" update-database --if-configured"});

    const std::string timer = ReadAll(installPrefix + "/lib/systemd/user/quellstone-scan.timer");
    EXPECT_EQ(Values(timer, "OnCalendar"), std::vector<std::string>{"daily"});
    EXPECT_EQ(Values(timer, "Persistent"), std::vector<std::string>{"true"});
    EXPECT_EQ(Values(timer, "WantedBy"), std::vector<std::string>{"timers.target"});
    ASSERT_EQ(Values(timer, "RandomizedDelaySec").size(), 1u);
    // The unit the program writes itself when nothing is installed is the same but for the path.
    EXPECT_EQ(TimerUnitText(), timer);
    EXPECT_EQ(ServiceUnitText(prefix.Path() + "/with space%and$/bin/quellstone-cli"), service);

    // The system's units: the daily update for every user, and the scan of the whole computer.
    const struct {
        const char* unit;
        const char* command;
        bool updatesFirst;  // the scan's own update: the timers fire at their own random moments
    } systemUnits[] = {{"quellstone-update", " update-database --system --if-configured", false},
                       {"quellstone-scan", " scan --whole-computer --json --record-result", true}};
    const std::string program = "\"" + prefix.Path() + "/with space%%and$/bin/quellstone-cli\"";
    for (const auto& [unit, command, updatesFirst] : systemUnits) {
        SCOPED_TRACE(unit);
        const std::string folder = installPrefix + "/lib/systemd/system/" + unit;
        const std::string systemService = ReadAll(folder + ".service");
        EXPECT_EQ(Values(systemService, "ExecStart"), std::vector<std::string>{program + command});
        EXPECT_EQ(Values(systemService, "ExecStartPre"),
                  updatesFirst ? std::vector<std::string>{"-" + program + " update-database --system --if-configured"}
                               : std::vector<std::string>{});
        const std::string systemTimer = ReadAll(folder + ".timer");
        EXPECT_EQ(Values(systemTimer, "Persistent"), std::vector<std::string>{"true"});
        EXPECT_EQ(Values(systemTimer, "WantedBy"), std::vector<std::string>{"timers.target"});
        EXPECT_EQ(Values(systemTimer, "RandomizedDelaySec").size(), 1u);
    }
}

class ScheduledScanResultFile : public quellstone::testing::CliScanTest {
protected:
    const std::string resultFile = dir / "data/Orvanta/Quellstone/scheduled-scan.ini";
    platform::PosixFileStore files;
};

TEST_F(ScheduledScanResultFile, ARecordedScanIsReadBackByTheWindowsReader) {
    ::mkdir((tree + "/sub").c_str(), 0755);
    WriteFile(tree + "/sub/quellstone-test.exe");
    WriteFile(tree + "/plain.txt");

    // Without the option nothing is recorded.
    EXPECT_EQ(Run({"scan", "--db", db, tree}).status, 1);
    EXPECT_EQ(::access(resultFile.c_str(), F_OK), -1);

    const auto before =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const auto scanned = Run({"scan", "--db", db, "--json", "--record-result", tree});
    const auto after =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    EXPECT_EQ(scanned.status, 1) << scanned.err;  // the detection still decides the exit status
    const auto result = scan::ReadScheduledScanResult(files, resultFile);
    ASSERT_TRUE(result.has_value()) << ReadAll(resultFile);
    EXPECT_EQ(result->scanned, 3u);  // sub, sub/quellstone-test.exe, plain.txt
    EXPECT_EQ(result->detections, 1u);
    EXPECT_EQ(result->end, scan::ScanEnd::Finished);
    EXPECT_GE(result->endedAt, before);
    EXPECT_LE(result->endedAt, after);

    // Root's scan of the whole computer is the system's, for every user to read; root's own result stays.
    const bool root = ::geteuid() == 0;
    const std::string systemFile = dir / "system/scheduled-scan.ini";
    EXPECT_EQ(Run({"scan", "--whole-computer", "--db", dir / "no-such.db", "--record-result"}).status, 2);
    EXPECT_EQ(scan::ReadScheduledScanResult(files, root ? systemFile : resultFile)->end, scan::ScanEnd::Failed);
    EXPECT_EQ(scan::ReadScheduledScanResult(files, resultFile)->end,
              root ? scan::ScanEnd::Finished : scan::ScanEnd::Failed);
    struct stat status {};
    if (root) {
        ASSERT_EQ(::stat(systemFile.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0644u);
    }
}

TEST_F(ScheduledScanResultFile, AScanThatCouldNotRunIsRecordedAsFailedOverAnOlderCleanResult) {
    WriteFile(tree + "/plain.txt");
    const std::string unreadable = dir / "locked";
    ::mkdir(unreadable.c_str(), 0000);
    const bool runsAsRoot = ::geteuid() == 0;  // root reads a folder of mode 0000

    const std::vector<std::vector<std::string>> failing = {
        {"scan", "--db", dir / "no-such.db", "--record-result", tree},   // a database that is not there
        {"scan", "--db", tree + "/plain.txt", "--record-result", tree},  // a file that is no database
        {"scan", "--db", db, "--record-result", dir / "gone"},           // a start folder that is not there
        {"scan", "--db", db, "--record-result", "--exclude", "", tree},  // options that are wrong
        {"scan", "--db", db, "--record-result", unreadable},             // a start folder that cannot be read
    };
    for (const std::vector<std::string>& arguments : failing) {
        if (runsAsRoot && arguments.back() == unreadable) continue;
        // A clean result from an earlier scan must not outlive the failed one.
        ASSERT_EQ(Run({"scan", "--db", db, "--record-result", tree}).status, 0);
        ASSERT_EQ(scan::ReadScheduledScanResult(files, resultFile)->end, scan::ScanEnd::Finished);
        const auto failed = Run(arguments);
        EXPECT_EQ(failed.status, 2) << arguments[2] << failed.err;
        const auto result = scan::ReadScheduledScanResult(files, resultFile);
        ASSERT_TRUE(result.has_value()) << arguments[2] << ReadAll(resultFile);
        EXPECT_EQ(result->end, scan::ScanEnd::Failed) << arguments[2] << " " << arguments.back();
    }
    ::chmod(unreadable.c_str(), 0755);
}

TEST_F(ScheduledScanResultFile, AResultThatCannotBeWrittenIsAWarningOnly) {
    std::filesystem::create_directories(resultFile);  // a folder where the file should be
    const auto result = Run({"scan", "--db", db, "--record-result", tree});
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.err, HasSubstr("warning: could not write the scan's result"));
}

}  // namespace
}  // namespace quellstone::cli
