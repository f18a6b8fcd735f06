#include "core/app/ScanLauncher.h"

#include "core/scan/FileSystemKinds.h"
#include "core/scan/FileWalker.h"
#include "core/settings/ScanExclusions.h"

namespace quellstone::app {

std::int64_t ScanLauncher::CountScan(scan::ScanMode mode) {
    return scan::RecordScanStart(ports_.store, mode, ports_.calendar);
}

void ScanLauncher::Run(scan::ScanMode mode, std::string& selectedFolder, windows::ScanWindowModel& window,
                       std::shared_ptr<const scan::SignatureIndex> index) {
    abandoned_ = false;
    const scan::RaisedWhileAlive launching(context_.scan.launchRunning);
    context_.signatures.Accessor().SetSection(std::string(scan::kScanSection));
    window.BeginScan();
    window.SetNameUnreadableStartFolders(mode == scan::ScanMode::ChosenFolder);

    scan::FileWalker walker(context_.scan, context_.signatures, ports_.tree, ports_.pump, window);
    // The window's scan choices, as stored when the scan starts.
    const std::vector<ports::MountedFileSystem> mounts = ports_.drives.Mounts();
    const std::optional<std::vector<std::string>> mountPoints = scan::MountPointsOf(mounts);
    scan::WalkOptions options =
        scan::WalkOptions::Make(settings::ScanHiddenOn(ports_.store), settings::ExcludedFolders(ports_.store),
                                ports_.tree, mountPoints.value_or(std::vector<std::string>()));
    options.mountPoints = mountPoints;
    walker.SetOptions(std::move(options));
    walker.UseIndex(index ? std::move(index) : context_.signatures.IndexForScan());
    const scan::ScanPlan plan =
        scan::PlanScan(mode, selectedFolder, paths_, mounts, settings::ScanNetworkOn(ports_.store));
    if (plan.mountsUnknown) window.NoteMountsUnknown();
    for (const ports::MountedFileSystem& leftOut : plan.leftOut) {
        window.AddLeftOutFileSystem(leftOut.mountPoint + " (" + leftOut.type + ")");
    }
    const std::vector<scan::ScanTarget>& targets = plan.targets;
    // A stop ends the whole scan: once it is seen, no further folder or mount point is started.
    for (std::size_t i = 0; i < targets.size() && !abandoned_ && !window.Stopped(); ++i) {
        const scan::ScanTarget& target = targets[i];
        // A planned folder this system does not have (no /opt/, no ~/.local/bin)
        // holds nothing to scan; a chosen one that is missing is said.
        if (mode != scan::ScanMode::ChosenFolder && ports_.tree.Missing(target.folder)) continue;
        window.SetCaption(windows::ScanControl::Operation, context_.languageText.Text(target.text) + target.textSuffix);
        const std::size_t excludedBefore = window.ExcludedStartCount();
        std::string pattern = "*.*";
        std::string folder = target.folder;
        const scan::WalkEnd end =
            walker.ScanTree(pattern, mode == scan::ScanMode::ChosenFolder ? selectedFolder : folder);
        // A folder the exclusions left out was not scanned: the report lists it only as excluded.
        if (window.ExcludedStartCount() == excludedBefore) window.AddScannedFolder(target.folder);
        if (end == scan::WalkEnd::Stopped) break;
        if (mode == scan::ScanMode::WholeComputer && i > 0) ports_.pump.ProcessPendingEvents();
    }
    window.Finish();
}

void ScanLauncher::Abandon() {
    abandoned_ = true;
    context_.scan.scanRunning = false;
}

}  // namespace quellstone::app
