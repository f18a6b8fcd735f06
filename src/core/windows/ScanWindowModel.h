#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/FileStore.h"
#include "core/quarantine/Remover.h"
#include "core/scan/ScanSink.h"
#include "core/scan/ScanState.h"
#include "core/scan/StartFolder.h"
#include "core/windows/Captions.h"
#include "core/windows/RemovalPass.h"
#include "core/windows/ScanReport.h"
#include "core/windows/ScanResults.h"
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

// The passing notice a finished scan raises.
struct ScanAlert {
    std::string title;
    std::string message;
};

// The scan window's tabs.
inline constexpr int kTabResults = 0;
inline constexpr int kTabReport = 1;

// The scan window: the walk writes into it (it is the walk's sink), its
// timers blink the wait notice and carry the stop request, and its buttons
// stop, close and remove. It keeps the result list, the removal pass over it
// and the report of its one scan.
class ScanWindowModel final : public scan::ScanSink {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    ScanWindowModel(
        const i18n::LanguageTable& texts, scan::ScanState& scan, ports::Dialogs& dialogs, ports::FileStore& files,
        Clock clock = [] { return std::chrono::system_clock::now(); });
    // The report and the removal pass refer to its result list and course.
    ScanWindowModel(const ScanWindowModel&) = delete;
    ScanWindowModel& operator=(const ScanWindowModel&) = delete;

    void Load();

    [[nodiscard]] const std::string& Caption(ScanControl control) const { return captions_[control]; }
    void SetCaption(ScanControl control, std::string text) { captions_.Set(control, std::move(text)); }
    [[nodiscard]] bool WaitNoticeVisible() const { return waitNoticeVisible_; }
    [[nodiscard]] bool StopEnabled() const { return stopEnabled_; }
    // The remove button: once the walk has finished, while no removal pass
    // runs, and only while a ticked row is still detected.
    [[nodiscard]] bool RemoveEnabled() const;
    [[nodiscard]] bool Visible() const { return visible_; }
    // The result list (the front end's table is over it) and the report tab.
    [[nodiscard]] ScanResults& Results() { return results_; }
    [[nodiscard]] const ScanResults& Results() const { return results_; }
    [[nodiscard]] ScanReport& Report() { return report_; }
    [[nodiscard]] const ScanReport& Report() const { return report_; }

    // ScanSink: what the walk writes.
    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) override {
        start_ = {std::string(path), identity};
    }
    // A start folder that could not be read is named in a message and in the
    // report; other folders that could not be read are counted and named in the report.
    void ReportUnreadableFolder(std::string_view path, bool isStartFolder) override;
    // A start folder left out by an exclusion is named in the report, and in
    // the status line when the scan looked up nothing at all.
    void ReportExcludedStart(std::string_view path) override { report_.AddExcludedStart(path); }
    void LookedUp(std::string_view fullPath) override { AddLookedUp(1, fullPath); }
    // `count` entries were looked up, `lastPath` the last of them.
    void AddLookedUp(std::int64_t count, std::string_view lastPath);
    void AddDetection(std::string_view detection, std::string_view fullPath) override;
    void IgnoreDetection(std::string_view detection, std::string_view fullPath) override;
    // A running process and a program that starts by itself, named in the database.
    // `byFile`: named by the file it runs, which a removal then removes too.
    void AddProcessDetection(std::string_view detection, const ports::RunningProcess& process, bool byFile = true);
    void AddAutostartDetection(std::string_view detection, const autostart::AutostartEntry& entry);

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
    // for: "the list will be lost" only while a row has not been through a
    // removal pass). During a walk it offers "Stop and close": chosen, the walk is
    // stopped and the window closes once it has ended (see CloseDue).
    bool CloseClicked();
    // A "Stop and close" waits for the walk, which has ended now: close the window.
    [[nodiscard]] bool CloseDue() const;
    // The program is about to end: true when it may, after one question if
    // the list or a running walk would be lost. The window stays as it is.
    bool QuitClicked();
    void Unload();

    // A walk runs (between its start and the launcher's finishing step).
    [[nodiscard]] bool Busy() const { return visible_ && !course_.ended; }
    // Whether the stop button ended the walk, and the path it was in then.
    [[nodiscard]] bool Stopped() const { return course_.stopped; }
    [[nodiscard]] const std::string& StoppedIn() const { return course_.stoppedIn; }

    // Whether the window is the one the user works in (the front end tells).
    void SetActive(bool active) { active_ = active; }
    // The notice a finished scan raises: detections found while the user was
    // in another window. None for a stopped scan or a closed window.
    [[nodiscard]] std::optional<ScanAlert> FinishedAlert() const;

    // The launcher: the scan's start, each folder it walks, and its end; its
    // notes for the report are handed on to it. `firstFolder` is where the
    // scan begins: a scan stopped before its walk has reported anything was
    // stopped there.
    void BeginScan(std::string firstFolder = {});
    void AddScannedFolder(std::string folder) { report_.AddScannedFolder(std::move(folder)); }
    // A file system the scan leaves out ("mount point (type)"), named in the report.
    void AddLeftOutFileSystem(std::string fileSystem) { report_.AddLeftOutFileSystem(std::move(fileSystem)); }
    void AddFileSystemNotEntered(std::string fileSystem) { report_.AddFileSystemNotEntered(std::move(fileSystem)); }
    // What the scan's choices leave out (hidden entries, excluded folders, categories), for the report.
    void SetScope(ScanScope scope) { report_.SetScope(std::move(scope)); }
    // The mount table could not be read: the report says that only the root was walked.
    void NoteMountsUnknown() { report_.NoteMountsUnknown(); }
    // How many start folders the exclusions have left out so far.
    [[nodiscard]] std::size_t ExcludedStartCount() const { return report_.ExcludedStarts().size(); }
    // Whether a start folder that cannot be read gets a message of its own:
    // yes for the folder the user chose, no for the folders of a scan mode
    // (a mount point the user may not read), which the report still lists.
    void SetNameUnreadableStartFolders(bool name) { nameUnreadableStart_ = name; }
    void Finish();

    // The remove button: the removal pass (see RemovalPass::Run) on the
    // results tab, which stays in view with each row's outcome. Does
    // nothing while the button is disabled (see RemoveEnabled).
    // `processes`: ends the processes the user agrees to end (null: they are left running).
    void RemoveClicked(quarantine::Remover& remover, const MainWindowCounters& counters,
                       ports::ProcessTable* processes = nullptr);
    [[nodiscard]] int CurrentTab() const { return currentTab_; }
    void SetCurrentTab(int tab) { currentTab_ = tab; }

private:
    [[nodiscard]] bool WalkRunning() const { return scan_.running; }
    [[nodiscard]] bool AskStopAndClose();
    [[nodiscard]] bool ConfirmLosingList();
    [[nodiscard]] const std::string& Text(i18n::TextId id) const { return texts_.Text(id); }

    const i18n::LanguageTable& texts_;
    scan::ScanState& scan_;
    ports::Dialogs& dialogs_;
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
    ScanCourse course_;
    ScanResults results_;
    ScanReport report_;
    RemovalPass removal_;
    scan::StartFolder start_;
    bool nameUnreadableStart_ = true;
    bool pathShown_ = false;         // the walk has shown a path in the status line
    bool closeWhenStopped_ = false;  // "Stop and close" was chosen
    bool active_ = true;
    int currentTab_ = kTabResults;
};

}  // namespace quellstone::windows
