#include "cli/ScanCommand.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <iterator>
#include <optional>
#include <set>

#include "cli/DatabaseChoice.h"
#include "cli/ScanOutput.h"
#include "cli/ScanResultRecord.h"
#include "cli/StopSignal.h"
#include "core/app/ScanRun.h"
#include "core/quarantine/Remover.h"
#include "core/scan/ScanPlan.h"
#include "core/scan/SignatureDatabase.h"
#include "core/settings/ScanExclusions.h"
#include "core/text/DisplayEscape.h"
#include "platform/LocaleCalendar.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcMountTable.h"
#include "platform/ProcProcessTable.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/SystemdJournal.h"
#include "platform/ThreadPriority.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

constexpr std::string_view kDescription =
    "Walks each PATH and looks the name of every file and folder up in the\n"
    "signature database. Hidden entries (names that begin with \".\") are\n"
    "looked up and walked too, unless --skip-hidden is given; symbolic links\n"
    "are looked up but never followed; other file systems mounted inside a\n"
    "PATH are not entered. A PATH that is not a folder is looked up by its\n"
    "own name.\n"
    "\n"
    "Instead of PATHs, --quick walks the system folder /usr, then /tmp,\n"
    "/var/tmp, /dev/shm, /etc, ~/.config and ~/.local/bin, where malware is\n"
    "known to drop or anchor itself. --whole-computer walks /opt/, then every\n"
    "mounted file system that holds files (disks, tmpfs and ramfs, overlay)\n"
    "in the order the system lists them; the kernel's pseudo file systems\n"
    "(proc, sysfs, cgroup, ...) never, and network and FUSE file systems\n"
    "(nfs, cifs, fuse.*) only with --network: without it each one is named\n"
    "on standard error as left out. These are the folders of the desktop\n"
    "program's scan modes.\n";

constexpr std::string_view kDetails =
    "Text output is one line \"PATH: DETECTION FOUND\" per detection, then a\n"
    "summary; bytes that are not UTF-8 and control characters are shown as\n"
    "\\xHH, a backslash as \\\\.\n"
    "\n"
    "A PATH that does not exist or cannot be read is named on standard error\n"
    "and in the summary (\"PATHs not scanned\"); the other PATHs are scanned,\n"
    "and the exit status is 2. Folders inside a PATH that could not be read\n"
    "are counted in the summary and named on standard error (the first 100).\n"
    "With --json, each is a line {\"unreadable\": PATH}, and a PATH that does\n"
    "not exist {\"missing\": PATH}.\n"
    "\n"
    "With --remove, a NOT REMOVED line says why in parentheses (with --json,\n"
    "as \"reason\"): a folder, permission denied, symbolic link, not a regular\n"
    "file, no space for the copy, copy into quarantine failed, or changed\n"
    "since the scan.\n"
    "\n"
    "Only the options on the command line count: the hidden-entries switch\n"
    "and the excluded folders of the desktop program's settings do not, so\n"
    "a script scans the same way for every user, unless --stored-exclusions\n"
    "asks for those folders too. A PATH that --exclude or --stored-exclusions\n"
    "covers (the folder itself, a folder above it, or a link to either) is\n"
    "not scanned, and a line on standard error says so; it is no error.\n"
    "\n"
    "With --journal, or when standard output or standard error is the\n"
    "journal's stream (a systemd service's JOURNAL_STREAM names it), each\n"
    "detection is also sent to the systemd journal as a structured entry\n"
    "(MESSAGE_ID 0fcf22c0f76e4514b560f1f716444807), and the scan's end as\n"
    "one more (MESSAGE_ID c3ce1da19b1a48eca3b063c8aaed5854) with its counts\n"
    "and exit status.\n"
    "\n"
    "Exit status: 0 nothing found, 1 detections found, 2 error (also a PATH\n"
    "not scanned, or a detection NOT REMOVED; ALREADY GONE is no error), 130\n"
    "stopped by Ctrl-C (what was found so far is reported).\n";

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
                {"journal", "",
                 "Also send each detection, and the scan's end with its counts, to the systemd journal as "
                 "structured entries (fields QUELLSTONE_PATH, QUELLSTONE_DETECTION, QUELLSTONE_KIND, ...). Done "
                 "without it too when standard output or standard error goes to the journal."},
                {"remove", "",
                 "After the scan, delete every detected file, first copying it into the quarantine when the "
                 "quarantine switch is on: always, unless the settings file holds \"0\" for it (quellstone-cli "
                 "settings "
                 "set Settings Quarintine 0). With the switch on, a file whose copy fails is not deleted. One line "
                 "per detection says REMOVED, ALREADY GONE or NOT REMOVED (and why)."},
                {"skip-hidden", "",
                 "Leave out hidden entries (names that begin with \".\"): neither looked up nor walked. Without "
                 "it they are scanned like any other; \".\" and \"..\" never"},
                {"hidden", "", "Scan hidden entries too (the default; kept for scripts that pass it)"},
                {"network", "",
                 "With --whole-computer, also walk network and FUSE file systems (nfs, nfs4, cifs, smb3, fuse.*)"},
                {"exclude", "PATH",
                 "Leave the folder PATH out: it is neither looked up nor entered, whether the walk meets it by "
                 "this path or through a link to it. May be given more than once."},
                {"stored-exclusions", "",
                 "Also leave out the folders excluded in the desktop program's settings (the user's settings file, "
                 "[Settings] ExcludedFolders), as --exclude does; the scheduled scan uses it."},
                {"quick", "",
                 "Walk the system folder /usr, /tmp, /var/tmp, /dev/shm, /etc, ~/.config and ~/.local/bin instead "
                 "of PATHs"},
                {"whole-computer", "",
                 "Walk /opt/ and every mounted file system that holds files instead of PATHs, and store today's "
                 "date as the last system scan"},
                {"processes", "",
                 "Also look up every running process: the file it runs (by name and path, also when deleted), "
                 "its own name and its first argument. May be given without PATHs. --quick and --whole-computer "
                 "always do."},
                {"autostart", "",
                 "Also look up what starts by itself: systemd units (Exec* lines), cron tables, desktop autostart "
                 "files and /etc/ld.so.preload. May be given without PATHs. --quick and --whole-computer always do."},
                {"stop-processes", "",
                 "With --remove, end each detected process (asked first, by force after 2 seconds) and remove the "
                 "file it runs. Without it, a process is left running and reported NOT REMOVED."},
                {"skip-adware", "",
                 "Do not report detections named Adware.* or not-a-virus:AdWare*; they are counted as ignored"},
                {"skip-less-dangerous", "",
                 "Do not report less dangerous objects (detections named not-a-virus:*, RiskTool.*, HackTool.*, "
                 "PUA.*, Hoax.*, Joke.*); they are counted as ignored"},
                {"low-priority", "",
                 "Scan at low processor and disk priority (nice 10, the idle I/O class), so that other programs "
                 "are not slowed down"},
                {"threads", "N",
                 "List folders ahead of the walk on N threads (1 to 64; 1: the walk lists alone). The output is "
                 "the same for every N. Without it, the number stored as [Settings] ListingThreads, else 16."},
                {"record-result", "",
                 "When the scan ends (finished, stopped by a signal, or failed: a PATH or the database that "
                 "cannot be read, options that are wrong), write the time it ended, the entries scanned, the "
                 "detections and how it ended to scheduled-scan.ini in $XDG_DATA_HOME/Orvanta/Quellstone/ "
                 "(default ~/.local/share/...), which the window's Information frame shows as "
                 "the last scheduled scan. A scan of the whole computer run by root writes it to "
                 "/var/lib/quellstone/ instead, where every user's window shows it as the last scheduled scan "
                 "for all users. The scheduled scans "
                 "(quellstone-cli schedule) use it."},
            },
        .arguments = {{"PATH", Argument::Count::AnyNumber}},
        .description = kDescription,
        .details = kDetails,
    };
}

// PATHs, --quick or --whole-computer: exactly one of them.
std::optional<scan::ScanMode> ChooseMode(const ParsedArguments& args) {
    const bool quick = args.Has("quick");
    const bool wholeComputer = args.Has("whole-computer");
    // --processes and --autostart may stand alone: a scan of no folder.
    const bool paths =
        !args.positional.empty() || (!quick && !wholeComputer && (args.Has("processes") || args.Has("autostart")));
    if ((quick ? 1 : 0) + (wholeComputer ? 1 : 0) + (paths ? 1 : 0) != 1) return std::nullopt;
    return quick           ? scan::ScanMode::QuickScan
           : wholeComputer ? scan::ScanMode::WholeComputer
                           : scan::ScanMode::ChosenFolder;
}

// Says why the database gave no index to scan with.
void ReportDatabaseProblem(const scan::SignatureIndex* index, const std::string& path, std::ostream& err) {
    if (index && index->LoadStatus() == scan::SignatureIndex::Status::NoSection) {
        err << "quellstone-cli scan: " << text::EscapeForDisplay(path)
            << " is not a signature database (it has no [Scanfiles] section)\n";
        return;
    }
    err << "quellstone-cli scan: cannot read the signature database " << text::EscapeForDisplay(path) << "\n";
}

// The folders to leave out: those of --exclude, and with --stored-exclusions
// those the desktop program stores too (see kDetails).
std::vector<std::string> ExcludedFoldersOf(const ParsedArguments& args, settings::SettingsStore& store) {
    const auto excluded = args.options.find("exclude");
    std::vector<std::string> folders = excluded == args.options.end() ? std::vector<std::string>() : excluded->second;
    if (args.Has("stored-exclusions")) std::ranges::copy(settings::ExcludedFolders(store), std::back_inserter(folders));
    return folders;
}

// The start folder of a relative PATH, made absolute with the current
// folder as named (links not resolved), so that the quarantine record names
// the place a restore goes back to from anywhere.
ports::ReachablePath Absolute(ports::ReachablePath location, const std::optional<std::string>& current) {
    if (location.startFolder.empty() || location.startFolder.starts_with('/') || !current) return location;
    location.startFolder = location.startFolder == "." ? *current : *current + "/" + location.startFolder;
    return location;
}

// Removes what the walk found, each file once; Ctrl-C stops the removal too.
// How long a process asked to end may take before it is ended by force.
constexpr std::chrono::milliseconds kProcessGrace(2000);

// `processes`: the process detections are ended first (--stop-processes); null: they are left running.
void RemoveDetected(quarantine::Remover& remover, const std::optional<std::string>& current, const StopSignal& stop,
                    ports::ProcessTable* processes, ScanOutput& output) {
    std::set<std::string> handled;  // overlapping PATHs find a file twice
    for (const DetectedFile& file : output.DetectedFiles()) {
        if (stop.Received() != 0) break;
        if (!handled.insert(file.path).second) continue;
        using Kind = DetectedFile::Kind;
        const quarantine::Removal notRemoved;
        if (file.kind == Kind::AutostartLine) {
            // A line of a file other entries share: editing it is the administrator's to do.
            output.AddRemoval(file.path, notRemoved,
                              "a line of a shared file: edit " + file.autostartEntry.file + ", line " +
                                  std::to_string(file.autostartEntry.line));
            continue;
        }
        if (file.kind == Kind::Process) {
            if (!processes) {
                output.AddRemoval(file.path, notRemoved, "a running process: --stop-processes ends it");
                continue;
            }
            const ports::StopOutcome stopped = processes->Stop(file.process, kProcessGrace);
            if (stopped == ports::StopOutcome::NotPermitted || stopped == ports::StopOutcome::Failed) {
                output.AddRemoval(file.path, notRemoved,
                                  stopped == ports::StopOutcome::NotPermitted ? "permission denied to end the process"
                                                                              : "the process did not end");
                continue;
            }
            // Ended. Its file goes too, when that file named it and is still there to remove.
            if (!file.removesFile) {
                output.AddRemoval(file.path, {quarantine::RemovalOutcome::Removed, std::nullopt, {}});
                continue;
            }
        }
        const quarantine::Removal removal = remover.Remove(Absolute(file.location, current), file.detection);
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
    // Folders inside the walk that could not be read: named, up to a number
    // that still fits on a screen, and the rest counted.
    for (const std::string& folder : output.UnreadableInside()) {
        err << "quellstone-cli scan: " << text::EscapeForDisplay(folder) << ": the folder could not be read\n";
    }
    if (const std::uint64_t more = output.UnnamedUnreadable(); more > 0)
        err << "quellstone-cli scan: " << more << " more folders could not be read\n";
    // Left out as asked: said, but no error and no finding.
    for (const std::string& path : output.ExcludedStarts()) {
        err << "quellstone-cli scan: " << text::EscapeForDisplay(path) << ": excluded, so it was not scanned\n";
    }
    // A file that should have gone and is still there is a failure too;
    // one already gone is not.
    if (const std::uint64_t failed = output.RemovalsFailed(); failed > 0)
        err << "quellstone-cli scan: " << failed << " of the detections could not be removed (NOT REMOVED says why)\n";
    if (!output.UnscannedFolders().empty() && mode == scan::ScanMode::ChosenFolder) return kExitError;
    if (!output.UnreachedPaths().empty() || output.RemovalsFailed() > 0) return kExitError;
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
        return "give PATHs (or --processes, --autostart), --quick or --whole-computer (one of them; see "
               "quellstone-cli scan --help)";
    if (args.Has("stop-processes") && !args.Has("remove")) return "--stop-processes works with --remove only";
    if (args.Has("hidden") && args.Has("skip-hidden")) return "--hidden and --skip-hidden contradict each other";
    if (args.Has("threads") && !settings::ParseListingThreads(args.Value("threads")))
        return "--threads needs a whole number from 1 to 64";
    // An empty value (an unset variable in a script) would read as the root and exclude everything.
    if (const auto excluded = args.options.find("exclude");
        excluded != args.options.end() && std::ranges::find(excluded->second, "") != excluded->second.end()) {
        return "--exclude needs a PATH, not an empty word";
    }
    return std::nullopt;
}

// The scan of a command line without problems.
int Scan(const ParsedArguments& args, CommandIo& io, ScanTally& tally) {
    const scan::ScanMode mode = *ChooseMode(args);
    const ScanOutput::Format format = args.Has("json") ? ScanOutput::Format::JsonLines : ScanOutput::Format::Text;
    platform::PosixFileStore files;  // outlives `stop`, whose last words use it
    const platform::EnvironmentReader environment = platform::ProcessEnvironment();
    platform::RegFileSettingsBackend settingsFile(files, platform::SettingsFilePath(environment));
    settings::SettingsStore store(settingsFile);
    platform::LocaleCalendar calendar;
    platform::PosixDirectoryTree tree;
    platform::ProcMountTable mounts(files);
    platform::ProcProcessTable processTable;
    platform::PosixFileOperations fileOperations;  // outlives `stop`, whose last words use it
    StopSignal stop;                               // made before the scan's threads, which inherit its blocked signals
    // Before any thread is made: each inherits the priority of the thread that makes it.
    if (args.Has("low-priority") && !platform::LowerThreadPriority()) {
        io.err << "quellstone-cli scan: the priority could not be lowered; scanning at normal priority\n";
    }

    // The database loads on a thread of its own while the walk starts listing.
    scan::SignatureDatabase signatures(files, io.layout.dataFolder);
    if (args.Value("db").empty()) UseDatabaseInUse(signatures, io);
    const std::string databasePath = args.Value("db").empty() ? signatures.DefaultPath() : args.Value("db");
    const scan::IndexSupply index = std::async(std::launch::async, [&signatures, databasePath] {
                                        return signatures.IndexOf(databasePath);
                                    }).share();

    app::ScanRequest request;
    request.mode = mode;
    request.paths = args.positional;
    request.includeHidden = !args.Has("skip-hidden");
    request.includeRemote = args.Has("network");
    request.processes = args.Has("processes");
    request.autostart = args.Has("autostart");
    request.reported = {.adware = !args.Has("skip-adware"), .lessDangerous = !args.Has("skip-less-dangerous")};
    request.excluded = ExcludedFoldersOf(args, store);
    request.listingThreads = args.Has("threads")
                                 ? *settings::ParseListingThreads(args.Value("threads"))
                                 : settings::StoredListingThreads(store).value_or(app::kDefaultListingThreads);
    ScanOutput output(io.out, io.err, format);
    if (args.Has("remove")) output.KeepDetectedPaths();
    platform::SystemdJournal journal;
    if (args.Has("journal") || platform::StandardStreamsGoToJournal(environment)) output.SendToJournal(journal);
    // Every scan that started ends with a journal entry, a failed one too.
    const auto ended = [&output](int status) {
        output.JournalSummary(status);
        return status;
    };
    const auto started = std::chrono::steady_clock::now();
    app::ScanRun run({tree, mounts, store, calendar, &processTable, &files},
                     platform::LinuxProgramPaths(environment, io.layout));
    const app::ScanOutcome outcome = run.Run(request, index, output, stop.Token());
    // Not one PATH can be reached: nothing was scanned; the output still names them.
    if (mode == scan::ScanMode::ChosenFolder && !args.positional.empty() &&
        outcome.pathsNotReached == args.positional.size()) {
        output.WriteSummary(0);
        return ended(kExitError);
    }
    if (outcome.walk.noIndex) {
        // The load has ended: the database's chosen path is settled too.
        ReportDatabaseProblem(index.get().get(), args.Value("db").empty() ? signatures.DefaultPath() : databasePath,
                              io.err);
        return ended(kExitError);
    }
    // A scan stopped with Ctrl-C removes nothing: the user asked to stop.
    // A second Ctrl-C or SIGTERM ends the program at once; a copy into the
    // quarantine or a record that is half written then is deleted first.
    stop.SetLastWords([&fileOperations, &files] {
        fileOperations.AbandonCopyInProgress();
        files.AbandonRecordInProgress();
    });
    if (args.Has("remove") && stop.Received() == 0) {
        quarantine::Remover remover(fileOperations, files, store, platform::LinuxProgramPaths(environment, io.layout));
        RemoveDetected(remover, tree.CurrentFolder(), stop, args.Has("stop-processes") ? &processTable : nullptr,
                       output);
    }
    output.WriteSummary(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    tally = {output.Scanned(), output.Detections()};
    const int status = Outcome(stop, output, mode, io.err);
    // A scan that covered less than it stands for is never "nothing found".
    if (outcome.partial && (status == kExitOk || status == kExitFound)) return ended(kExitError);
    return ended(status);
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
    if (args.Has("record-result"))
        RecordScanResult({tally.scanned, tally.detections, EndOf(status), args.Has("whole-computer")}, io);
    return status;
}

}  // namespace quellstone::cli
