#include "core/scan/ScanLauncher.h"

#include "core/scan/FileWalker.h"
#include "core/settings/Statistics.h"

namespace quellstone::scan {

namespace {

constexpr int kWholeComputerText = 247;
constexpr int kDriveText = 248;
constexpr int kQuickScanText = 250;
constexpr int kChosenFolderText = 255;

}  // namespace

std::vector<ScanTarget> PlanScan(ScanMode mode, const std::string& selectedFolder, const settings::ProgramPaths& paths,
                                 ports::MountTable& drives) {
    std::vector<ScanTarget> targets;
    switch (mode) {
        case ScanMode::WholeComputer: {
            targets.push_back({kWholeComputerText, "", paths.programsFolder});
            for (const std::string& drive : drives.StorageMountPoints()) {
                // The operation names the mount point as it is: upper-casing a
                // path, as was done for drive letters, would name another folder.
                const std::string shown = drive.ends_with('/') ? drive : drive + "/";
                targets.push_back({kDriveText, " " + shown, drive});
            }
            break;
        }
        case ScanMode::ChosenFolder:
            targets.push_back({kChosenFolderText, ":" + selectedFolder, selectedFolder});
            break;
        case ScanMode::QuickScan: targets.push_back({kQuickScanText, "", paths.WinDir(false)}); break;
    }
    return targets;
}

std::int64_t RecordScanStart(settings::SettingsStore& store, ScanMode mode, ports::Calendar& calendar) {
    const std::int64_t count = settings::RaiseTotalScans(store);
    if (mode == ScanMode::WholeComputer) {
        store.Write(settings::kStatusSection, settings::kLastSystemScan, calendar.TodayShortDate());
    }
    return count;
}

std::int64_t ScanLauncher::CountScan(ScanMode mode) {
    return RecordScanStart(ports_.store, mode, ports_.calendar);
}

void ScanLauncher::Run(ScanMode mode, std::string& selectedFolder, ScanWindowModel& window) {
    abandoned_ = false;
    struct LaunchFlag {
        bool& flag;
        explicit LaunchFlag(bool& f) : flag(f) { flag = true; }
        ~LaunchFlag() { flag = false; }
    } launching(context_.scan.launchRunning);
    context_.signatures.Accessor().SetSection(std::string(kScanSection));
    window.BeginScan();
    window.SetNameUnreadableStartFolders(mode == ScanMode::ChosenFolder);

    FileWalker walker(context_.scan, context_.signatures, ports_.tree, ports_.pump, window);
    const std::vector<ScanTarget> targets = PlanScan(mode, selectedFolder, paths_, ports_.drives);
    for (std::size_t i = 0; i < targets.size() && !abandoned_; ++i) {
        const ScanTarget& target = targets[i];
        window.SetCaption(ScanControl::Operation, context_.languageText.Text(target.textEntry) + target.textSuffix);
        window.AddScannedFolder(target.folder);
        std::string pattern = "*.*";
        if (mode == ScanMode::ChosenFolder) {
            walker.ScanTree(pattern, selectedFolder);
        } else {
            std::string folder = target.folder;
            walker.ScanTree(pattern, folder);
        }
        if (mode == ScanMode::WholeComputer && i > 0) ports_.pump.ProcessPendingEvents();
    }
    window.Finish();
}

void ScanLauncher::Abandon() {
    abandoned_ = true;
    context_.scan.scanRunning = false;
}

}  // namespace quellstone::scan
