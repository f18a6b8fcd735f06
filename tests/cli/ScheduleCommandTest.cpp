#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/SystemdUnits.h"
#include "core/text/DisplayEscape.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::ReadAll;
using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;
using ::testing::HasSubstr;
using ::testing::Not;

// A systemctl first on PATH that writes its arguments, one run a line, to
// the log, answers "show" with FAKE_SHOW (with not-found for the unit named
// in FAKE_MISSING), and fails the subcommand named in FAKE_FAIL with a
// reason on its error output, as systemctl says it; the user's systemd
// (--user) and the system's alike.
constexpr const char* kFakeSystemctl =
    "#!/bin/sh\n"
    "echo \"$*\" >> \"$FAKE_LOG\"\n"
    "if [ \"$1\" = --user ]; then shift; fi\n"
    "if [ \"$1\" = \"$FAKE_FAIL\" ]; then\n"
    "  echo 'Failed to connect to bus: No medium found' >&2\n"
    "  exit 1\n"
    "fi\n"
    "if [ \"$1\" = show ] && [ \"$2\" = \"$FAKE_MISSING\" ]; then echo LoadState=not-found; exit 0; fi\n"
    "if [ \"$1\" = show ]; then printf '%s' \"$FAKE_SHOW\"; fi\n";

constexpr const char* kShowArguments =
    "--user show quellstone-scan.timer -p LoadState -p UnitFileState -p ActiveState -p SubState -p "
    "NextElapseUSecRealtime";

// The program's path as systemd reads an ExecStart= value's first word:
// double quotes removed, "\c" read as c, "%%" as "%" (a lone "%" is a specifier).
std::string CommandPath(std::string_view value) {
    std::string path;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size() && (quoted || value[i] != ' '); ++i) {
        if (value[i] == '"')
            quoted = !quoted;
        else if (value[i] == '%' && value.substr(i, 2) != "%%")
            return "a specifier";
        else
            path += value.at(i += (value[i] == '\\' || value[i] == '%'));
    }
    return path;
}

class ScheduleCommandTest : public quellstone::testing::CliTest {
protected:
    ScheduleCommandTest() {
        ::mkdir(bin.c_str(), 0755);
        WriteFile(bin + "/systemctl", kFakeSystemctl);
        ::chmod((bin + "/systemctl").c_str(), 0755);
    }
    quellstone::testing::CliResult Schedule(const std::string& action, const std::string& show = "",
                                            const std::string& fail = "", const std::string& path = "",
                                            const std::string& program = QUELLSTONE_CLI) {
        return Schedule({"schedule", action}, show, fail, path, program);
    }
    quellstone::testing::CliResult Schedule(const std::vector<std::string>& args, const std::string& show,
                                            const std::string& fail = "", const std::string& path = "",
                                            const std::string& program = QUELLSTONE_CLI) {
        return Run(args,
                   {"PATH=" + (path.empty() ? bin + ":/usr/bin:/bin" : path), "FAKE_LOG=" + log, "FAKE_SHOW=" + show,
                    "FAKE_FAIL=" + fail, "FAKE_MISSING=" + unknownUnit},
                   program);
    }
    std::string Log() const { return ReadAll(log); }

    const std::string bin = dir / "bin";
    const std::string log = dir / "systemctl.log";
    const std::string units = dir / "config/systemd/user";
    std::string unknownUnit;  // the unit systemd does not know
};

TEST_F(ScheduleCommandTest, EnableTurnsOnTheInstalledTimerWithoutWritingUnits) {
    const auto result = Schedule("enable", "LoadState=loaded\nUnitFileState=disabled\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Log(), std::string(kShowArguments) + "\n--user enable --now quellstone-scan.timer\n");
    EXPECT_THAT(result.out, HasSubstr("Enabled and started quellstone-scan.timer"));
    EXPECT_EQ(::access(units.c_str(), F_OK), -1);
}

TEST_F(ScheduleCommandTest, EnableWithoutInstalledUnitsWritesThemRunningThisProgram) {
    const auto result = Schedule("enable", "LoadState=not-found\nUnitFileState=\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Log(),
              std::string(kShowArguments) + "\n--user daemon-reload\n--user enable --now quellstone-scan.timer\n");
    const std::string service = ReadAll(units + "/quellstone-scan.service");
    EXPECT_THAT(service, HasSubstr("\nExecStart=\"" + std::string(QUELLSTONE_CLI) +
                                   "\" scan --hidden --stored-exclusions --json --record-result %h\n"));
    EXPECT_THAT(ReadAll(units + "/quellstone-scan.timer"), HasSubstr("\nOnCalendar=daily\n"));
    EXPECT_THAT(result.out, HasSubstr("were not installed; wrote " + units + "/quellstone-scan.service"));
}

TEST_F(ScheduleCommandTest, EnableWritesTheProgramAsOneExactWordOrRefusesAPathNoUnitCanRun) {
    const std::pair<std::string, std::string> folders[] = {
        // a folder's name, and why enable refuses it ("": the units are written)
        {"line\nExecStartPre=touch evil", "it holds a control character"},
        {"not UTF-8 \xff", "it is not valid UTF-8"},
        {"it's \"quoted\" back\\slash", "systemd runs no program whose path holds a quote or a backslash"},
        {"$HOME ${HOME} %h ;x; spaced", ""},
    };
    for (const auto& [name, refusal] : folders) {
        std::filesystem::create_directory(dir / name);
        const std::string program = std::filesystem::canonical(dir / name).string() + "/quellstone-cli";
        std::filesystem::copy_file(QUELLSTONE_CLI, program);
        EXPECT_EQ(CommandPath(ExecStartWord(program)), program);  // exact even where refused
        const auto result = Schedule("enable", "LoadState=not-found\n", "", "", program);
        const std::string service = ReadAll(units + "/quellstone-scan.service");
        EXPECT_EQ(result.status, refusal.empty() ? 0 : 2) << name << result.err;
        if (refusal.empty()) {
            EXPECT_EQ(CommandPath(service.substr(service.find("\nExecStart=") + 11)), program);
        } else {
            EXPECT_THAT(result.err, HasSubstr(text::EscapeForDisplay(program) + ": " + refusal));
            EXPECT_EQ(service + Log(), "") << name;  // nothing written, systemd not even asked
        }
    }
}

TEST_F(ScheduleCommandTest, UnitsWrittenEarlierForAnotherProgramAreWrittenAgain) {
    ::mkdir((dir / "config").c_str(), 0755);
    ::mkdir((dir / "config/systemd").c_str(), 0755);
    ::mkdir(units.c_str(), 0755);
    // Written by a build that has since been removed.
    WriteFile(units + "/quellstone-scan.service", "[Service]\nExecStart=\"/gone/quellstone-cli\" scan %h\n");
    WriteFile(units + "/quellstone-scan.timer", "[Timer]\n");
    const auto stale = Schedule("enable", "LoadState=loaded\nUnitFileState=enabled\n");
    EXPECT_EQ(stale.status, 0) << stale.err;
    EXPECT_EQ(Log(),
              std::string(kShowArguments) + "\n--user daemon-reload\n--user enable --now quellstone-scan.timer\n");
    EXPECT_THAT(stale.out, HasSubstr("started another command; wrote " + units + "/quellstone-scan.service"));
    EXPECT_THAT(ReadAll(units + "/quellstone-scan.service"), HasSubstr("ExecStart=\"" + std::string(QUELLSTONE_CLI)));
    EXPECT_THAT(ReadAll(units + "/quellstone-scan.timer"), HasSubstr("\nOnCalendar=daily\n"));

    // Current units are left alone.
    ::unlink(log.c_str());
    const auto current = Schedule("enable", "LoadState=loaded\nUnitFileState=enabled\n");
    EXPECT_EQ(current.status, 0) << current.err;
    EXPECT_EQ(Log(), std::string(kShowArguments) + "\n--user enable --now quellstone-scan.timer\n");
    EXPECT_THAT(current.out, Not(HasSubstr("wrote")));

    // Units from before the scan first updated the database are written again too.
    std::string older = ServiceUnitText(QUELLSTONE_CLI);
    const std::size_t update = older.find("ExecStartPre=");
    ASSERT_NE(update, std::string::npos);
    older.erase(update, older.find('\n', update) + 1 - update);
    WriteFile(units + "/quellstone-scan.service", older);
    EXPECT_THAT(Schedule("enable", "LoadState=loaded\n").out, HasSubstr("started another command; wrote"));
    EXPECT_EQ(ReadAll(units + "/quellstone-scan.service"), ServiceUnitText(QUELLSTONE_CLI));
}

TEST_F(ScheduleCommandTest, AFailingSystemctlEndsWithItsReasonAndStatusTwo) {
    for (const std::string step : {"show", "daemon-reload", "enable"}) {
        WriteFile(log);
        const auto result = Schedule("enable", "LoadState=not-found\n", step);
        EXPECT_EQ(result.status, 2) << step;
        EXPECT_THAT(result.err, HasSubstr("Failed to connect to bus: No medium found")) << step;
        EXPECT_THAT(result.out, Not(HasSubstr("Enabled"))) << step;
        // A failed step is the last one: the timer is never turned on after it.
        if (step != "enable") {
            EXPECT_THAT(Log(), Not(HasSubstr("enable --now"))) << step;
        }
    }
    const auto disabled = Schedule("disable", "", "disable");
    EXPECT_EQ(disabled.status, 2);
    EXPECT_THAT(disabled.err, HasSubstr("systemctl --user disable --now quellstone-scan.timer failed: Failed to "
                                        "connect to bus"));

    TempDir empty;  // no systemctl anywhere on PATH
    const auto missing = Schedule("enable", "", "", empty.Path());
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.err, HasSubstr("cannot run systemctl: No such file or directory"));
}

TEST_F(ScheduleCommandTest, DisableTurnsTheTimerOffAndKeepsTheUnits) {
    ::mkdir((dir / "config").c_str(), 0755);
    ::mkdir((dir / "config/systemd").c_str(), 0755);
    ::mkdir(units.c_str(), 0755);
    WriteFile(units + "/quellstone-scan.timer", "[Timer]\n");
    const auto result = Schedule("disable");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Log(), "--user disable --now quellstone-scan.timer\n");
    EXPECT_THAT(result.out, HasSubstr("Stopped and disabled quellstone-scan.timer"));
    EXPECT_EQ(ReadAll(units + "/quellstone-scan.timer"), "[Timer]\n");
}

TEST_F(ScheduleCommandTest, StatusSaysWhatSystemdSaysAndTheLastResult) {
    const auto never = Schedule("status",
                                "LoadState=loaded\nUnitFileState=enabled\nActiveState=active\nSubState=waiting\n"
                                "NextElapseUSecRealtime=Thu 2026-12-10 00:21:07 UTC\n");
    EXPECT_EQ(never.status, 0) << never.err;
    EXPECT_EQ(Log(), std::string(kShowArguments) + "\n");
    EXPECT_THAT(never.out, HasSubstr("Timer: enabled, active (waiting)\n"));
    EXPECT_THAT(never.out, HasSubstr("Next scan: Thu 2026-12-10 00:21:07 UTC\n"));
    EXPECT_THAT(never.out, HasSubstr("Last scheduled scan: never\n"));

    ::mkdir((dir / "data").c_str(), 0755);
    ::mkdir((dir / "data/Orvanta").c_str(), 0755);
    ::mkdir((dir / "data/Orvanta/Quellstone").c_str(), 0755);
    WriteFile(dir / "data/Orvanta/Quellstone/scheduled-scan.ini",
              "[ScheduledScan]\nEnded=1765238400\nScanned=7021\nDetections=2\nFinished=0\n");
    const auto off = Schedule("status",
                              "LoadState=loaded\nUnitFileState=disabled\nActiveState=inactive\n"
                              "SubState=dead\nNextElapseUSecRealtime=\n");
    EXPECT_THAT(off.out, HasSubstr("Timer: disabled, inactive (dead)\nNext scan: none\n"));
    EXPECT_THAT(off.out, HasSubstr(", 7021 entries scanned, 2 detections, stopped before the end\n"));

    WriteFile(dir / "data/Orvanta/Quellstone/scheduled-scan.ini",
              "[ScheduledScan]\nEnded=1765238400\nScanned=0\nDetections=0\nOutcome=failed\nFinished=0\n");
    const auto failedScan = Schedule("status", "LoadState=loaded\n");
    EXPECT_THAT(failedScan.out, HasSubstr(", the scan failed (see the journal"));
    EXPECT_THAT(failedScan.out, Not(HasSubstr("0 detections")));
    WriteFile(dir / "data/Orvanta/Quellstone/scheduled-scan.ini",
              "[ScheduledScan]\nEnded=1765238400\nScanned=7021\nDetections=2\nFinished=0\n");

    const auto absent = Schedule("status", "LoadState=not-found\n");
    EXPECT_THAT(absent.out, HasSubstr("quellstone-scan.timer is not installed"));

    // Without an answer from systemd the result is still shown, and the status says the query failed.
    const auto failed = Schedule("status", "", "show");
    EXPECT_EQ(failed.status, 2);
    EXPECT_THAT(failed.err, HasSubstr("Failed to connect to bus"));
    EXPECT_THAT(failed.out, HasSubstr("7021 entries scanned"));
}

TEST_F(ScheduleCommandTest, TheSystemsTimersAreTurnedByRootAndShownToAnyone) {
    const std::string show =
        "LoadState=loaded\nUnitFileState=enabled\nActiveState=active\nSubState=waiting\n"
        "NextElapseUSecRealtime=Thu 2026-12-10 03:00:00 UTC\n";
    const auto shown = [](const char* timer) {
        return "show " + std::string(timer) +
               " -p LoadState -p UnitFileState -p ActiveState -p SubState -p NextElapseUSecRealtime\n";
    };
    const std::string both = shown("quellstone-update.timer") + shown("quellstone-scan.timer");
    const struct {
        std::string action;
        std::string missing;  // the timer systemd does not know
        int status;
        std::string log;  // every systemctl run, never with --user
        std::string said;
    } cases[] = {
        // The build's vendor.ini holds no key: the updates would do nothing, which enable tells.
        {"enable", "", 0, both + "enable --now quellstone-update.timer quellstone-scan.timer\n", "once a day.\nNote: "},
        // The package's units are not written by the program: with one missing, nothing is enabled.
        {"enable", "quellstone-scan.timer", 2, both, "does not know both"},
        {"disable", "", 0, both + "disable --now quellstone-update.timer quellstone-scan.timer\n",
         "Stopped and disabled quellstone-update.timer and quellstone-scan.timer:"},
        // systemctl would disable neither when one is unknown.
        {"disable", "quellstone-scan.timer", 0, both + "disable --now quellstone-update.timer\n",
         "Stopped and disabled quellstone-update.timer:"},
        {"status", "", 0, both,
         "Update timer: enabled, active (waiting)\nNext update: Thu 2026-12-10 03:00:00 UTC\n"
         "Scan timer: enabled, active (waiting)\nNext scan: Thu 2026-12-10 03:00:00 UTC\n"
         "Last scheduled scan (all users): never\n"},
        {"status", "quellstone-update.timer", 0, both,
         "Update timer: quellstone-update.timer is not installed (install the quellstone package)\n"
         "Scan timer: enabled"},
    };
    for (const auto& expected : cases) {
        if (::geteuid() != 0 && expected.action != "status") continue;  // root's to turn
        SCOPED_TRACE(expected.action + " " + expected.missing);
        WriteFile(log);
        unknownUnit = expected.missing;
        const auto result = Schedule({"schedule", expected.action, "--system"}, show);
        EXPECT_EQ(result.status, expected.status) << result.err;
        EXPECT_EQ(Log(), expected.log);
        EXPECT_THAT(result.out + result.err, HasSubstr(expected.said));
    }
    EXPECT_EQ(::access(units.c_str(), F_OK), -1);

    // The system's last scan, which root's scans record beside the system's database.
    ::mkdir((dir / "system").c_str(), 0755);
    WriteFile(dir / "system/scheduled-scan.ini",
              "[ScheduledScan]\nEnded=1765238400\nScanned=612904\nDetections=1\nOutcome=failed\nFinished=0\n");
    EXPECT_THAT(Schedule({"schedule", "status", "--system"}, show).out,
                HasSubstr(", the scan failed (see the journal: journalctl -u quellstone-scan.service)\n"));

    // Anyone else is refused before systemd is asked anything.
    for (const std::string action : {"enable", "disable"}) {
        const bool root = ::geteuid() == 0;
        const auto refused =
            quellstone::testing::RunCli({"schedule", action, "--system"}, {"PATH=" + bin + ":/usr/bin:/bin"}, root,
                                        root ? quellstone::testing::ProgramForNobody(dir) : QUELLSTONE_CLI);
        EXPECT_EQ(refused.status, 2) << action;
        EXPECT_THAT(refused.err, HasSubstr(action + " --system turns the system's timers"));
    }
}

}  // namespace
}  // namespace quellstone::cli
