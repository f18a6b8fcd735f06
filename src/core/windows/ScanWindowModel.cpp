#include "core/windows/ScanWindowModel.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/text/DisplayEscape.h"
#include "core/text/TimeText.h"
#include "core/update/Version.h"

namespace quellstone::windows {

using T = i18n::TextId;

namespace {

using S = ScanControl;

// Which interface text each control shows.
constexpr CaptionEntry<ScanControl> kCaptionEntries[] = {
    {S::Title, T::ScanWindowTitle},
    {S::TabResults, T::ResultsTab},
    {S::TabReport, T::ReportTab},
    {S::SummaryCaption, T::SummaryCaption},
    {S::ProcessesCaption, T::DangerousProcessesCaption},
    {S::ScannedCaption, T::ScannedCaption},
    {S::IgnoredCaption, T::IgnoredObjectsCaption},
    {S::OperationCaption, T::OperationCaption},
    {S::Operation, T::OperationWait},
    {S::StatusCaption, T::StatusCaption},
    {S::WaitNotice, T::WaitNotice},
    {S::CurrentFile, T::CurrentFileStart},
    {S::RegistryCaption, T::DangerousRegistryCaption},
    {S::DangerousCaption, T::DangerousObjectsCaption},
    {S::Stop, T::StopButton},
    {S::Remove, T::RemoveButton},
    {S::Close, T::CloseButton},
    {S::ColumnDetection, T::ResultColumnThreat},
    {S::ColumnPath, T::ResultColumnPath},
    {S::SaveReport, T::SaveReportButton},
};

// What the report title says once a removal pass has run.
constexpr std::string_view kResultMark = "NAPRAWIONY";

}  // namespace

ScanWindowModel::ScanWindowModel(const i18n::LanguageTable& texts, scan::ScanState& scan, ports::Dialogs& dialogs,
                                 ports::FileStore& files, Clock clock)
    : texts_(texts), scan_(scan), dialogs_(dialogs), files_(files), clock_(std::move(clock)) {}

void ScanWindowModel::Load() {
    visible_ = true;
    captions_.Apply(kCaptionEntries, texts_);
    for (const ScanControl counter : {S::Processes, S::Registry, S::Scanned, S::Dangerous, S::Ignored}) {
        SetCaption(counter, "0");
    }
    scanned_ = 0;
    dangerous_ = 0;
    noticeHideTimer_ = {400, true};
    noticeShowTimer_ = {500, false};
    endWatchTimer_ = {10, true};
    stopTimer_ = {10, false};
    waitNoticeVisible_ = true;
    stopEnabled_ = true;
}

void ScanWindowModel::SetRowChecked(std::size_t row, bool checked) {
    if (row < rows_.size()) rows_[row].checked = checked;
}

void ScanWindowModel::ShowCurrentPath(std::string_view fullPath) {
    // Assigned in place: this runs for every entry of a scan.
    captions_.Assign(S::CurrentFile, fullPath);
}

// Counters are raised once per looked-up entry, so the number is kept beside
// its caption instead of being parsed back from it every time.
void ScanWindowModel::RaiseCounter(ScanControl control, std::int64_t& count) {
    SetCaption(control, std::to_string(++count));
}

void ScanWindowModel::AdvanceScannedCount() {
    RaiseCounter(S::Scanned, scanned_);
}

void ScanWindowModel::ReportUnreadableFolder(std::string_view path, bool isStartFolder) {
    if (!isStartFolder) {
        ++unreadableFolders_;
        return;
    }
    unscannedFolders_.emplace_back(path);
    if (!nameUnreadableStart_) return;
    dialogs_.ShowMessage(Text(T::FolderNotScanned) + "\r" + text::EscapeForDisplay(path), ports::MessageIcon::Warning,
                         ports::MessageButtons::Ok);
}

void ScanWindowModel::AddDetection(std::string_view detection, std::string_view fullPath) {
    rows_.push_back({std::string(detection), std::string(fullPath), true, kImageDetected, {}, start_.Reach(fullPath)});
    RaiseCounter(S::Dangerous, dangerous_);
}

ModelTimers ScanWindowModel::Timers() {
    return {{"scan.noticeHide", noticeHideTimer_, [this] { NoticeHideTick(); }},
            {"scan.noticeShow", noticeShowTimer_, [this] { NoticeShowTick(); }},
            {"scan.endWatch", endWatchTimer_, [this] { EndWatchTick(); }},
            {"scan.stop", stopTimer_, [this] { StopTick(); }}};
}

void ScanWindowModel::NoticeHideTick() {
    waitNoticeVisible_ = false;
    noticeShowTimer_.enabled = true;
    noticeHideTimer_.enabled = false;
}

void ScanWindowModel::NoticeShowTick() {
    waitNoticeVisible_ = true;
    noticeHideTimer_.enabled = true;
    noticeShowTimer_.enabled = false;
}

void ScanWindowModel::EndWatchTick() {
    if (Caption(S::CurrentFile) == Text(T::ScanEndedMarker)) {
        noticeShowTimer_.enabled = false;
        noticeHideTimer_.enabled = false;
    }
}

void ScanWindowModel::StopTick() {
    scan_.scanRunning = false;
}

void ScanWindowModel::StopClicked() {
    stopTimer_.enabled = true;
    stopEnabled_ = false;
}

bool ScanWindowModel::CloseClicked() {
    using ports::MessageAnswer;
    using ports::MessageButtons;
    using ports::MessageIcon;
    if (rows_.empty()) {
        if (!scan_.scanRunning) return true;
        dialogs_.ShowMessage(Text(T::ScanRunningOnClose), MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    if (dialogs_.ShowMessage(Text(T::CloseWithResultsQuestion), MessageIcon::Information, MessageButtons::YesNo,
                             MessageAnswer::No) != MessageAnswer::Yes) {
        return false;
    }
    if (!scan_.scanRunning) return true;
    dialogs_.ShowMessage(Text(T::StopScanFirst), MessageIcon::Information, MessageButtons::Ok);
    return false;
}

void ScanWindowModel::Unload() {
    rows_.clear();
    visible_ = false;
    for (TimerState* timer : {&noticeHideTimer_, &noticeShowTimer_, &endWatchTimer_, &stopTimer_})
        timer->enabled = false;
}

void ScanWindowModel::BeginScan() {
    started_ = clock_();
    finishedScan_ = false;
}

void ScanWindowModel::Finish() {
    noticeHideTimer_.enabled = false;
    noticeShowTimer_.enabled = false;
    waitNoticeVisible_ = false;
    SetCaption(S::Operation, Text(T::ScanFinished));
    SetCaption(S::CurrentFile, Text(T::ScanFinished));
    stopEnabled_ = false;
    finished_ = clock_();
    finishedScan_ = true;
}

std::string ScanWindowModel::ReportText() const {
    std::string report = update::ProgramVersionLine() + " - " + Text(T::ReportTitle) + "\n\n";
    report += Text(T::ReportStarted) + " " + text::LocalTimeText(started_) + "\n";
    if (finishedScan_) {
        const double seconds = std::chrono::duration<double>(finished_ - started_).count();
        char duration[32];
        std::snprintf(duration, sizeof duration, "%.1f s", seconds);
        report += Text(T::ReportFinished) + " " + text::LocalTimeText(finished_) + "\n";
        report += Text(T::ReportDuration) + " " + duration + "\n";
    } else {
        report += Text(T::ReportRunning) + "\n";
    }
    report += Text(T::ReportFolders) + "\n";
    for (const std::string& folder : scannedFolders_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    if (!unscannedFolders_.empty()) {
        report += Text(T::ReportNotScanned) + "\n";
        for (const std::string& folder : unscannedFolders_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    }
    report += Text(T::ReportScanned) + " " + Caption(S::Scanned) + "\n";
    if (unreadableFolders_ > 0) report += Text(T::ReportUnreadable) + " " + std::to_string(unreadableFolders_) + "\n";
    report += Text(T::ReportDetections) + " " + std::to_string(rows_.size()) + "\n";
    // "Nothing was found" only when everything named to the scan was read.
    if (rows_.empty() && unscannedFolders_.empty()) report += "  " + Text(T::ReportNoDetections) + "\n";
    for (const ResultRow& row : rows_) {
        report += "  " + text::EscapeForDisplay(row.detection) + "  " + text::EscapeForDisplay(row.path) + "\n";
    }
    const auto outcome = [&](int image, T heading) {
        std::string lines;
        for (const ResultRow& row : rows_) {
            if (row.image != image) continue;
            lines += "  " + text::EscapeForDisplay(row.path);
            if (!row.archive.empty())
                lines += "  (" + Text(T::ReportArchived) + " " + text::EscapeForDisplay(row.archive) + ")";
            lines += "\n";
        }
        if (!lines.empty()) report += Text(heading) + "\n" + lines;
    };
    outcome(kImageRemoved, T::ReportRemoved);
    outcome(kImageNotRemoved, T::ReportNotRemoved);
    return report;
}

bool ScanWindowModel::RemoveEnabled() const {
    if (!finishedScan_ || removing_) return false;
    return std::any_of(rows_.begin(), rows_.end(),
                       [](const ResultRow& row) { return row.checked && row.image == kImageDetected; });
}

void ScanWindowModel::RemoveClicked(quarantine::Remover& remover, const MainWindowCounters& counters) {
    if (!RemoveEnabled()) return;
    const scan::RaisedWhileAlive pass(removing_);
    currentTab_ = kTabResults;  // the rows show their outcome as the pass goes
    scan_.scanRunning = false;
    mark_ = kResultMark;
    // A whole-computer scan walks "/opt/" and then "/": a file found twice is removed once.
    std::map<std::string, std::size_t> handled;  // path -> the row that removed it
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        ResultRow& row = rows_[i];
        if (!row.checked || row.image != kImageDetected) continue;
        if (const auto first = handled.find(row.path); first != handled.end()) {
            row.image = rows_[first->second].image;
            continue;
        }
        handled.emplace(row.path, i);
        const quarantine::Removal removal = remover.Remove(row.location, row.detection);
        if (removal.archive) {
            row.archive = *removal.archive;
            // Counted once the copy is complete, so the number is the files really kept.
            if (counters.raiseQuarantined) counters.raiseQuarantined();
        }
        if (!removal.Gone()) {
            row.image = kImageNotRemoved;
            continue;
        }
        row.image = kImageRemoved;
        // Only what this pass deleted is counted; a file already gone was counted by whoever removed it.
        if (removal.outcome != quarantine::RemovalOutcome::Removed) continue;
        const std::int64_t total = remover.CountRemoved();
        if (counters.showRemovedTotal) counters.showRemovedTotal(total);
    }
    dialogs_.ShowMessage(Text(T::RemovalFinished), ports::MessageIcon::Information, ports::MessageButtons::Ok);
    currentTab_ = kTabReport;  // then what was removed
}

bool ScanWindowModel::SaveReportClicked() {
    const std::optional<std::string> path = dialogs_.ChooseSaveFile(Text(T::SaveReportTitle), "quellstone-report.txt");
    if (!path || path->empty()) return false;
    return files_.ReplaceFile(*path, ReportText());
}

}  // namespace quellstone::windows
