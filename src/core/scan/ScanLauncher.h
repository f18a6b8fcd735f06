#pragma once

#include <string>
#include <vector>

#include "core/app/Context.h"
#include "core/ports/Calendar.h"
#include "core/ports/DirectoryTree.h"
#include "core/ports/EventPump.h"
#include "core/ports/MountTable.h"
#include "core/scan/ScanWindowModel.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::scan {

enum class ScanMode { WholeComputer = 0, ChosenFolder = 1, QuickScan = 2 };

// One folder a scan walks, with the operation text shown while it does:
// interface text `textEntry` followed by `textSuffix`.
struct ScanTarget {
    int textEntry = 0;
    std::string textSuffix;
    std::string folder;
};

// The folders a scan of `mode` walks, in order: the whole computer is the
// programs folder, then every drive (mount point) in the system's order; a
// chosen folder is that folder; the quick scan is the system folder.
std::vector<ScanTarget> PlanScan(ScanMode mode, const std::string& selectedFolder, const settings::ProgramPaths& paths,
                                 ports::MountTable& drives);

// Counts a scan in the statistics as it starts: raises the scan counter
// (returned) and, for a whole-computer scan only, stores today's date as the
// last system scan.
std::int64_t RecordScanStart(settings::SettingsStore& store, ScanMode mode, ports::Calendar& calendar);

// What the start button does: count the scan, walk the mode's folders into
// the scan window, and put the window into its finished state.
class ScanLauncher {
public:
    struct Ports {
        settings::SettingsStore& store;
        ports::Calendar& calendar;
        ports::MountTable& drives;
        ports::DirectoryTree& tree;
        ports::EventPump& pump;
    };

    ScanLauncher(app::Context& context, settings::ProgramPaths paths, Ports ports)
        : context_(context), paths_(std::move(paths)), ports_(ports) {}

    // The scan's first step: counts it (see RecordScanStart) and returns the
    // new scan count for the main window.
    std::int64_t CountScan(ScanMode mode);

    // Walks the mode's folders into `window` (already loaded and shown) and
    // finishes it. `selectedFolder` is normalised in place by the walk.
    void Run(ScanMode mode, std::string& selectedFolder, ScanWindowModel& window);

    // Ends a running scan and skips the folders it has not reached (the
    // program is closing).
    void Abandon();

private:
    app::Context& context_;
    settings::ProgramPaths paths_;
    Ports ports_;
    bool abandoned_ = false;
};

}  // namespace quellstone::scan
