#include "core/app/ScanLauncher.h"

#include "core/app/ScanRun.h"
#include "core/settings/ScanExclusions.h"

namespace quellstone::app {

ScanLauncher::ScanLauncher(app::Context& context, settings::ProgramPaths paths, Ports ports,
                           std::function<void()> ended)
    : context_(context), paths_(std::move(paths)), ports_(ports), ended_(std::move(ended)) {}

ScanLauncher::~ScanLauncher() {
    Abandon();
    WaitUntilEnded();
}

std::int64_t ScanLauncher::CountScan(scan::ScanMode mode) {
    return scan::RecordScanStart(ports_.store, mode, ports_.calendar);
}

void ScanLauncher::Start(scan::ScanMode mode, const std::string& selectedFolder, windows::ScanWindowModel& window,
                         scan::IndexSupply index, ScanBoxes boxes) {
    WaitUntilEnded();  // an abandoned scan's thread, if any
    window_ = &window;
    mode_ = mode;
    context_.scan.running = true;
    context_.scan.stop = std::stop_source();
    const std::vector<scan::ScanTarget> planned = scan::PlanScan(mode, selectedFolder, paths_, {}, false).targets;
    window.BeginScan(planned.empty() ? std::string() : planned.front().folder);
    window.SetNameUnreadableStartFolders(mode == scan::ScanMode::ChosenFolder);

    // The window's scan choices, as stored when the scan starts; read here,
    // on the window's thread, which owns the settings.
    ScanRequest request;
    request.mode = mode;
    request.paths = {selectedFolder};
    request.includeHidden = settings::ScanHiddenOn(ports_.store);
    request.includeRemote = settings::ScanNetworkOn(ports_.store);
    request.excluded = settings::ExcludedFolders(ports_.store);
    request.listingThreads = settings::StoredListingThreads(ports_.store).value_or(kDefaultListingThreads);
    request.count = false;  // counted by CountScan as it started
    request.reported = boxes.reported;
    // The report says what these choices leave out, so that a partial scan never reads as complete.
    window.SetScope({request.includeHidden, request.excluded, request.reported});

    events_ = std::make_unique<ScanEvents>();
    threadEnded_ = false;
    thread_ = std::jthread([this, request = std::move(request), index = std::move(index),
                            stop = context_.scan.stop.get_token(),
                            lower = !boxes.highPriority && ports_.lowerThreadPriority] {
        // A failure leaves the scan at normal priority, which only costs the rest of the desktop some speed.
        if (lower) static_cast<void>(ports_.lowerThreadPriority());
        ScanRun run({ports_.tree, ports_.drives, ports_.store, ports_.calendar, ports_.processes, ports_.files},
                    paths_);
        run.Run(request, index, *events_, stop);
        threadEnded_ = true;
        if (ended_) ended_();
    });
}

bool ScanLauncher::Deliver() {
    // A message shown while results are handed over runs events, and this
    // call among them: the first call finishes the hand-over.
    if (!window_ || delivering_) return false;
    const scan::RaisedWhileAlive delivering(delivering_);
    // Read before taking the events: whatever the thread reported before it ended is in them.
    const bool ended = threadEnded_;
    for (const ScanEvent& event : events_->Take()) Apply(event);
    if (!ended || !window_) return false;
    window_->Finish();
    window_ = nullptr;
    context_.scan.running = false;
    return true;
}

void ScanLauncher::Apply(const ScanEvent& event) {
    windows::ScanWindowModel& window = *window_;
    using Kind = ScanEvent::Kind;
    switch (event.kind) {
        case Kind::StartFolder: window.EnterStartFolder(event.path, event.identity); break;
        case Kind::UnreadableFolder: window.ReportUnreadableFolder(event.path, event.flag); break;
        case Kind::ExcludedStart: window.ReportExcludedStart(event.path); break;
        case Kind::LookedUp: window.AddLookedUp(event.number, event.path); break;
        case Kind::Detection: window.AddDetection(event.text, event.path); break;
        case Kind::Ignored: window.IgnoreDetection(event.text, event.path); break;
        case Kind::Process: window.AddProcessDetection(event.text, event.process, event.flag); break;
        case Kind::Autostart: window.AddAutostartDetection(event.text, event.entry); break;
        case Kind::SystemChecked: break;
        // A chosen folder that is not there is named like one that cannot be read.
        case Kind::PathNotReached: window.ReportUnreadableFolder(event.path, true); break;
        case Kind::FileSystemLeftOut: window.AddLeftOutFileSystem(event.path + " (" + event.text + ")"); break;
        case Kind::FileSystemNotEntered: window.AddFileSystemNotEntered(event.path + " (" + event.text + ")"); break;
        case Kind::MountsUnknown: window.NoteMountsUnknown(); break;
        case Kind::Counted: break;  // counted by CountScan as it started
        case Kind::FolderStarted:
            window.SetCaption(windows::ScanControl::Operation,
                              context_.languageText.Text(event.target.text) + event.target.textSuffix);
            break;
        case Kind::FolderDone:
            // A folder the exclusions left out was not scanned: the report lists it only as excluded.
            if (!event.flag) window.AddScannedFolder(event.target.folder);
            break;
    }
}

void ScanLauncher::WaitUntilEnded() {
    if (thread_.joinable()) thread_.join();
}

void ScanLauncher::Abandon() {
    context_.scan.stop.request_stop();
}

}  // namespace quellstone::app
