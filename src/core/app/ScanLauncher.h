#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/app/Context.h"
#include "core/app/ScanEvents.h"
#include "core/ports/Calendar.h"
#include "core/ports/DirectoryTree.h"
#include "core/ports/MountTable.h"
#include "core/scan/FolderWalk.h"
#include "core/scan/ScanPlan.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/windows/ScanWindowModel.h"

namespace quellstone::app {

// The scan frame's boxes as a scan starts.
struct ScanBoxes {
    scan::ReportedCategories reported;
    bool highPriority = false;  // unticked: the scan runs at low priority
};

// What the start button does: count the scan, run it on a thread of its own
// with the stored scan choices, and hand its results to the scan window in
// batches on the window's thread (Deliver), until the window's finishing step.
class ScanLauncher {
public:
    struct Ports {
        settings::SettingsStore& store;
        ports::Calendar& calendar;
        ports::MountTable& drives;
        ports::DirectoryTree& tree;
        // Lowers the priority of the calling thread (the scan's, before it
        // starts its own); false when it could not. Empty: the scan keeps
        // normal priority.
        std::function<bool()> lowerThreadPriority = {};
        // For the quick and whole-computer scans' processes and autostart entries.
        ports::ProcessTable* processes = nullptr;
        ports::FileStore* files = nullptr;
    };

    // `ended` is called on the scan's thread once the scan has ended, so
    // that the front end can have Deliver called at once on the window's
    // thread (besides its regular calls).
    ScanLauncher(app::Context& context, settings::ProgramPaths paths, Ports ports, std::function<void()> ended = {});
    // Stops a running scan and waits for its thread.
    ~ScanLauncher();
    ScanLauncher(const ScanLauncher&) = delete;
    ScanLauncher& operator=(const ScanLauncher&) = delete;

    // The scan's first step: counts it (see RecordScanStart) and returns the
    // new scan count for the main window.
    std::int64_t CountScan(scan::ScanMode mode);

    // Starts the scan of the mode's folders (`selectedFolder` for a chosen
    // folder) into `window`, already loaded and shown, with every name looked
    // up in `index`. The scan runs until it ends or the scan state's stop is
    // requested; its results reach the window through Deliver.
    void Start(scan::ScanMode mode, const std::string& selectedFolder, windows::ScanWindowModel& window,
               scan::IndexSupply index, ScanBoxes boxes = {});

    // On the window's thread: hands the window what the scan reported since
    // the last call. Once the scan has ended and the window has everything,
    // puts the window into its finished state, lowers the run flag and
    // returns true, once per scan.
    bool Deliver();

    // Blocks until the scan's thread has ended; its last results still wait for Deliver.
    void WaitUntilEnded();

    // Ends a running scan (the program is closing).
    void Abandon();

private:
    void Apply(const ScanEvent& event);

    app::Context& context_;
    settings::ProgramPaths paths_;
    Ports ports_;
    std::function<void()> ended_;
    windows::ScanWindowModel* window_ = nullptr;
    scan::ScanMode mode_ = scan::ScanMode::ChosenFolder;
    std::unique_ptr<ScanEvents> events_;
    std::atomic<bool> threadEnded_{true};
    bool delivering_ = false;
    std::jthread thread_;  // last: ends before what it writes into goes
};

}  // namespace quellstone::app
