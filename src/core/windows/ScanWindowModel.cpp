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
    : texts_(texts),
      scan_(scan),
      dialogs_(dialogs),
      clock_(std::move(clock)),
      results_(texts),
      report_(texts, course_, results_, dialogs, files),
      removal_(texts, dialogs, results_) {}

void ScanWindowModel::Load() {
    visible_ = true;
    captions_.Apply(kCaptionEntries, texts_);
    for (const ScanControl counter : {S::Processes, S::Registry, S::Scanned, S::Dangerous, S::Ignored}) {
        SetCaption(counter, "0");
    }
    SetCaption(S::Elapsed, text::ElapsedText(std::chrono::seconds(0)));
    results_.ResetCounters();
    noticeHideTimer_ = {400, true};
    noticeShowTimer_ = {500, false};
    endWatchTimer_ = {10, true};
    stopTimer_ = {10, false};
    elapsedTimer_ = {1000, true};
    waitNoticeVisible_ = true;
    stopEnabled_ = true;
}

void ScanWindowModel::AddLookedUp(std::int64_t count, std::string_view lastPath) {
    // Assigned in place: this runs often during a scan.
    captions_.Assign(S::CurrentFile, lastPath);
    pathShown_ = true;
    results_.CountScanned(count);
    SetCaption(S::Scanned, std::to_string(results_.Scanned()));
}

void ScanWindowModel::ReportUnreadableFolder(std::string_view path, bool isStartFolder) {
    if (!isStartFolder) {
        report_.AddUnreadableFolder(path);
        return;
    }
    report_.AddUnscannedFolder(path);
    if (!nameUnreadableStart_) return;
    dialogs_.ShowMessage(Text(T::FolderNotScanned) + "\r" + text::EscapeForDisplay(path), ports::MessageIcon::Warning,
                         ports::MessageButtons::Ok);
}

void ScanWindowModel::AddDetection(std::string_view detection, std::string_view fullPath) {
    results_.Add(detection, fullPath, start_.Reach(fullPath));
    SetCaption(S::Dangerous, std::to_string(results_.Dangerous()));
}

void ScanWindowModel::AddProcessDetection(std::string_view detection, const ports::RunningProcess& process,
                                          bool byFile) {
    std::string where = process.executable.empty() ? process.name : process.executable;
    if (process.executableDeleted) where += " (deleted)";
    results_.AddProcess(detection, process, byFile,
                        text::FillIn(Text(T::ResultProcess), {std::to_string(process.pid), where}));
    SetCaption(S::Processes, std::to_string(results_.Processes()));
}

void ScanWindowModel::AddAutostartDetection(std::string_view detection, const autostart::AutostartEntry& entry) {
    results_.AddAutostart(
        detection, entry,
        text::FillIn(Text(T::ResultAutostart), {entry.file, std::to_string(entry.line), entry.program}));
    SetCaption(S::Registry, std::to_string(results_.Autostart()));
}

void ScanWindowModel::IgnoreDetection(std::string_view /*detection*/, std::string_view /*fullPath*/) {
    results_.CountIgnored();
    SetCaption(S::Ignored, std::to_string(results_.Ignored()));
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
    if (!course_.ended) course_.stopped = true;
    scan_.stop.request_stop();
}

void ScanWindowModel::ElapsedTick() {
    if (course_.ended) return;
    SetCaption(S::Elapsed,
               text::ElapsedText(std::chrono::duration_cast<std::chrono::seconds>(clock_() - course_.started)));
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
    // Only rows still waiting for a decision would be lost: once each one has
    // been removed or has its reason for staying, the list has done its work.
    if (!results_.AnyUndecided()) return true;
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
    if (!course_.ended || course_.stopped || !visible_ || active_ || results_.Rows().empty()) return std::nullopt;
    std::string folders;
    for (const std::string& folder : report_.ScannedFolders()) {
        if (!folders.empty()) folders += "\r";
        folders += text::EscapeForDisplay(folder);
    }
    return ScanAlert{text::FillIn(Text(T::AlertScanFinished), std::to_string(results_.Rows().size())), folders};
}

void ScanWindowModel::Unload() {
    results_.Clear();
    visible_ = false;
    for (TimerState* timer : {&noticeHideTimer_, &noticeShowTimer_, &endWatchTimer_, &stopTimer_, &elapsedTimer_})
        timer->enabled = false;
}

void ScanWindowModel::BeginScan(std::string firstFolder) {
    start_ = {std::move(firstFolder), std::nullopt};
    course_.started = clock_();
    course_.ended = false;
    course_.stopped = false;
    course_.stoppedIn.clear();
    SetCaption(S::Elapsed, text::ElapsedText(std::chrono::seconds(0)));
}

void ScanWindowModel::Finish() {
    // The last entry the walk looked up; before its first one, the folder it started from.
    if (course_.stopped) course_.stoppedIn = pathShown_ ? Caption(S::CurrentFile) : start_.path;
    noticeHideTimer_.enabled = false;
    noticeShowTimer_.enabled = false;
    waitNoticeVisible_ = false;
    SetCaption(S::Operation, Text(T::ScanFinished));
    SetCaption(S::CurrentFile, Text(T::ScanFinished));
    // Nothing was looked up because the folders named were excluded: say so where the path stood.
    if (report_.NothingLookedUp()) {
        SetCaption(S::CurrentFile,
                   Text(T::ReportExcluded) + " " + text::EscapeForDisplay(report_.ExcludedStarts().front()));
    }
    stopEnabled_ = false;
    course_.finished = clock_();
    ElapsedTick();  // the walk's whole length stays on show
    elapsedTimer_.enabled = false;
    course_.ended = true;
    // The title says where the scan stands, also from the task bar.
    SetCaption(S::Title, Text(course_.stopped ? T::ScanWindowTitleStopped : T::ScanWindowTitleFinished));
    if (course_.stopped) {
        SetCaption(S::Operation, Text(T::ScanStopped));
        SetCaption(S::CurrentFile, Text(T::StoppedIn) + " " + course_.stoppedIn);
    }
}

bool ScanWindowModel::RemoveEnabled() const {
    return course_.ended && removal_.Ready();
}

void ScanWindowModel::RemoveClicked(quarantine::Remover& remover, const MainWindowCounters& counters,
                                    ports::ProcessTable* processes) {
    if (!RemoveEnabled()) return;
    // The rows show their outcome as the pass goes, and stay in view after it.
    removal_.Run(
        remover, counters, [this] { currentTab_ = kTabResults; }, processes);
}

}  // namespace quellstone::windows
