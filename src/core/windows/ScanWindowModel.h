#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
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
    void SetRowChecked(std::size_t row, bool checked);
    [[nodiscard]] bool Visible() const { return visible_; }

    // ScanSink: what the walk writes.
    [[nodiscard]] bool IsShown() const override { return visible_; }
    void Discard() override { Unload(); }
    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) override {
        start_ = {std::string(path), identity};
    }
    // A start folder that could not be read is named in a message and in the
    // report; other folders that could not be read are counted in the report.
    void ReportUnreadableFolder(std::string_view path, bool isStartFolder) override;
    void ShowCurrentPath(std::string_view fullPath) override;
    void AdvanceScannedCount() override;
    void AddDetection(std::string_view detection, std::string_view fullPath) override;

    // The wait notice blinks: one timer hides it, the other shows it again.
    // The end watch ends the blinking once the walk has stopped; the stop
    // timer carries a stop request to the walk.
    [[nodiscard]] const TimerState& NoticeHideTimer() const { return noticeHideTimer_; }
    [[nodiscard]] const TimerState& NoticeShowTimer() const { return noticeShowTimer_; }
    [[nodiscard]] const TimerState& EndWatchTimer() const { return endWatchTimer_; }
    [[nodiscard]] const TimerState& StopTimer() const { return stopTimer_; }
    void NoticeHideTick();
    void NoticeShowTick();
    void EndWatchTick();
    void StopTick();
    [[nodiscard]] ModelTimers Timers();

    // Buttons.
    void StopClicked();
    // True when the window may close (after the questions the list calls for).
    bool CloseClicked();
    void Unload();

    // The launcher: the scan's start, each folder it walks, and its end.
    void BeginScan();
    void AddScannedFolder(std::string folder) { scannedFolders_.push_back(std::move(folder)); }
    // Whether a start folder that cannot be read gets a message of its own:
    // yes for the folder the user chose, no for the folders of a scan mode
    // (a mount point the user may not read), which the report still lists.
    void SetNameUnreadableStartFolders(bool name) { nameUnreadableStart_ = name; }
    void Finish();

    // The remove button: removes every ticked, still detected row's
    // file, copied into the quarantine first when the switch is on. Does
    // nothing while the button is disabled (see RemoveEnabled).
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
    bool visible_ = false;
    bool waitNoticeVisible_ = true;
    bool stopEnabled_ = true;
    bool removing_ = false;  // a removal pass runs
    std::vector<ResultRow> rows_;
    std::int64_t scanned_ = 0;    // the scanned-objects counter
    std::int64_t dangerous_ = 0;  // the dangerous-objects counter
    std::vector<std::string> scannedFolders_;
    std::vector<std::string> unscannedFolders_;  // start folders that could not be read
    std::int64_t unreadableFolders_ = 0;         // folders inside the scanned trees that could not be read
    scan::StartFolder start_;
    bool nameUnreadableStart_ = true;
    std::chrono::system_clock::time_point started_{};
    std::chrono::system_clock::time_point finished_{};
    bool finishedScan_ = false;
    std::string mark_;  // "NAPRAWIONY" once a removal pass has run in this window
    int currentTab_ = kTabResults;
};

}  // namespace quellstone::windows
