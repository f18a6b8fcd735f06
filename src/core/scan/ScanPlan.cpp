#include "core/scan/ScanPlan.h"

#include "core/settings/Statistics.h"

namespace quellstone::scan {

using T = i18n::TextId;

std::vector<ScanTarget> PlanScan(ScanMode mode, const std::string& selectedFolder, const settings::ProgramPaths& paths,
                                 ports::MountTable& drives) {
    std::vector<ScanTarget> targets;
    switch (mode) {
        case ScanMode::WholeComputer: {
            targets.push_back({T::ScanningWholeComputer, "", paths.programsFolder});
            for (const std::string& drive : drives.StorageMountPoints()) {
                // The operation names the mount point as it is: upper-casing a
                // path, as was done for drive letters, would name another folder.
                const std::string shown = drive.ends_with('/') ? drive : drive + "/";
                targets.push_back({T::ScanningDrive, " " + shown, drive});
            }
            break;
        }
        case ScanMode::ChosenFolder:
            targets.push_back({T::ScanningFolder, ":" + selectedFolder, selectedFolder});
            break;
        case ScanMode::QuickScan: targets.push_back({T::ScanningSystemFolder, "", paths.SystemFolder()}); break;
    }
    return targets;
}

std::int64_t RecordScanStart(settings::SettingsStore& store, ScanMode mode, ports::Calendar& calendar) {
    const std::int64_t count = settings::RaiseTotalScans(store);
    if (mode == ScanMode::WholeComputer) {
        store.Write(settings::keys::kLastSystemScan, calendar.TodayShortDate());
    }
    return count;
}

}  // namespace quellstone::scan
