#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/FileStore.h"
#include "core/quarantine/Remover.h"
#include "core/scan/ScanSink.h"
#include "core/scan/ScanState.h"
#include "core/scan/StartFolder.h"
#include "core/windows/Captions.h"
#include "core/windows/TimerState.h"

namespace quellstone::windows {

// The scan window's controls that show a text.
enum class ScanControl {
    Title,
    TabResults,
    TabReport,
    OperationCaption,
    Operation,
    StatusCaption,
    CurrentFile,
    WaitNotice,
    SummaryCaption,
    ProcessesCaption,
    Processes,
    RegistryCaption,
    Registry,
    ScannedCaption,
    Scanned,
    DangerousCaption,
    Dangerous,
    IgnoredCaption,
    Ignored,
    ColumnDetection,
    ColumnPath,
    ColumnStatus,
    ElapsedCaption,
    Elapsed,
    Stop,
    Remove,
    Close,
    SaveReport,
    Count
};

// Images of a result row.
inline constexpr int kImageDetected = 1;
inline constexpr int kImageRemoved = 5;
inline constexpr int kImageNotRemoved = 6;

// One row of the result list.
struct ResultRow {
    std::string detection;  // the upper-cased detection name
    std::string path;       // the detected entry's full path (bytes)
    bool checked = true;
    int image = kImageDetected;
    std::string archive;            // the quarantine archive written for it, if any
    ports::ReachablePath location;  // how removal reaches it from the scan's start folder
    quarantine::RemovalProblem problem = quarantine::RemovalProblem::None;  // why the removal left it
};

// The passing notice a finished scan raises.
struct ScanAlert {
    std::string title;
    std::string message;
};

// The scan window's tabs.
inline constexpr int kTabResults = 0;
inline constexpr int kTabReport = 1;

// What the removal pass changes on the main window.
struct MainWindowCounters {
    std::function<void()> raiseQuarantined;              // one more object in quarantine
    std::function<void(std::int64_t)> showRemovedTotal;  // the stored count of removed objects
};

// The scan window: the walk writes into it (it is the walk's sink), its
// timers blink the wait notice and carry the stop request, and it keeps the
// result list and the report of its one scan.
class ScanWindowModel final : public scan::ScanSink {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    ScanWindowModel(
        const i18n::LanguageTable& texts, scan::ScanState& scan, ports::Dialogs& dialogs, ports::FileStore& files,
        Clock clock = [] { return std::chrono::system_clock::now(); });

    void Load();

    [[nodiscard]] const std::string& Caption(ScanControl control) const { return captions_[control]; }
    void SetCaption(ScanControl control, std::string text) { captions_.Set(control, std::move(text)); }
    [[nodiscard]] bool WaitNoticeVisible() const { return waitNoticeVisible_; }
    [[nodiscard]] bool StopEnabled() const { return stopEnabled_; }
    // The remove button: once the walk has finished, while no removal pass
    // runs, and only while a ticked row is still detected.
    [[nodiscard]] bool RemoveEnabled() const;
    [[nodiscard]] const std::vector<ResultRow>& Rows() const { return rows_; }
    // A row's outcome in words: "Detected", "Removed", "Kept in quarantine", "Not removed: why".
    [[nodiscard]] std::string StatusText(const ResultRow& row) const;
    void SetRowChecked(std::size_t row, bool checked);
    [[nodiscard]] bool Visible() const { return visible_; }

    // ScanSink: what the walk writes.
    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) override {
        start_ = {std::string(path), identity};
    }
    // A start folder that could not be read is named in a message and in the
    // report; other folders that could not be read are counted in the report.
    void ReportUnreadableFolder(std::string_view path, bool isStartFolder) override;
    // A start folder left out by an exclusion is named in the report, and in
    // the status line when the scan looked up nothing at all.
    void ReportExcludedStart(std::string_view path) override { excludedStarts_.emplace_back(path); }
    void LookedUp(std::string_view fullPath) override { AddLookedUp(1, fullPath); }
    // `count` entries were looked up, `lastPath` the last of them.
    void AddLookedUp(std::int64_t count, std::string_view lastPath);
    void AddDetection(std::string_view detection, std::string_view fullPath) override;

    // The wait notice blinks: one timer hides it, the other shows it again.
    // The end watch ends the blinking once the walk has stopped; the stop
    // timer carries a stop request to the walk.
    [[nodiscard]] const TimerState& NoticeHideTimer() const { return noticeHideTimer_; }
    [[nodiscard]] const TimerState& NoticeShowTimer() const { return noticeShowTimer_; }
    [[nodiscard]] const TimerState& EndWatchTimer() const { return endWatchTimer_; }
    [[nodiscard]] const TimerState& StopTimer() const { return stopTimer_; }
    // Shows the time since the scan began ("0:42") while the walk runs.
    [[nodiscard]] const TimerState& ElapsedTimer() const { return elapsedTimer_; }
    void NoticeHideTick();
    void NoticeShowTick();
    void EndWatchTick();
    void StopTick();
    void ElapsedTick();
    [[nodiscard]] ModelTimers Timers();

    // Buttons.
    void StopClicked();
    // True when the window may close now (after the questions the list calls
    // for). During a walk it offers "Stop and close": chosen, the walk is
    // stopped and the window closes once it has ended (see CloseDue).
    bool CloseClicked();
    // A "Stop and close" waits for the walk, which has ended now: close the window.
    [[nodiscard]] bool CloseDue() const;
    // The program is about to end: true when it may, after one question if
    // the list or a running walk would be lost. The window stays as it is.
    bool QuitClicked();
    void Unload();

    // A walk runs (between its start and the launcher's finishing step).
    [[nodiscard]] bool Busy() const { return visible_ && !finishedScan_; }
    // Whether the stop button ended the walk, and the path it was in then.
    [[nodiscard]] bool Stopped() const { return stopped_; }
    [[nodiscard]] const std::string& StoppedIn() const { return stoppedIn_; }

    // Whether the window is the one the user works in (the front end tells).
    void SetActive(bool active) { active_ = active; }
    // The notice a finished scan raises: detections found while the user was
    // in another window. None for a stopped scan or a closed window.
    [[nodiscard]] std::optional<ScanAlert> FinishedAlert() const;

    // The launcher: the scan's start, each folder it walks, and its end.
    // `firstFolder` is where the scan begins: a scan stopped before its walk
    // has reported anything was stopped there.
    void BeginScan(std::string firstFolder = {});
    void AddScannedFolder(std::string folder) { scannedFolders_.push_back(std::move(folder)); }
    // A file system the scan leaves out ("mount point (type)"), named in the report.
    void AddLeftOutFileSystem(std::string fileSystem) { leftOutFileSystems_.push_back(std::move(fileSystem)); }
    // The mount table could not be read: the report says that only the root was walked.
    void NoteMountsUnknown() { mountsUnknown_ = true; }
    // How many start folders the exclusions have left out so far.
    [[nodiscard]] std::size_t ExcludedStartCount() const { return excludedStarts_.size(); }
    // Whether a start folder that cannot be read gets a message of its own:
    // yes for the folder the user chose, no for the folders of a scan mode
    // (a mount point the user may not read), which the report still lists.
    void SetNameUnreadableStartFolders(bool name) { nameUnreadableStart_ = name; }
    void Finish();

    // The remove button: asks first (how many files, and whether copies are
    // kept), then removes every ticked, still detected row's file, copied
    // into the quarantine first when the switch is on, and says what
    // happened. Does nothing while the button is disabled (see RemoveEnabled).
    void RemoveClicked(quarantine::Remover& remover, const MainWindowCounters& counters);
    [[nodiscard]] const std::string& ResultMark() const { return mark_; }
    [[nodiscard]] int CurrentTab() const { return currentTab_; }
    void SetCurrentTab(int tab) { currentTab_ = tab; }

    // The report tab.
    [[nodiscard]] std::string ReportText() const;
    // Asks for a file name and writes the report; false when nothing was written.
    bool SaveReportClicked();

private:
    void RaiseCounter(ScanControl control, std::int64_t& count);
    [[nodiscard]] bool WalkRunning() const { return scan_.running; }
    [[nodiscard]] bool AskStopAndClose();
    [[nodiscard]] bool ConfirmLosingList();
    [[nodiscard]] bool ConfirmRemoval(quarantine::Remover& remover);
    // What a removal pass did with the files of `handled` (row indices).
    [[nodiscard]] std::string RemovalSummary(const std::vector<std::size_t>& handled) const;
    [[nodiscard]] std::string ProblemText(quarantine::RemovalProblem problem) const;
    [[nodiscard]] std::string DateText(std::chrono::system_clock::time_point when) const;
    [[nodiscard]] const std::string& Text(i18n::TextId id) const { return texts_.Text(id); }

    const i18n::LanguageTable& texts_;
    scan::ScanState& scan_;
    ports::Dialogs& dialogs_;
    ports::FileStore& files_;
    Clock clock_;
    Captions<ScanControl> captions_;
    TimerState noticeHideTimer_;
    TimerState noticeShowTimer_;
    TimerState endWatchTimer_;
    TimerState stopTimer_;
    TimerState elapsedTimer_;
    bool visible_ = false;
    bool waitNoticeVisible_ = true;
    bool stopEnabled_ = true;
    bool removing_ = false;  // a removal pass runs
    std::vector<ResultRow> rows_;
    std::int64_t scanned_ = 0;    // the scanned-objects counter
    std::int64_t dangerous_ = 0;  // the dangerous-objects counter
    std::vector<std::string> scannedFolders_;
    std::vector<std::string> unscannedFolders_;    // start folders that could not be read
    std::vector<std::string> excludedStarts_;      // start folders left out by an exclusion
    std::vector<std::string> leftOutFileSystems_;  // network and FUSE file systems not walked
    bool mountsUnknown_ = false;
    std::int64_t unreadableFolders_ = 0;  // folders inside the scanned trees that could not be read
    scan::StartFolder start_;
    bool nameUnreadableStart_ = true;
    std::chrono::system_clock::time_point started_{};
    std::chrono::system_clock::time_point finished_{};
    bool finishedScan_ = false;
    bool stopped_ = false;
    bool pathShown_ = false;         // the walk has shown a path in the status line
    std::string stoppedIn_;          // the last path the stopped walk looked up
    bool closeWhenStopped_ = false;  // "Stop and close" was chosen
    bool active_ = true;
    std::string mark_;  // "NAPRAWIONY" once a removal pass has run in this window
    int currentTab_ = kTabResults;
};

}  // namespace quellstone::windows
