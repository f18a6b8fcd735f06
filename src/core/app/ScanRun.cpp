#include "core/app/ScanRun.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "core/scan/FileSystemKinds.h"
#include "core/text/UpperCase.h"

namespace quellstone::app {

namespace {

// Whether `path` lies below the folder `folder` (both absolute, without "." or "..").
bool IsInside(std::string_view path, std::string_view folder) {
    if (folder.ends_with('/')) folder.remove_suffix(1);  // "/" and "/opt/" alike
    return path.size() > folder.size() + 1 && path.starts_with(folder) && path[folder.size()] == '/';
}

// Whether the index has loaded already, without waiting for it.
bool LoadedAlready(const scan::IndexSupply& index) {
    if (!index.valid() || index.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
    const std::shared_ptr<const scan::SignatureIndex>& loaded = index.get();
    return loaded && loaded->LoadStatus() == scan::SignatureIndex::Status::Loaded;
}

}  // namespace

std::vector<ScanRun::Target> ScanRun::Targets(const ScanRequest& request,
                                              const std::vector<ports::MountedFileSystem>& mounts, ScanRunSink& sink,
                                              ScanOutcome& outcome) {
    std::vector<Target> targets;
    if (request.mode == scan::ScanMode::ChosenFolder) {
        for (const std::string& path : request.paths) {
            const ports::PathFound found = ports_.tree.Look(path);
            using Kind = ports::PathFound::Kind;
            if (found.kind == Kind::Missing || found.kind == Kind::Unreadable) {
                ++outcome.pathsNotReached;
                sink.PathNotReached(path, found.kind == Kind::Missing, found.reason);
                continue;
            }
            scan::ScanPlan plan = scan::PlanScan(request.mode, path, paths_, mounts, request.includeRemote);
            for (scan::ScanTarget& target : plan.targets) {
                targets.push_back({std::move(target), found.kind == Kind::Folder});
            }
        }
        ReportFileSystemsNotEntered(targets, mounts, {}, sink);
        return targets;
    }
    const scan::ScanPlan plan = scan::PlanScan(request.mode, "", paths_, mounts, request.includeRemote);
    if (plan.mountsUnknown) {
        outcome.partial = true;
        sink.MountsUnknown();
    }
    for (const ports::MountedFileSystem& leftOut : plan.leftOut) sink.FileSystemLeftOut(leftOut);
    for (const scan::ScanTarget& target : plan.targets) {
        // A system without /opt/ or /dev/shm, or a user without ~/.local/bin,
        // has nothing there to scan; that is no error.
        if (ports_.tree.Look(target.folder).kind != ports::PathFound::Kind::Missing) targets.push_back({target, true});
    }
    ReportFileSystemsNotEntered(targets, mounts, plan.leftOut, sink);
    return targets;
}

void ScanRun::ReportFileSystemsNotEntered(const std::vector<Target>& targets,
                                          const std::vector<ports::MountedFileSystem>& mounts,
                                          const std::vector<ports::MountedFileSystem>& leftOut, ScanRunSink& sink) {
    // The folders walked as the mount table names them: with every link resolved.
    std::vector<std::string> walked;
    for (const Target& target : targets) {
        if (target.isFolder)
            walked.push_back(ports_.tree.CanonicalPath(target.planned.folder).value_or(target.planned.folder));
    }
    std::set<std::string> named;
    for (const ports::MountedFileSystem& mount : mounts) {
        if (scan::FileSystemKindOf(mount.type) == scan::FileSystemKind::Pseudo) continue;  // holds no files
        if (std::ranges::find(leftOut, mount) != leftOut.end()) continue;
        if (std::ranges::find(walked, mount.mountPoint) != walked.end()) continue;  // a walk of its own
        // The nearest folder walked that holds it: the one whose walk reaches it.
        const std::string* holder = nullptr;
        for (const std::string& folder : walked) {
            if (IsInside(mount.mountPoint, folder) && (!holder || folder.size() > holder->size())) holder = &folder;
        }
        if (!holder) continue;
        // A folder mounted again from the same file system (a bind mount) is
        // entered like any other folder.
        const std::unique_ptr<ports::Directory> holderFolder = ports_.tree.OpenFolder(*holder);
        const std::unique_ptr<ports::Directory> mounted = ports_.tree.OpenFolder(mount.mountPoint);
        if (holderFolder && mounted && holderFolder->Identity().device == mounted->Identity().device) continue;
        if (named.insert(mount.mountPoint).second) sink.FileSystemNotEntered(mount);
    }
}

// The detected entries, each line of each file once: an enabled unit is
// found as its file and again through the link that enables it, and is
// named by its file (which a removal can take, unlike the link). Entries
// that name nothing are passed over here, without a look at their files.
std::vector<ScanRun::DetectedEntry> ScanRun::OneEntryPerFileLine(const std::vector<autostart::AutostartEntry>& entries,
                                                                 const scan::SignatureIndex& index) {
    std::vector<DetectedEntry> kept;
    std::map<std::string, std::size_t> keptAt;  // the file as the system resolves it, and the line
    for (const autostart::AutostartEntry& entry : entries) {
        const std::string_view detection = DetectStartedProgram(index, entry.program);
        if (detection.empty()) continue;
        const std::string resolved = ports_.tree.CanonicalPath(entry.file).value_or(entry.file);
        const auto [at, added] = keptAt.try_emplace(resolved + ":" + std::to_string(entry.line), kept.size());
        if (added) {
            kept.push_back({&entry, detection});
        } else if (entry.file == resolved) {
            kept[at->second] = {&entry, detection};  // the file itself rather than a link to it
        }
    }
    return kept;
}

void ScanRun::CheckSystem(const ScanRequest& request, const scan::SignatureIndex& index, ScanRunSink& sink,
                          const std::stop_token& stop, ScanOutcome& outcome) {
    const bool everything = request.mode != scan::ScanMode::ChosenFolder;
    if ((!everything && !request.processes && !request.autostart) || (!ports_.processes && !ports_.files)) return;
    SystemCheckCounts counts;
    const auto report = [&](std::string_view value, std::string_view shown, const auto& found) {
        if (value.empty()) return;
        const std::string detection = text::UpperCase(value);
        if (!request.reported.Reports(detection)) {
            ++outcome.systemIgnored;
            sink.IgnoreDetection(detection, shown);
            return;
        }
        ++outcome.systemDetections;
        found(detection);
    };
    if ((everything || request.processes) && ports_.processes) {
        const ports::ProcessList list = ports_.processes->List();
        counts.processesChecked = true;
        counts.processesUnknown = !list.listed;
        // A scan that could not look at what runs is never "nothing found".
        if (!list.listed) outcome.partial = true;
        counts.processes = list.processes.size();
        counts.processesNotRead = list.notRead;
        for (const ports::RunningProcess& process : list.processes) {
            if (stop.stop_requested()) return;
            const ProcessMatch match = DetectProcess(index, process);
            report(match.detection, ProcessShownPath(process),
                   [&](std::string_view detection) { sink.ProcessFound(detection, process, match.byFile); });
        }
    }
    if ((everything || request.autostart) && ports_.files) {
        const autostart::AutostartList list =
            autostart::ReadAutostart(ports_.tree, *ports_.files, "", paths_.homeFolder);
        counts.autostartChecked = true;
        counts.autostartEntries = list.entries.size();
        counts.autostartNotRead = list.notRead;
        for (const auto& [entry, value] : OneEntryPerFileLine(list.entries, index)) {
            if (stop.stop_requested()) return;
            report(value, entry->program, [&](std::string_view detection) { sink.AutostartFound(detection, *entry); });
        }
    }
    sink.SystemChecked(counts);
}

void ScanRun::Count(scan::ScanMode mode, ScanRunSink& sink, ScanOutcome& outcome) {
    outcome.counted = true;
    sink.ScanCounted(scan::RecordScanStart(ports_.store, mode, ports_.calendar));
}

ScanOutcome ScanRun::Run(const ScanRequest& request, const scan::IndexSupply& index, ScanRunSink& sink,
                         std::stop_token stop) {
    ScanOutcome outcome;
    const std::vector<ports::MountedFileSystem> mounts = ports_.mounts.Mounts();
    const std::vector<Target> targets = Targets(request, mounts, sink, outcome);
    // Not one PATH can be reached: nothing is scanned, and nothing counted.
    if (targets.empty() && request.mode == scan::ScanMode::ChosenFolder && !request.paths.empty()) return outcome;

    const std::optional<std::vector<std::string>> mountPoints = scan::MountPointsOf(mounts);
    scan::WalkOptions options = scan::WalkOptions::Make(request.includeHidden, request.excluded, ports_.tree,
                                                        mountPoints.value_or(std::vector<std::string>()));
    options.mountPoints = mountPoints;
    options.reported = request.reported;
    scan::WalkSettings settings;
    settings.listing.threads = request.listingThreads;

    // Counted as it starts when the database is known good already (the
    // window checks it first); else as soon as it has loaded, on a thread of
    // its own, so that the settings file's flush to disk does not hold the
    // walk (nothing else uses the settings during the walk).
    std::optional<std::int64_t> countedMeanwhile;
    std::jthread counting;
    if (request.count && LoadedAlready(index)) {
        Count(request.mode, sink, outcome);
    } else if (request.count) {
        counting = std::jthread([this, &index, &countedMeanwhile, mode = request.mode] {
            if (index.valid()) index.wait();
            if (LoadedAlready(index)) countedMeanwhile = scan::RecordScanStart(ports_.store, mode, ports_.calendar);
        });
    }
    // Path entries match absolute paths: a PATH named from the current folder is taken from there.
    std::string currentFolder;
    if (std::ranges::any_of(targets, [](const Target& target) { return !target.planned.folder.starts_with('/'); })) {
        currentFolder = ports_.tree.CurrentFolder().value_or("");
    }
    for (const Target& target : targets) {
        if (stop.stop_requested()) break;
        sink.FolderStarted(target.planned);
        scan::StartPoint start{target.planned.folder, target.isFolder};
        if (!start.path.starts_with('/')) start.currentFolder = currentFolder;
        const scan::WalkResult walked = scan::Walk({&start, 1}, options, index, ports_.tree, sink, stop, settings);
        outcome.walk += walked;
        sink.FolderDone(target.planned, walked.excludedStarts > 0);
        if (walked.stopped || walked.noIndex) break;
    }
    // Once the walks are done (a scan of no folder waits here for the index).
    const bool checksSystem = request.mode != scan::ScanMode::ChosenFolder || request.processes || request.autostart;
    if (checksSystem && !stop.stop_requested() && !outcome.walk.noIndex) {
        if (index.valid()) index.wait();
        if (LoadedAlready(index)) {
            CheckSystem(request, *index.get(), sink, stop, outcome);
        } else {
            outcome.walk.noIndex = true;
        }
    }
    if (counting.joinable()) counting.join();
    if (countedMeanwhile) {
        outcome.counted = true;
        sink.ScanCounted(*countedMeanwhile);
    }
    return outcome;
}

}  // namespace quellstone::app
