#include "core/app/ScanLauncher.h"

#include "core/scan/FileWalker.h"
#include "core/settings/ScanExclusions.h"

namespace quellstone::app {

std::int64_t ScanLauncher::CountScan(scan::ScanMode mode) {
    return scan::RecordScanStart(ports_.store, mode, ports_.calendar);
}

void ScanLauncher::Run(scan::ScanMode mode, std::string& selectedFolder, windows::ScanWindowModel& window) {
    abandoned_ = false;
    const scan::RaisedWhileAlive launching(context_.scan.launchRunning);
    context_.signatures.Accessor().SetSection(std::string(scan::kScanSection));
    window.BeginScan();
    window.SetNameUnreadableStartFolders(mode == scan::ScanMode::ChosenFolder);

    scan::FileWalker walker(context_.scan, context_.signatures, ports_.tree, ports_.pump, window);
    // The window's scan choices, as stored when the scan starts.
    scan::WalkOptions options =
        scan::WalkOptions::Make(settings::ScanHiddenOn(ports_.store), settings::ExcludedFolders(ports_.store),
                                ports_.tree, ports_.drives.StorageMountPoints());
    options.mountPoints = ports_.drives.AllMountPoints();
    walker.SetOptions(std::move(options));
    const std::vector<scan::ScanTarget> targets = scan::PlanScan(mode, selectedFolder, paths_, ports_.drives);
    // A stop ends the whole scan: once it is seen, no further folder or mount point is started.
    for (std::size_t i = 0; i < targets.size() && !abandoned_ && !window.Stopped(); ++i) {
        const scan::ScanTarget& target = targets[i];
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
