#include "cli/ScheduleCommand.h"

#include <chrono>
#include <cstring>
#include <map>
#include <optional>

#include "cli/SystemdUnits.h"
#include "core/ini/IniFormat.h"
#include "core/scan/ScheduledScanResult.h"
#include "core/text/DisplayEscape.h"
#include "core/text/TimeText.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcessRunner.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

constexpr std::string_view kDescription =
    "Turns the daily scan of the home folder on and off. The scan is a systemd\n"
    "user service, quellstone-scan.service, started once a day by\n"
    "quellstone-scan.timer: it scans ~ with hidden entries, removes nothing,\n"
    "writes JSON Lines to the journal (journalctl --user -u quellstone-scan)\n"
    "and keeps its result for the window's Information frame.\n";

constexpr std::string_view kDetails =
    "enable runs systemctl --user enable --now quellstone-scan.timer. When the\n"
    "user's systemd knows no such unit (a quellstone-cli that was never\n"
    "installed), it first writes both units into $XDG_CONFIG_HOME/systemd/user\n"
    "(else ~/.config/systemd/user), running this very quellstone-cli, and\n"
    "reloads systemd. disable runs systemctl --user disable --now\n"
    "quellstone-scan.timer and leaves the unit files where they are. status\n"
    "says whether the timer is enabled and active, when it runs next, and the\n"
    "last scheduled scan's result.\n"
    "\n"
    "enable refuses, before asking systemd anything, a program whose path a\n"
    "unit cannot hold (a control character, bytes that are not UTF-8) or that\n"
    "systemd would not run (a quote or a backslash).\n"
    "\n"
    "Exit status: 0 done, 2 systemctl failed (its reason is shown) or could\n"
    "not be run, or the program's path was refused.\n";

CommandDefinition ScheduleDefinition() {
    return {
        .name = "schedule",
        .summary = "Turn the daily scan of the home folder on or off, or show its state",
        .actions =
            {
                {"enable", {}, {}, "Turns the daily scan on"},
                {"disable", {}, {}, "Turns the daily scan off"},
                {"status", {}, {}, "Shows whether it is on, when it runs next, and the last result"},
            },
        .description = kDescription,
        .details = kDetails,
    };
}

// Runs `systemctl --user ARGS`.
platform::ProcessResult Systemctl(std::vector<std::string> args) {
    args.insert(args.begin(), {"systemctl", "--user"});
    return platform::RunProcess(args);
}

bool Succeeded(const platform::ProcessResult& result) {
    return result.started && result.exitStatus == 0;
}

// Why systemctl failed, in its own words where it gave some: the last line
// of its error output.
std::string FailureReason(const platform::ProcessResult& result) {
    if (!result.started) return std::string("cannot run systemctl: ") + std::strerror(result.startError);
    std::string_view said = result.err;
    while (!said.empty() && (said.back() == '\n' || said.back() == ' ' || said.back() == '\r')) said.remove_suffix(1);
    if (const std::size_t lineStart = said.rfind('\n'); lineStart != std::string_view::npos) {
        said.remove_prefix(lineStart + 1);
    }
    if (!said.empty()) return text::EscapeForDisplay(said);
    return result.exitStatus < 0 ? "systemctl was ended by a signal"
                                 : "systemctl ended with exit status " + std::to_string(result.exitStatus);
}

// The "Name=value" lines of systemctl show.
std::map<std::string, std::string, std::less<>> Properties(std::string_view shown) {
    std::map<std::string, std::string, std::less<>> properties;
    ini::ForEachLine(shown, [&](std::string_view line) {
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) properties.emplace(line.substr(0, equals), line.substr(equals + 1));
    });
    return properties;
}

std::string Property(const std::map<std::string, std::string, std::less<>>& properties, std::string_view name) {
    const auto it = properties.find(name);
    return it == properties.end() ? std::string() : it->second;
}

// Asks systemd about the timer; nullopt (reported) when systemctl fails.
std::optional<std::map<std::string, std::string, std::less<>>> TimerProperties(CommandIo& io) {
    const platform::ProcessResult shown =
        Systemctl({"show", std::string(kTimerUnitName), "-p", "LoadState", "-p", "UnitFileState", "-p", "ActiveState",
                   "-p", "SubState", "-p", "NextElapseUSecRealtime"});
    if (!Succeeded(shown)) {
        io.err << "quellstone-cli schedule: cannot ask systemd about " << kTimerUnitName << ": " << FailureReason(shown)
               << "\n";
        return std::nullopt;
    }
    return Properties(shown.out);
}

// The ExecStart= line of a unit's text; empty when it has none.
std::string ExecStartLine(std::string_view unit) {
    std::string found;
    ini::ForEachLine(unit, [&](std::string_view line) {
        if (line.starts_with("ExecStart=") && found.empty()) found = std::string(line);
    });
    return found;
}

// This quellstone-cli, which the units written here run.
std::string ProgramPath(const CommandIo& io) {
    return io.executableFolder + "/quellstone-cli";
}

// Whether the service unit in the user's unit folder (which systemd prefers
// to an installed one) starts another command than this program would
// write: a program moved or removed since, another copy, older options.
bool UserServiceIsStale(CommandIo& io) {
    const std::string service =
        platform::UserUnitFolder(platform::ProcessEnvironment()) + "/" + std::string(kServiceUnitName);
    platform::PosixFileStore files;
    const ports::FileContent content = files.ReadFile(service);
    if (content.status != ports::ReadStatus::Ok) return false;
    return ExecStartLine(content.bytes) != ExecStartLine(ServiceUnitText(ProgramPath(io)));
}

// Writes both units into the user's unit folder, running this quellstone-cli.
bool WriteUserUnits(CommandIo& io, std::string_view why) {
    const std::string folder = platform::UserUnitFolder(platform::ProcessEnvironment());
    const std::string program = ProgramPath(io);
    const std::string service = folder + "/" + std::string(kServiceUnitName);
    const std::string timer = folder + "/" + std::string(kTimerUnitName);
    platform::PosixFileStore files;
    if (!files.CreateFolders(folder) || !files.ReplaceFile(service, ServiceUnitText(program)) ||
        !files.ReplaceFile(timer, TimerUnitText())) {
        io.err << "quellstone-cli schedule: cannot write the units into " << text::EscapeForDisplay(folder) << "\n";
        return false;
    }
    io.out << why << "; wrote " << text::EscapeForDisplay(service) << " and " << text::EscapeForDisplay(timer)
           << ", which run " << text::EscapeForDisplay(program) << ".\n";
    return true;
}

// Runs one systemctl step; false (reported) when it fails.
bool Step(std::vector<std::string> args, CommandIo& io) {
    std::string shown = "systemctl --user";
    for (const std::string& arg : args) shown += " " + arg;
    const platform::ProcessResult result = Systemctl(std::move(args));
    if (Succeeded(result)) return true;
    io.err << "quellstone-cli schedule: " << shown << " failed: " << FailureReason(result) << "\n";
    return false;
}

int Enable(CommandIo& io) {
    // Refused before systemd is asked anything: a unit for this path would
    // not do what it says, and none is written.
    if (const auto refusal = ExecStartRefusal(ProgramPath(io))) {
        io.err << "quellstone-cli schedule: a systemd unit cannot run " << text::EscapeForDisplay(ProgramPath(io))
               << ": " << *refusal << ". Move the program to another folder and enable the schedule from there.\n";
        return kExitError;
    }
    const auto properties = TimerProperties(io);
    if (!properties) return kExitError;
    if (Property(*properties, "LoadState") == "not-found") {
        if (!WriteUserUnits(io, "The units were not installed") || !Step({"daemon-reload"}, io)) return kExitError;
    } else if (UserServiceIsStale(io)) {
        if (!WriteUserUnits(io, "The units written earlier started another command") || !Step({"daemon-reload"}, io))
            return kExitError;
    }
    if (!Step({"enable", "--now", std::string(kTimerUnitName)}, io)) return kExitError;
    io.out << "Enabled and started " << kTimerUnitName << ": the home folder is scanned once a day.\n";
    return kExitOk;
}

int Disable(CommandIo& io) {
    if (!Step({"disable", "--now", std::string(kTimerUnitName)}, io)) return kExitError;
    io.out << "Stopped and disabled " << kTimerUnitName << ": no more scheduled scans (the unit files stay).\n";
    return kExitOk;
}

std::string ResultText(const std::optional<scan::ScheduledScanResult>& result) {
    if (!result) return "never";
    const std::string when =
        text::LocalTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(result->endedAt)));
    if (result->end == scan::ScanEnd::Failed)
        return when + ", the scan failed (see the journal: journalctl --user -u " + std::string(kServiceUnitName) + ")";
    return when + ", " + std::to_string(result->scanned) + " entries scanned, " + std::to_string(result->detections) +
           (result->detections == 1 ? " detection" : " detections") +
           (result->end == scan::ScanEnd::Finished ? "" : ", stopped before the end");
}

// The timer's state as systemd tells it.
void WriteTimerState(const std::map<std::string, std::string, std::less<>>& properties, CommandIo& io) {
    if (Property(properties, "LoadState") == "not-found") {
        io.out << "Timer: " << kTimerUnitName << " is not installed (quellstone-cli schedule enable writes it)\n";
        return;
    }
    const std::string enabled = Property(properties, "UnitFileState");
    const std::string subState = Property(properties, "SubState");
    io.out << "Timer: " << text::EscapeForDisplay(enabled.empty() ? "unknown" : enabled) << ", "
           << text::EscapeForDisplay(Property(properties, "ActiveState"))
           << (subState.empty() ? "" : " (" + text::EscapeForDisplay(subState) + ")") << "\n";
    const std::string next = Property(properties, "NextElapseUSecRealtime");
    io.out << "Next scan: " << (next.empty() ? std::string("none") : text::EscapeForDisplay(next)) << "\n";
}

int Status(CommandIo& io) {
    // Without an answer from systemd the last result is still worth showing.
    const auto properties = TimerProperties(io);
    if (properties) WriteTimerState(*properties, io);
    platform::PosixFileStore files;
    const std::string path =
        scan::ScheduledScanResultPath(platform::LinuxProgramPaths(platform::ProcessEnvironment(), io.layout));
    io.out << "Last scheduled scan: " << ResultText(scan::ReadScheduledScanResult(files, path)) << "\n";
    return properties ? kExitOk : kExitError;
}

}  // namespace

ScheduleCommand::ScheduleCommand() : Command(ScheduleDefinition()) {}

int ScheduleCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    if (args.action == "enable") return Enable(io);
    if (args.action == "disable") return Disable(io);
    return Status(io);
}

}  // namespace quellstone::cli
