#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/SystemChecks.h"
#include "core/ports/Calendar.h"
#include "core/ports/DirectoryTree.h"
#include "core/ports/MountTable.h"
#include "core/scan/FolderWalk.h"
#include "core/scan/ScanPlan.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::app {

// Listing threads when neither the command line nor the settings name a
// number: enough reads at once for a solid-state or network disk to serve
// them in parallel, and idle threads cost nothing while the cache answers.
inline constexpr unsigned kDefaultListingThreads = 16;

// What a scan run reports beside the walk's own results.
class ScanRunSink : public scan::ScanSink {
public:
    // A PATH named to the scan that cannot be reached (`missing`: nothing is
    // there); `reason` is the system's word for it. The other PATHs are scanned.
    virtual void PathNotReached(std::string_view path, bool missing, std::string_view reason) = 0;
    // A file system the plan leaves out (network or FUSE).
    virtual void FileSystemLeftOut(const ports::MountedFileSystem& fileSystem) = 0;
    // A file system mounted inside a folder walked, which the walk does not
    // enter (it keeps to a start folder's file system) and no other folder of
    // the plan walks.
    virtual void FileSystemNotEntered(const ports::MountedFileSystem& fileSystem) = 0;
    // The mount table could not be read: only the root is walked.
    virtual void MountsUnknown() = 0;
    // The scan was counted in the statistics; `totalScans` is the new count.
    virtual void ScanCounted(std::int64_t totalScans) = 0;
    // A planned folder's walk begins, and ends; `excluded`: the exclusions
    // left it out, so nothing of it was scanned.
    virtual void FolderStarted(const scan::ScanTarget& target) = 0;
    virtual void FolderDone(const scan::ScanTarget& target, bool excluded) = 0;
    // A running process, or a program that starts by itself, named in the
    // database (`detection` upper-cased) in a category the scan reports.
    // `byFile`: named by the file it runs (see DetectProcess).
    virtual void ProcessFound(std::string_view detection, const ports::RunningProcess& process, bool byFile) = 0;
    virtual void AutostartFound(std::string_view detection, const autostart::AutostartEntry& entry) = 0;
    // The processes and autostart entries were looked at (after the walks).
    virtual void SystemChecked(const SystemCheckCounts& counts) = 0;
};

// What a scan is asked to do.
struct ScanRequest {
    scan::ScanMode mode = scan::ScanMode::ChosenFolder;
    std::vector<std::string> paths;  // of a chosen-folder scan: folders are walked, anything else looked up
    bool includeHidden = true;
    bool includeRemote = false;  // network and FUSE file systems in a whole-computer scan
    std::vector<std::string> excluded;
    scan::ReportedCategories reported;  // the rest is counted as ignored
    // Whether the running processes and what starts by itself are looked up
    // too; the quick and whole-computer scans always do.
    bool processes = false;
    bool autostart = false;
    unsigned listingThreads = kDefaultListingThreads;
    // Whether the run counts the scan in the statistics; off when the caller
    // counted it already (the window counts on its own thread, as the scan starts).
    bool count = true;
};

// How a scan run ended.
struct ScanOutcome {
    scan::WalkResult walk;
    std::uint64_t pathsNotReached = 0;
    bool partial = false;                // the run could not cover what it stands for (no mount table, no process list)
    std::uint64_t systemDetections = 0;  // processes and autostart entries reported
    std::uint64_t systemIgnored = 0;
    bool counted = false;  // counted in the statistics
};

// One scan, from its request to its last result, the same for the window
// and the command line: the plan (a mode's folders, or the PATHs named),
// the walk options, the walk of each folder in order with the index given,
// and the scan's count in the statistics, made once the index is known to
// have loaded (beside the walk when it is still loading). A stop ends the
// whole run: no later folder is started.
class ScanRun {
public:
    struct Ports {
        ports::DirectoryTree& tree;
        ports::MountTable& mounts;
        settings::SettingsStore& store;
        ports::Calendar& calendar;
        // For the processes and autostart entries; without them neither is looked at.
        ports::ProcessTable* processes = nullptr;
        ports::FileStore* files = nullptr;
    };

    ScanRun(Ports ports, settings::ProgramPaths paths) : ports_(ports), paths_(std::move(paths)) {}

    ScanOutcome Run(const ScanRequest& request, const scan::IndexSupply& index, ScanRunSink& sink,
                    std::stop_token stop);

private:
    struct Target {
        scan::ScanTarget planned;
        bool isFolder = true;
    };
    // The folders (and files) to walk, in order; what cannot be reached is reported.
    std::vector<Target> Targets(const ScanRequest& request, const std::vector<ports::MountedFileSystem>& mounts,
                                ScanRunSink& sink, ScanOutcome& outcome);
    void Count(scan::ScanMode mode, ScanRunSink& sink, ScanOutcome& outcome);
    // Names each file system mounted inside the folders of `targets` that no
    // walk enters, but for kernel views and those the plan left out already.
    void ReportFileSystemsNotEntered(const std::vector<Target>& targets,
                                     const std::vector<ports::MountedFileSystem>& mounts,
                                     const std::vector<ports::MountedFileSystem>& leftOut, ScanRunSink& sink);
    // An autostart entry the database names (into the list read), and the value that names it.
    struct DetectedEntry {
        const autostart::AutostartEntry* entry;
        std::string_view detection;
    };
    std::vector<DetectedEntry> OneEntryPerFileLine(const std::vector<autostart::AutostartEntry>& entries,
                                                   const scan::SignatureIndex& index);
    void CheckSystem(const ScanRequest& request, const scan::SignatureIndex& index, ScanRunSink& sink,
                     const std::stop_token& stop, ScanOutcome& outcome);

    Ports ports_;
    settings::ProgramPaths paths_;
};

}  // namespace quellstone::app
