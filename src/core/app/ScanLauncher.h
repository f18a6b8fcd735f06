#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/app/Context.h"
#include "core/ports/DirectoryTree.h"
#include "core/ports/EventPump.h"
#include "core/ports/MountTable.h"
#include "core/scan/ScanPlan.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/windows/ScanWindowModel.h"

namespace quellstone::app {

// What the start button does: count the scan, walk the mode's folders into
// the scan window (with the stored hidden-entries choice and excluded
// folders), and put the window into its finished state.
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
    std::int64_t CountScan(scan::ScanMode mode);

    // Walks the mode's folders into `window` (already loaded and shown) and
    // finishes it. `selectedFolder` is normalised in place by the walk. Every
    // folder is looked up in `index` (when none is given, in the database's
    // index as the scan starts), whatever happens to the file meanwhile.
    void Run(scan::ScanMode mode, std::string& selectedFolder, windows::ScanWindowModel& window,
             std::shared_ptr<const scan::SignatureIndex> index = nullptr);

    // Ends a running scan and skips the folders it has not reached (the
    // program is closing).
    void Abandon();

private:
    app::Context& context_;
    settings::ProgramPaths paths_;
    Ports ports_;
    bool abandoned_ = false;
};

}  // namespace quellstone::app
