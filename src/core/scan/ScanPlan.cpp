#include "core/scan/ScanPlan.h"

#include "core/scan/FileSystemKinds.h"
#include "core/settings/Statistics.h"

namespace quellstone::scan {

using T = i18n::TextId;

namespace {

// A folder walked as one operation of its own, named as it is.
ScanTarget FolderTarget(std::string folder) {
    return {T::ScanningFolder, ":" + folder, std::move(folder)};
}

}  // namespace

ScanPlan PlanScan(ScanMode mode, const std::string& selectedFolder, const settings::ProgramPaths& paths,
                  const std::vector<ports::MountedFileSystem>& mounts, bool includeRemote) {
    ScanPlan plan;
    std::vector<ScanTarget>& targets = plan.targets;
    switch (mode) {
        case ScanMode::WholeComputer: {
            targets.push_back({T::ScanningWholeComputer, "", paths.programsFolder});
            MountPlan drives = PlanMounts(mounts, includeRemote);
            for (const std::string& drive : drives.walked) {
                // The operation names the mount point as it is: upper-casing a
                // path, as was done for drive letters, would name another folder.
                const std::string shown = drive.ends_with('/') ? drive : drive + "/";
                targets.push_back({T::ScanningDrive, " " + shown, drive});
            }
            plan.leftOut = std::move(drives.leftOut);
            if (mounts.empty()) {
                plan.mountsUnknown = true;
                targets.push_back({T::ScanningDrive, " /", "/"});
            }
            break;
        }
        case ScanMode::ChosenFolder: targets.push_back(FolderTarget(selectedFolder)); break;
        case ScanMode::QuickScan:
            targets.push_back({T::ScanningSystemFolder, "", paths.SystemFolder()});
            for (const std::string_view folder : kQuickScanSystemFolders)
                targets.push_back(FolderTarget(std::string(folder)));
            if (paths.homeFolder.starts_with('/')) {
                const std::string home = paths.homeFolder.ends_with('/') ? paths.homeFolder : paths.homeFolder + "/";
                for (const std::string_view folder : kQuickScanHomeFolders) {
                    targets.push_back(FolderTarget(home + std::string(folder)));
                }
            }
            break;
    }
    return plan;
}

std::int64_t RecordScanStart(settings::SettingsStore& store, ScanMode mode, ports::Calendar& calendar) {
    const std::int64_t count = settings::RaiseTotalScans(store);
    if (mode == ScanMode::WholeComputer) {
        store.Write(settings::keys::kLastSystemScan, calendar.TodayIsoDate());
    }
    return count;
}

}  // namespace quellstone::scan
