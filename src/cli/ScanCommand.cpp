#include "cli/ScanCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <optional>
#include <set>

#include "cli/ScanOutput.h"
#include "cli/StopSignal.h"
#include "core/app/Context.h"
#include "core/quarantine/Remover.h"
#include "core/scan/FileWalker.h"
#include "core/app/ScanLauncher.h"
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

struct ScanOptions {
    std::string database;  // empty: the program folder's database
    bool json = false;
    bool quick = false;
    bool remove = false;
    bool wholeComputer = false;
    bool help = false;
    std::vector<std::string> paths;
};

std::optional<ScanOptions> ParseOptions(const std::vector<std::string>& args, std::ostream& err) {
    ScanOptions options;
    bool onlyPaths = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPaths || arg == "-" || !arg.starts_with('-')) {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            onlyPaths = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--remove") {
            options.remove = true;
        } else if (arg == "--quick") {
            options.quick = true;
        } else if (arg == "--whole-computer") {
            options.wholeComputer = true;
        } else if (arg == "--db") {
            if (i + 1 == args.size()) {
                err << "quellstone-cli scan: --db needs a FILE\n";
                return std::nullopt;
            }
            options.database = args[++i];
        } else if (arg.starts_with("--db=")) {
            options.database = arg.substr(5);
        } else {
            err << "quellstone-cli scan: unknown option " << text::EscapeForDisplay(arg) << "\n";
            return std::nullopt;
        }
    }
    return options;
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

}  // namespace

std::string_view ScanCommand::Help() const {
    return "Usage: quellstone-cli scan [--db FILE] [--json] [--remove] PATH...\n"
           "       quellstone-cli scan [--db FILE] [--json] [--remove] --quick | --whole-computer\n"
           "\n"
           "Walks each PATH and looks the name of every file and folder up in the\n"
           "signature database. Hidden entries (names that begin with \".\") are\n"
           "skipped; symbolic links are looked up but never followed; other file\n"
           "systems mounted inside a PATH are not entered. A PATH that is not a\n"
           "folder is looked up by its own name.\n"
           "\n"
           "--quick walks the system folder /usr; --whole-computer walks /opt/, then\n"
           "every mounted storage file system in the order the system lists them\n"
           "(the same folders as the desktop program's scan modes) and stores\n"
           "today's date as the last system scan.\n"
           "\n"
           "Options:\n"
           "  --db FILE  Use FILE as the signature database instead of the program\n"
           "             folder's bdts.dll\n"
           "  --remove   After the scan, delete every detected file, first copying it\n"
           "             into the quarantine when the quarantine switch is on\n"
           "             (quellstone-cli settings set Settings Quarintine 1); with the\n"
           "             switch on, a file whose copy fails is not deleted. One line\n"
           "             per detection says REMOVED, ALREADY GONE or NOT REMOVED.\n"
           "  --json     Write JSON Lines: {\"path\": ..., \"detection\": ...} per\n"
           "             detection, then {\"summary\": {...}}. Bytes of a path that\n"
           "             are not UTF-8 are written as \\udcXX.\n"
           "  --help     Show this help\n"
           "\n"
           "Text output is one line \"PATH: DETECTION FOUND\" per detection, then a\n"
           "summary; bytes that are not UTF-8 and control characters are shown as\n"
           "\\xHH, a backslash as \\\\.\n"
           "\n"
           "A PATH that does not exist or cannot be read is an error; folders\n"
           "inside it that could not be read are counted in the summary.\n"
           "\n"
           "Exit status: 0 nothing found, 1 detections found, 2 error,\n"
           "130 stopped by Ctrl-C (what was found so far is reported).\n";
}

int ScanCommand::Run(const std::vector<std::string>& args, CommandIo& io) {
    const std::optional<ScanOptions> options = ParseOptions(args, io.err);
    if (!options) return kExitError;
    if (options->help) {
        io.out << Help();
        return kExitClean;
    }
    const int modes = (options->quick ? 1 : 0) + (options->wholeComputer ? 1 : 0) + (options->paths.empty() ? 0 : 1);
    if (modes != 1) {
        io.err << "quellstone-cli scan: give PATHs, --quick or --whole-computer (one of them; see "
                  "quellstone-cli scan --help)\n";
        return kExitError;
    }
    const scan::ScanMode mode = options->quick           ? scan::ScanMode::QuickScan
                                : options->wholeComputer ? scan::ScanMode::WholeComputer
                                                         : scan::ScanMode::ChosenFolder;

    std::vector<bool> isFolder;
    for (const std::string& path : options->paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) {
            io.err << "quellstone-cli scan: " << text::EscapeForDisplay(path) << ": " << std::strerror(errno) << "\n";
            return kExitError;
        }
        isFolder.push_back(S_ISDIR(st.st_mode));
    }

    platform::PosixFileStore files;
    app::Context context(files, io.programFolder);
    ini::Ini& accessor = context.signatures.Accessor();
    accessor.SetPath(options->database.empty() ? context.signatures.DefaultPath() : options->database);
    accessor.SetSection(std::string(scan::kScanSection));
    switch (context.signatures.IndexForScan()->LoadStatus()) {
        case scan::SignatureIndex::Status::Loaded: break;
        case scan::SignatureIndex::Status::Unreadable:
            io.err << "quellstone-cli scan: cannot read the signature database "
                   << text::EscapeForDisplay(accessor.Path()) << "\n";
            return kExitError;
        case scan::SignatureIndex::Status::NoSection:
            io.err << "quellstone-cli scan: " << text::EscapeForDisplay(accessor.Path())
                   << " is not a signature database (it has no [Scanfiles] section)\n";
            return kExitError;
    }

    // A scan from the command line counts in the statistics like one from the window.
    const platform::EnvironmentReader environment = platform::ProcessEnvironment();
    platform::RegFileSettingsBackend settingsFile(files, platform::SettingsFilePath(environment));
    settings::SettingsStore store(settingsFile);
    platform::LocaleCalendar calendar;
    scan::RecordScanStart(store, mode, calendar);

    // The folders of a mode come from the launcher, so both front ends walk the same ones.
    std::vector<std::string> folders = options->paths;
    if (mode != scan::ScanMode::ChosenFolder) {
        platform::ProcMountTable drives(files);
        const settings::ProgramPaths paths{io.programFolder, "", "/usr", "/opt/"};
        folders.clear();
        isFolder.clear();
        for (const scan::ScanTarget& target : scan::PlanScan(mode, "", paths, drives)) {
            // A system without /opt/ has nothing there to scan; that is no error.
            struct stat st {};
            if (::lstat(target.folder.c_str(), &st) != 0 && errno == ENOENT) continue;
            folders.push_back(target.folder);
            isFolder.push_back(true);
        }
    }

    const auto started = std::chrono::steady_clock::now();
    platform::PosixFileOperations fileOperations;  // outlives `stop`, whose last words use it
    StopSignal stop;
    StopRequestPump pump(stop, context.scan);
    ScanOutput output(io.out, options->json ? ScanOutput::Format::JsonLines : ScanOutput::Format::Text);
    if (options->remove) output.KeepDetectedPaths();
    platform::PosixDirectoryTree tree;
    scan::FileWalker walker(context.scan, context.signatures, tree, pump, output);
    for (std::size_t i = 0; i < folders.size() && stop.Received() == 0; ++i) {
        if (isFolder[i]) {
            std::string pattern = "*.*";
            std::string path = folders[i];
            walker.ScanTree(pattern, path);
        } else {
            walker.ScanEntry(folders[i]);
        }
    }
    // A scan stopped with Ctrl-C removes nothing: the user asked to stop.
    // A second Ctrl-C or SIGTERM ends the program at once; a copy into the
    // quarantine that is half written then is deleted first.
    stop.SetLastWords([&fileOperations] { fileOperations.AbandonCopyInProgress(); });
    if (options->remove && stop.Received() == 0) {
        const settings::ProgramPaths paths = platform::LinuxProgramPaths(environment);
        quarantine::Remover remover(fileOperations, files, store, paths);
        std::set<std::string> handled;  // overlapping PATHs find a file twice; it is removed once
        for (const DetectedFile& file : output.DetectedFiles()) {
            if (stop.Received() != 0) break;  // Ctrl-C stops the removal too
            if (!handled.insert(file.path).second) continue;
            const quarantine::Removal removal = remover.Remove(Absolute(file.location), file.detection);
            if (removal.outcome == quarantine::RemovalOutcome::Removed) remover.CountRemoved();
            output.AddRemoval(file.path, removal);
        }
    }
    output.WriteSummary(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

    if (const int signal = stop.Received(); signal != 0) {
        io.err << "quellstone-cli scan: stopped; the detections above are what was found until then\n";
        return kExitSignalBase + signal;
    }
    // A folder named to the scan that could not be read was not scanned: that
    // is an error, never "nothing found".
    // A folder of --quick or --whole-computer that cannot be read (a mount
    // point the user may not read) is a warning; the scan covered the rest.
    for (const std::string& folder : output.UnscannedFolders()) {
        io.err << "quellstone-cli scan: " << text::EscapeForDisplay(folder)
               << ": the folder could not be read, so it was not scanned\n";
    }
    if (!output.UnscannedFolders().empty() && mode == scan::ScanMode::ChosenFolder) return kExitError;
    return output.Detections() > 0 ? kExitDetections : kExitClean;
}

}  // namespace quellstone::cli
