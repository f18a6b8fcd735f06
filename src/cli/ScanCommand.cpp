#include "cli/ScanCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <iterator>
#include <optional>
#include <set>

#include "cli/DatabaseChoice.h"
#include "cli/ScanOutput.h"
#include "cli/ScanResultRecord.h"
#include "cli/StopSignal.h"
#include "core/app/Context.h"
#include "core/quarantine/Remover.h"
#include "core/scan/FileWalker.h"
#include "core/scan/ScanPlan.h"
#include "core/settings/ScanExclusions.h"
#include "core/settings/Statistics.h"
#include "core/text/DisplayEscape.h"
#include "platform/LocaleCalendar.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcMountTable.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

constexpr std::string_view kDescription =
    "Walks each PATH and looks the name of every file and folder up in the\n"
    "signature database. Hidden entries (names that begin with \".\") are\n"
    "skipped unless --hidden is given; symbolic links are looked up but never\n"
    "followed; other file systems mounted inside a PATH are not entered. A\n"
    "PATH that is not a folder is looked up by its own name.\n"
    "\n"
    "Instead of PATHs, --quick walks the system folder /usr and\n"
    "--whole-computer walks /opt/, then every mounted storage file system in\n"
    "the order the system lists them (the same folders as the desktop\n"
    "program's scan modes).\n";

constexpr std::string_view kDetails =
    "Text output is one line \"PATH: DETECTION FOUND\" per detection, then a\n"
    "summary; bytes that are not UTF-8 and control characters are shown as\n"
    "\\xHH, a backslash as \\\\.\n"
    "\n"
    "A PATH that does not exist or cannot be read is an error; folders\n"
    "inside it that could not be read are counted in the summary.\n"
    "\n"
    "Only the options on the command line count: the hidden-entries switch\n"
    "and the excluded folders of the desktop program's settings do not, so\n"
    "a script scans the same way for every user, unless --stored-exclusions\n"
    "asks for those folders too. A PATH that --exclude or --stored-exclusions\n"
    "covers (the folder itself, a folder above it, or a link to either) is\n"
    "not scanned, and a line on standard error says so; it is no error.\n"
    "\n"
    "Exit status: 0 nothing found, 1 detections found, 2 error,\n"
    "130 stopped by Ctrl-C (what was found so far is reported).\n";

CommandDefinition ScanDefinition() {
    return {
        .name = "scan",
        .summary = "Scan folders for files and folders named like known trojans",
        .options =
            {
                {"db", "FILE", "Use FILE as the signature database instead of the one in use"},
                {"json", "",
                 "Write JSON Lines: {\"path\": ..., \"detection\": ...} per detection, then {\"summary\": {...}}. "
                 "Bytes of a path that are not UTF-8 are written as \\udcXX."},
                {"remove", "",
                 "After the scan, delete every detected file, first copying it into the quarantine when the "
                 "quarantine switch is on (quellstone-cli settings set Settings Quarintine 1); with the switch on, "
                 "a file whose copy fails is not deleted. One line per detection says REMOVED, ALREADY GONE or "
                 "NOT REMOVED."},
                {"hidden", "",
                 "Also look up and walk hidden entries (names that begin with \".\"); \".\" and \"..\" never"},
                {"exclude", "PATH",
                 "Leave the folder PATH out: it is neither looked up nor entered, whether the walk meets it by "
                 "this path or through a link to it. May be given more than once."},
                {"stored-exclusions", "",
                 "Also leave out the folders excluded in the desktop program's settings (the user's settings file, "
                 "[Settings] ExcludedFolders), as --exclude does; the scheduled scan uses it."},
                {"quick", "", "Walk the system folder /usr instead of PATHs"},
                {"whole-computer", "",
                 "Walk /opt/ and every mounted storage file system instead of PATHs, and store today's date as "
                 "the last system scan"},
                {"record-result", "",
                 "When the scan ends (finished, stopped by a signal, or failed: a PATH or the database that "
                 "cannot be read, options that are wrong), write the time it ended, the entries scanned, the "
                 "detections and how it ended to $XDG_DATA_HOME/Orvanta/Quellstone/"
                 "scheduled-scan.ini (default ~/.local/share/...), which the window's Information frame shows as "
                 "the last scheduled scan. The scheduled scan (quellstone-cli schedule) uses it."},
            },
        .arguments = {{"PATH", Argument::Count::AnyNumber}},
        .description = kDescription,
        .details = kDetails,
    };
}

// A place the walk starts from: a folder is walked, anything else looked up by its own name.
struct StartPoint {
    std::string path;
    bool isFolder = true;
};

// PATHs, --quick or --whole-computer: exactly one of them.
std::optional<scan::ScanMode> ChooseMode(const ParsedArguments& args) {
    const bool quick = args.Has("quick");
    const bool wholeComputer = args.Has("whole-computer");
    if ((quick ? 1 : 0) + (wholeComputer ? 1 : 0) + (args.positional.empty() ? 0 : 1) != 1) return std::nullopt;
    return quick           ? scan::ScanMode::QuickScan
           : wholeComputer ? scan::ScanMode::WholeComputer
                           : scan::ScanMode::ChosenFolder;
}

// The PATHs as given, each known as a folder or not; nullopt (reported) when one cannot be reached.
std::optional<std::vector<StartPoint>> NamedStartPoints(const std::vector<std::string>& paths, std::ostream& err) {
    std::vector<StartPoint> points;
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) {
            err << "quellstone-cli scan: " << text::EscapeForDisplay(path) << ": " << std::strerror(errno) << "\n";
            return std::nullopt;
        }
        points.push_back({path, S_ISDIR(st.st_mode)});
    }
    return points;
}

// Loads the database (`path`, or the one in use when empty); false (reported) when it is none.
bool OpenDatabase(scan::SignatureDatabase& signatures, const std::string& path, std::ostream& err) {
    ini::Ini& accessor = signatures.Accessor();
    accessor.SetPath(path.empty() ? signatures.DefaultPath() : path);
    accessor.SetSection(std::string(scan::kScanSection));
    switch (signatures.IndexForScan()->LoadStatus()) {
        case scan::SignatureIndex::Status::Loaded: return true;
        case scan::SignatureIndex::Status::Unreadable:
            err << "quellstone-cli scan: cannot read the signature database " << text::EscapeForDisplay(accessor.Path())
                << "\n";
            return false;
        case scan::SignatureIndex::Status::NoSection:
            err << "quellstone-cli scan: " << text::EscapeForDisplay(accessor.Path())
                << " is not a signature database (it has no [Scanfiles] section)\n";
            return false;
    }
    return false;
}

// The folders of --quick or --whole-computer, from the launcher, so both front ends walk the same ones.
std::vector<StartPoint> PlannedStartPoints(scan::ScanMode mode, ports::FileStore& files, const std::string& folder) {
    platform::ProcMountTable drives(files);
    const auto paths = settings::ProgramPaths::OnThisSystem(folder, "");
    std::vector<StartPoint> points;
    for (const scan::ScanTarget& target : scan::PlanScan(mode, "", paths, drives)) {
        // A system without /opt/ has nothing there to scan; that is no error.
        struct stat st {};
        if (::lstat(target.folder.c_str(), &st) != 0 && errno == ENOENT) continue;
        points.push_back({target.folder, true});
    }
    return points;
}

// The folders to leave out: those of --exclude, and with --stored-exclusions
// those the desktop program stores too (see kDetails).
std::vector<std::string> ExcludedFoldersOf(const ParsedArguments& args, settings::SettingsStore& store) {
    const auto excluded = args.options.find("exclude");
    std::vector<std::string> folders = excluded == args.options.end() ? std::vector<std::string>() : excluded->second;
    if (args.Has("stored-exclusions")) std::ranges::copy(settings::ExcludedFolders(store), std::back_inserter(folders));
    return folders;
}

void Walk(app::Context& context, const ParsedArguments& args, const std::vector<std::string>& excluded,
          const std::vector<StartPoint>& points, const StopSignal& stop, ScanOutput& output) {
    StopRequestPump pump(stop, context.scan);
    platform::PosixDirectoryTree tree;
    scan::FileWalker walker(context.scan, context.signatures, tree, pump, output);
    platform::PosixFileStore files;
    platform::ProcMountTable mounts(files);
    scan::WalkOptions options =
        scan::WalkOptions::Make(args.Has("hidden"), excluded, tree, mounts.StorageMountPoints());
    options.mountPoints = mounts.AllMountPoints();
    walker.SetOptions(std::move(options));
    for (const StartPoint& point : points) {
        if (stop.Received() != 0) break;
        if (!point.isFolder) {
            walker.ScanEntry(point.path);
            continue;
        }
        std::string pattern = "*.*";
        std::string path = point.path;
        if (walker.ScanTree(pattern, path) == scan::WalkEnd::Stopped) break;
    }
}

// The start folder of a relative PATH, made absolute with the current
// folder as named (links not resolved), so that the quarantine record names
// the place a restore goes back to from anywhere.
ports::ReachablePath Absolute(ports::ReachablePath location) {
    if (location.startFolder.empty() || location.startFolder.starts_with('/')) return location;
    std::string current(PATH_MAX + 1, '\0');
    if (::getcwd(current.data(), current.size()) == nullptr) return location;
    current.resize(std::strlen(current.c_str()));
    location.startFolder = location.startFolder == "." ? current : current + "/" + location.startFolder;
    return location;
}

// Removes what the walk found, each file once; Ctrl-C stops the removal too.
void RemoveDetected(quarantine::Remover& remover, const StopSignal& stop, ScanOutput& output) {
    std::set<std::string> handled;  // overlapping PATHs find a file twice
    for (const DetectedFile& file : output.DetectedFiles()) {
        if (stop.Received() != 0) break;
        if (!handled.insert(file.path).second) continue;
        const quarantine::Removal removal = remover.Remove(Absolute(file.location), file.detection);
        if (removal.outcome == quarantine::RemovalOutcome::Removed) remover.CountRemoved();
        output.AddRemoval(file.path, removal);
    }
}

// The exit status, with the reasons for an unhappy one on `err`.
int Outcome(const StopSignal& stop, const ScanOutput& output, scan::ScanMode mode, std::ostream& err) {
    if (const int signal = stop.Received(); signal != 0) {
        err << "quellstone-cli scan: stopped; the detections above are what was found until then\n";
        return kExitInterrupted(signal);
    }
    // A folder named to the scan that could not be read was not scanned: that
    // is an error, never "nothing found". A folder of --quick or
    // --whole-computer that cannot be read (a mount point the user may not
    // read) is a warning; the scan covered the rest.
    for (const std::string& folder : output.UnscannedFolders()) {
        err << "quellstone-cli scan: " << text::EscapeForDisplay(folder)
            << ": the folder could not be read, so it was not scanned\n";
    }
    // Left out as asked: said, but no error and no finding.
    for (const std::string& path : output.ExcludedStarts()) {
        err << "quellstone-cli scan: " << text::EscapeForDisplay(path) << ": excluded, so it was not scanned\n";
    }
    if (!output.UnscannedFolders().empty() && mode == scan::ScanMode::ChosenFolder) return kExitError;
    return output.Detections() > 0 ? kExitFound : kExitOk;
}

// What a scan counted, for --record-result; zero when it ended before the walk.
struct ScanTally {
    std::uint64_t scanned = 0;
    std::uint64_t detections = 0;
};

// How a scan that exits with `status` ended.
scan::ScanEnd EndOf(int status) {
    if (status == kExitError) return scan::ScanEnd::Failed;
    if (status >= kExitInterrupted(0)) return scan::ScanEnd::Stopped;
    return scan::ScanEnd::Finished;
}

// What is wrong with the command line, if anything.
std::optional<std::string_view> ArgumentProblem(const ParsedArguments& args) {
    if (!ChooseMode(args))
        return "give PATHs, --quick or --whole-computer (one of them; see quellstone-cli scan --help)";
    // An empty value (an unset variable in a script) would read as the root and exclude everything.
    if (const auto excluded = args.options.find("exclude");
        excluded != args.options.end() && std::ranges::find(excluded->second, "") != excluded->second.end()) {
        return "--exclude needs a PATH, not an empty word";
    }
    return std::nullopt;
}

// The scan of a command line without problems.
int Scan(const ParsedArguments& args, CommandIo& io, ScanTally& tally) {
    const std::optional<scan::ScanMode> mode = ChooseMode(args);
    const std::optional<std::vector<StartPoint>> named = NamedStartPoints(args.positional, io.err);
    if (!named) return kExitError;
    platform::PosixFileStore files;
    app::Context context(files, io.programFolder);
    if (args.Value("db").empty()) UseDatabaseInUse(context.signatures, io.programFolder, io.err);
    if (!OpenDatabase(context.signatures, args.Value("db"), io.err)) return kExitError;

    // A scan from the command line counts in the statistics like one from the window.
    const platform::EnvironmentReader environment = platform::ProcessEnvironment();
    platform::RegFileSettingsBackend settingsFile(files, platform::SettingsFilePath(environment));
    settings::SettingsStore store(settingsFile);
    platform::LocaleCalendar calendar;
    scan::RecordScanStart(store, *mode, calendar);
    const std::vector<StartPoint> points =
        *mode == scan::ScanMode::ChosenFolder ? *named : PlannedStartPoints(*mode, files, io.programFolder);

    const auto started = std::chrono::steady_clock::now();
    platform::PosixFileOperations fileOperations;  // outlives `stop`, whose last words use it
    StopSignal stop;
    ScanOutput output(io.out, args.Has("json") ? ScanOutput::Format::JsonLines : ScanOutput::Format::Text);
    if (args.Has("remove")) output.KeepDetectedPaths();
    Walk(context, args, ExcludedFoldersOf(args, store), points, stop, output);
    // A scan stopped with Ctrl-C removes nothing: the user asked to stop.
    // A second Ctrl-C or SIGTERM ends the program at once; a copy into the
    // quarantine that is half written then is deleted first.
    stop.SetLastWords([&fileOperations] { fileOperations.AbandonCopyInProgress(); });
    if (args.Has("remove") && stop.Received() == 0) {
        quarantine::Remover remover(fileOperations, files, store, platform::LinuxProgramPaths(environment));
        RemoveDetected(remover, stop, output);
    }
    output.WriteSummary(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    tally = {output.Scanned(), output.Detections()};
    return Outcome(stop, output, *mode, io.err);
}

}  // namespace

ScanCommand::ScanCommand() : Command(ScanDefinition()) {}

int ScanCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    ScanTally tally;
    int status = kExitError;
    if (const std::optional<std::string_view> problem = ArgumentProblem(args)) {
        Error(io) << *problem << "\n";
    } else {
        status = Scan(args, io, tally);
    }
    // Every end is recorded, a failed start too, so the window never keeps
    // showing an older clean result for a scan that did not happen.
    if (args.Has("record-result")) RecordScanResult({tally.scanned, tally.detections, EndOf(status)}, io);
    return status;
}

}  // namespace quellstone::cli
