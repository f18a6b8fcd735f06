#include "cli/ScheduleCommand.h"

#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <span>

#include "cli/SystemdUnits.h"
#include "core/i18n/VendorAddresses.h"
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
    "and keeps its result for the window's Information frame. Before it scans,\n"
    "it updates the user's database when vendor.ini holds an update key.\n"
    "\n"
    "With --system it is the system's pair of timers instead, which the package\n"
    "installs: quellstone-update.timer updates the database for every user\n"
    "(update-database --system) and quellstone-scan.timer scans the whole\n"
    "computer with its processes and autostart entries, hidden entries\n"
    "included, removing nothing; its result is kept in /var/lib/quellstone for\n"
    "every user's Information frame.\n";

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
    "enable --system (root) runs systemctl enable --now on both system timers;\n"
    "it writes no units and refuses when they are not installed. disable\n"
    "--system (root) turns off those installed. status --system shows both\n"
    "timers and the last scheduled scan of the whole computer, for any user.\n"
    "\n"
    "enable refuses, before asking systemd anything, a program whose path a\n"
    "unit cannot hold (a control character, bytes that are not UTF-8) or that\n"
    "systemd would not run (a quote or a backslash).\n"
    "\n"
    "Exit status: 0 done, 2 systemctl failed (its reason is shown) or could\n"
    "not be run, the program's path was refused, the system's timers are not\n"
    "installed, or --system was given to enable or disable without root.\n";

CommandDefinition ScheduleDefinition() {
    return {
        .name = "schedule",
        .summary =
            "Turn the daily scan of the home folder (--system: the whole computer's update and scan) on "
            "or off, or show its state",
        .options = {{"system", "",
                     "The system's daily database update and scan of the whole computer instead (enable and "
                     "disable need root)"}},
        .actions =
            {
                {"enable", {"system"}, {}, "Turns the daily scan on"},
                {"disable", {"system"}, {}, "Turns the daily scan off"},
                {"status", {"system"}, {}, "Shows whether it is on, when it runs next, and the last result"},
            },
        .description = kDescription,
        .details = kDetails,
    };
}

// Which systemd a command speaks to: the user's own, for the scan of the
// home folder, or the system's, for the update and the whole computer's scan.
enum class Scope { User, System };

// One timer as status shows it: its unit, and the captions of its lines.
struct TimerLines {
    std::string_view unit;
    std::string_view stateCaption;
    std::string_view nextCaption;
    std::string_view installHint;  // what to do when systemd does not know it
};

constexpr TimerLines kUserTimer{kTimerUnitName, "Timer", "Next scan", "quellstone-cli schedule enable writes it"};
constexpr TimerLines kSystemTimers[] = {
    {kUpdateTimerUnitName, "Update timer", "Next update", "install the quellstone package"},
    {kTimerUnitName, "Scan timer", "Next scan", "install the quellstone package"},
};

// `systemctl`, with --user for the user's systemd.
std::vector<std::string> SystemctlWords(Scope scope) {
    if (scope == Scope::User) return {"systemctl", "--user"};
    return {"systemctl"};
}

// Runs `systemctl [--user] ARGS`.
platform::ProcessResult Systemctl(Scope scope, const std::vector<std::string>& args) {
    std::vector<std::string> command = SystemctlWords(scope);
    command.insert(command.end(), args.begin(), args.end());
    return platform::RunProcess(command);
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

// Asks systemd about a timer; nullopt (reported) when systemctl fails.
std::optional<std::map<std::string, std::string, std::less<>>> TimerProperties(Scope scope, std::string_view timer,
                                                                               CommandIo& io) {
    const platform::ProcessResult shown =
        Systemctl(scope, {"show", std::string(timer), "-p", "LoadState", "-p", "UnitFileState", "-p", "ActiveState",
                          "-p", "SubState", "-p", "NextElapseUSecRealtime"});
    if (!Succeeded(shown)) {
        io.err << "quellstone-cli schedule: cannot ask systemd about " << timer << ": " << FailureReason(shown) << "\n";
        return std::nullopt;
    }
    return Properties(shown.out);
}

// The commands a unit runs: its ExecStart= and ExecStartPre= lines.
std::string ExecStartLines(std::string_view unit) {
    std::string found;
    ini::ForEachLine(unit, [&](std::string_view line) {
        if (line.starts_with("ExecStart")) found.append(line).append("\n");
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
    return ExecStartLines(content.bytes) != ExecStartLines(ServiceUnitText(ProgramPath(io)));
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
bool Step(Scope scope, const std::vector<std::string>& args, CommandIo& io) {
    std::string shown = scope == Scope::User ? "systemctl --user" : "systemctl";
    for (const std::string& arg : args) shown += " " + arg;
    const platform::ProcessResult result = Systemctl(scope, args);
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
    const auto properties = TimerProperties(Scope::User, kTimerUnitName, io);
    if (!properties) return kExitError;
    if (Property(*properties, "LoadState") == "not-found") {
        if (!WriteUserUnits(io, "The units were not installed") || !Step(Scope::User, {"daemon-reload"}, io))
            return kExitError;
    } else if (UserServiceIsStale(io)) {
        if (!WriteUserUnits(io, "The units written earlier started another command") ||
            !Step(Scope::User, {"daemon-reload"}, io))
            return kExitError;
    }
    if (!Step(Scope::User, {"enable", "--now", std::string(kTimerUnitName)}, io)) return kExitError;
    io.out << "Enabled and started " << kTimerUnitName << ": the home folder is scanned once a day.\n";
    return kExitOk;
}

int Disable(CommandIo& io) {
    if (!Step(Scope::User, {"disable", "--now", std::string(kTimerUnitName)}, io)) return kExitError;
    io.out << "Stopped and disabled " << kTimerUnitName << ": no more scheduled scans (the unit files stay).\n";
    return kExitOk;
}

// `systemctl ACTION --now` over the system's timers that systemd knows.
// The timers are the package's: only root may turn them on or off; nullopt
// (reported) for anyone else, or when systemctl cannot be asked.
std::optional<std::vector<std::string>> SystemTimersCommand(const std::string& action, CommandIo& io) {
    if (::geteuid() != 0) {
        io.err << "quellstone-cli schedule: " << action << " --system turns the system's timers "
               << (action == "enable" ? "on" : "off") << " and needs root (sudo quellstone-cli schedule " << action
               << " --system)\n";
        return std::nullopt;
    }
    std::vector<std::string> command{action, "--now"};
    for (const TimerLines& timer : kSystemTimers) {
        const auto properties = TimerProperties(Scope::System, timer.unit, io);
        if (!properties) return std::nullopt;
        if (Property(*properties, "LoadState") != "not-found") command.emplace_back(timer.unit);
    }
    return command;
}

int EnableSystem(CommandIo& io) {
    const auto command = SystemTimersCommand("enable", io);
    if (!command) return kExitError;
    // Both or none: an update without the scan, or the reverse, is not what was asked for.
    if (command->size() != 2 + std::size(kSystemTimers)) {
        io.err << "quellstone-cli schedule: systemd does not know both " << kUpdateTimerUnitName << " and "
               << kTimerUnitName
               << ": the system's units come with the installed program (install the quellstone package, or "
                  "cmake --install into a prefix whose lib/systemd/system systemd reads, such as /usr or "
                  "/usr/local); nothing was turned on\n";
        return kExitError;
    }
    if (!Step(Scope::System, *command, io)) return kExitError;
    io.out << "Enabled and started " << kUpdateTimerUnitName << " and " << kTimerUnitName
           << ": the database is updated for every user and the whole computer is scanned once a day.\n";
    // The update does nothing without a key, and says so only in the journal.
    platform::PosixFileStore files;
    const settings::ProgramPaths paths = platform::LinuxProgramPaths(platform::ProcessEnvironment(), io.layout);
    if (i18n::VendorAddresses::Load(files, paths.VendorFile()).updatePublicKey.empty()) {
        io.out << "Note: " << text::EscapeForDisplay(paths.VendorFile())
               << " holds no update key (PublicKey in [Update]): until it does, the database is not updated.\n";
    }
    return kExitOk;
}

int DisableSystem(CommandIo& io) {
    // systemctl disables none of its units when one is unknown: only those it knows.
    const auto command = SystemTimersCommand("disable", io);
    if (!command) return kExitError;
    if (command->size() == 2) {
        io.out << "Neither " << kUpdateTimerUnitName << " nor " << kTimerUnitName
               << " is installed: nothing to turn off.\n";
        return kExitOk;
    }
    if (!Step(Scope::System, *command, io)) return kExitError;
    io.out << "Stopped and disabled";
    for (std::size_t unit = 2; unit < command->size(); ++unit)
        io.out << (unit == 2 ? " " : " and ") << (*command)[unit];
    io.out << ": no more daily runs for the whole computer (the unit files stay).\n";
    return kExitOk;
}

std::string ResultText(const std::optional<scan::ScheduledScanResult>& result, Scope scope) {
    if (!result) return "never";
    const std::string when =
        text::LocalTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(result->endedAt)));
    if (result->end == scan::ScanEnd::Failed)
        return when + ", the scan failed (see the journal: journalctl " + (scope == Scope::User ? "--user " : "") +
               "-u " + std::string(kServiceUnitName) + ")";
    return when + ", " + std::to_string(result->scanned) + " entries scanned, " + std::to_string(result->detections) +
           (result->detections == 1 ? " detection" : " detections") +
           (result->end == scan::ScanEnd::Finished ? "" : ", stopped before the end");
}

// A timer's state as systemd tells it.
void WriteTimerState(const TimerLines& timer, const std::map<std::string, std::string, std::less<>>& properties,
                     CommandIo& io) {
    if (Property(properties, "LoadState") == "not-found") {
        io.out << timer.stateCaption << ": " << timer.unit << " is not installed (" << timer.installHint << ")\n";
        return;
    }
    const std::string enabled = Property(properties, "UnitFileState");
    const std::string subState = Property(properties, "SubState");
    io.out << timer.stateCaption << ": " << text::EscapeForDisplay(enabled.empty() ? "unknown" : enabled) << ", "
           << text::EscapeForDisplay(Property(properties, "ActiveState"))
           << (subState.empty() ? "" : " (" + text::EscapeForDisplay(subState) + ")") << "\n";
    const std::string next = Property(properties, "NextElapseUSecRealtime");
    io.out << timer.nextCaption << ": " << (next.empty() ? std::string("none") : text::EscapeForDisplay(next)) << "\n";
}

int Status(Scope scope, CommandIo& io) {
    // Without an answer from systemd the last result is still worth showing.
    bool answered = true;
    const std::span<const TimerLines> timers =
        scope == Scope::User ? std::span<const TimerLines>(&kUserTimer, 1) : std::span<const TimerLines>(kSystemTimers);
    for (const TimerLines& timer : timers) {
        const auto properties = TimerProperties(scope, timer.unit, io);
        if (properties) WriteTimerState(timer, *properties, io);
        answered = answered && properties.has_value();
    }
    platform::PosixFileStore files;
    const settings::ProgramPaths paths = platform::LinuxProgramPaths(platform::ProcessEnvironment(), io.layout);
    const std::string path =
        scope == Scope::User ? scan::ScheduledScanResultPath(paths) : scan::SystemScanResultPath(paths);
    io.out << (scope == Scope::User ? "Last scheduled scan: " : "Last scheduled scan (all users): ")
           << ResultText(scan::ReadScheduledScanResult(files, path), scope) << "\n";
    return answered ? kExitOk : kExitError;
}

}  // namespace

ScheduleCommand::ScheduleCommand() : Command(ScheduleDefinition()) {}

int ScheduleCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    const bool system = args.Has("system");
    if (args.action == "enable") return system ? EnableSystem(io) : Enable(io);
    if (args.action == "disable") return system ? DisableSystem(io) : Disable(io);
    return Status(system ? Scope::System : Scope::User, io);
}

}  // namespace quellstone::cli
