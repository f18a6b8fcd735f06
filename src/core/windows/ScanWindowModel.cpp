#include "core/windows/ScanWindowModel.h"

#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"
#include "core/text/LanguageFormat.h"

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
    {S::ColumnStatus, T::ResultColumnStatus},
    {S::ElapsedCaption, T::ElapsedCaption},
    {S::SaveReport, T::SaveReportButton},
};

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
    SetCaption(S::Elapsed, text::ElapsedText(std::chrono::seconds(0)));
    scanned_ = 0;
    dangerous_ = 0;
    noticeHideTimer_ = {400, true};
    noticeShowTimer_ = {500, false};
    endWatchTimer_ = {10, true};
    stopTimer_ = {10, false};
    elapsedTimer_ = {1000, true};
    waitNoticeVisible_ = true;
    stopEnabled_ = true;
}

void ScanWindowModel::SetRowChecked(std::size_t row, bool checked) {
    if (row < rows_.size()) rows_[row].checked = checked;
}

void ScanWindowModel::AddLookedUp(std::int64_t count, std::string_view lastPath) {
    // Assigned in place: this runs often during a scan.
    captions_.Assign(S::CurrentFile, lastPath);
    pathShown_ = true;
    scanned_ += count;
    SetCaption(S::Scanned, std::to_string(scanned_));
}

// Counters are kept beside their captions instead of being parsed back from them.
void ScanWindowModel::RaiseCounter(ScanControl control, std::int64_t& count) {
    SetCaption(control, std::to_string(++count));
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
            {"scan.stop", stopTimer_, [this] { StopTick(); }},
            {"scan.elapsed", elapsedTimer_, [this] { ElapsedTick(); }}};
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
    // A tick during the walk carries the stop to it; where the walk stopped
    // is known once its last results have come (see Finish).
    if (!finishedScan_) stopped_ = true;
    scan_.stop.request_stop();
}

void ScanWindowModel::ElapsedTick() {
    if (finishedScan_) return;
    SetCaption(S::Elapsed, text::ElapsedText(std::chrono::duration_cast<std::chrono::seconds>(clock_() - started_)));
}

void ScanWindowModel::StopClicked() {
    stopTimer_.enabled = true;
    stopEnabled_ = false;
}

bool ScanWindowModel::AskStopAndClose() {
    return dialogs_.AskChoice(Text(T::StopAndCloseQuestion), ports::MessageIcon::Question,
                              {Text(T::StopAndCloseChoice)}) == 0;
}

bool ScanWindowModel::ConfirmLosingList() {
    if (rows_.empty()) return true;
    return dialogs_.ShowMessage(Text(T::CloseWithResultsQuestion), ports::MessageIcon::Information,
                                ports::MessageButtons::YesNo, ports::MessageAnswer::No) == ports::MessageAnswer::Yes;
}

bool ScanWindowModel::CloseClicked() {
    // Asked already: the window goes once the walk has ended, without a second question.
    if (closeWhenStopped_) return !WalkRunning();
    if (WalkRunning()) {
        if (!AskStopAndClose()) return false;
        StopClicked();
        closeWhenStopped_ = true;
        return false;
    }
    return ConfirmLosingList();
}

bool ScanWindowModel::CloseDue() const {
    return closeWhenStopped_ && visible_ && !WalkRunning();
}

bool ScanWindowModel::QuitClicked() {
    if (!visible_) return true;
    // "Stop and close" was chosen already: the window is due to go, nothing more to ask.
    if (closeWhenStopped_) return true;
    // Ending the program ends the walk too: "Stop and close" says all there is to lose.
    if (WalkRunning()) return AskStopAndClose();
    return ConfirmLosingList();
}

std::optional<ScanAlert> ScanWindowModel::FinishedAlert() const {
    if (!finishedScan_ || stopped_ || !visible_ || active_ || rows_.empty()) return std::nullopt;
    std::string folders;
    for (const std::string& folder : scannedFolders_) {
        if (!folders.empty()) folders += "\r";
        folders += text::EscapeForDisplay(folder);
    }
    return ScanAlert{text::FillIn(Text(T::AlertScanFinished), std::to_string(rows_.size())), folders};
}

void ScanWindowModel::Unload() {
    rows_.clear();
    visible_ = false;
    for (TimerState* timer : {&noticeHideTimer_, &noticeShowTimer_, &endWatchTimer_, &stopTimer_, &elapsedTimer_})
        timer->enabled = false;
}

void ScanWindowModel::BeginScan(std::string firstFolder) {
    start_ = {std::move(firstFolder), std::nullopt};
    started_ = clock_();
    finishedScan_ = false;
    stopped_ = false;
    stoppedIn_.clear();
    SetCaption(S::Elapsed, text::ElapsedText(std::chrono::seconds(0)));
}

void ScanWindowModel::Finish() {
    // The last entry the walk looked up; before its first one, the folder it started from.
    if (stopped_) stoppedIn_ = pathShown_ ? Caption(S::CurrentFile) : start_.path;
    noticeHideTimer_.enabled = false;
    noticeShowTimer_.enabled = false;
    waitNoticeVisible_ = false;
    SetCaption(S::Operation, Text(T::ScanFinished));
    SetCaption(S::CurrentFile, Text(T::ScanFinished));
    // Nothing was looked up because the folders named were excluded: say so where the path stood.
    if (scanned_ == 0 && !excludedStarts_.empty()) {
        SetCaption(S::CurrentFile, Text(T::ReportExcluded) + " " + text::EscapeForDisplay(excludedStarts_.front()));
    }
    stopEnabled_ = false;
    finished_ = clock_();
    ElapsedTick();  // the walk's whole length stays on show
    elapsedTimer_.enabled = false;
    finishedScan_ = true;
    if (stopped_) {
        SetCaption(S::Title, Text(T::ScanStopped));
        SetCaption(S::Operation, Text(T::ScanStopped));
        SetCaption(S::CurrentFile, Text(T::StoppedIn) + " " + stoppedIn_);
    }
}

}  // namespace quellstone::windows
