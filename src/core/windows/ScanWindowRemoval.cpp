// The scan window's removal pass: the question before it, the rows'
// outcomes as it goes, and the account of what it did.
#include <algorithm>
#include <map>
#include <set>

#include "core/text/FillIn.h"
#include "core/windows/ScanWindowModel.h"

namespace quellstone::windows {

using T = i18n::TextId;
using quarantine::RemovalProblem;

namespace {

// What the report title says once a removal pass has run.
constexpr std::string_view kResultMark = "NAPRAWIONY";

bool Waiting(const ResultRow& row) {
    return row.checked && row.image == kImageDetected;
}

// Gone since the scan: nothing of the user's is left there and nothing was
// lost, so the row is neither removed by this pass nor a failure.
bool AlreadyGone(const ResultRow& row) {
    return row.problem == RemovalProblem::Gone;
}

}  // namespace

std::string ScanWindowModel::ProblemText(RemovalProblem problem) const {
    switch (problem) {
        case RemovalProblem::None: break;
        case RemovalProblem::Folder: return Text(T::ProblemFolder);
        case RemovalProblem::NoPermission: return Text(T::ProblemNoPermission);
        case RemovalProblem::SymbolicLink: return Text(T::ProblemSymbolicLink);
        case RemovalProblem::NotRegularFile: return Text(T::ProblemNotRegularFile);
        case RemovalProblem::NoSpace: return Text(T::ProblemNoSpace);
        case RemovalProblem::CopyFailed: return Text(T::ProblemCopyFailed);
        case RemovalProblem::Gone: return Text(T::ProblemGone);
        case RemovalProblem::Changed: return Text(T::ProblemChanged);
    }
    return {};
}

std::string ScanWindowModel::StatusText(const ResultRow& row) const {
    // A copy made before the file vanished is in the quarantine like any other.
    if (AlreadyGone(row)) return Text(row.archive.empty() ? T::StatusAlreadyGone : T::StatusKept);
    if (row.problem != RemovalProblem::None) return text::FillIn(Text(T::StatusNotRemoved), ProblemText(row.problem));
    switch (row.image) {
        case kImageRemoved: return Text(row.archive.empty() ? T::StatusRemoved : T::StatusKept);
        case kImageNotRemoved: return text::FillIn(Text(T::StatusNotRemoved), ProblemText(RemovalProblem::None));
        default: return Text(T::StatusDetected);
    }
}

bool ScanWindowModel::RemoveEnabled() const {
    if (!finishedScan_ || removing_) return false;
    return std::any_of(rows_.begin(), rows_.end(), Waiting);
}

bool ScanWindowModel::ConfirmRemoval(quarantine::Remover& remover) {
    // A file the walk found twice ("/opt/" and then "/") is one file to the user.
    std::set<std::string_view> files;
    for (const ResultRow& row : rows_) {
        if (Waiting(row)) files.insert(row.path);
    }
    const T question = remover.QuarantineOn() ? T::RemoveQuestionKeepCopies : T::RemoveQuestionDelete;
    return dialogs_.ShowMessage(text::FillIn(Text(question), std::to_string(files.size())),
                                ports::MessageIcon::Question, ports::MessageButtons::YesNo,
                                ports::MessageAnswer::No) == ports::MessageAnswer::Yes;
}

std::string ScanWindowModel::RemovalSummary(const std::vector<std::size_t>& handled) const {
    std::int64_t removed = 0;
    std::int64_t kept = 0;
    std::int64_t gone = 0;
    std::map<RemovalProblem, std::int64_t> problems;
    for (const std::size_t index : handled) {
        const ResultRow& row = rows_[index];
        if (!row.archive.empty()) ++kept;
        if (AlreadyGone(row)) {
            ++gone;
        } else if (row.problem != RemovalProblem::None) {
            ++problems[row.problem];
        } else if (row.image == kImageRemoved) {
            ++removed;
        }
    }
    std::string summary = Text(T::RemovalDone) + "\r" + Text(T::ReportRemoved) + " " + std::to_string(removed);
    if (kept > 0) summary += "\r" + Text(T::RemovalKeptCount) + " " + std::to_string(kept);
    if (gone > 0) summary += "\r" + Text(T::StatusAlreadyGone) + ": " + std::to_string(gone);
    if (problems.empty()) return summary;
    std::int64_t notRemoved = 0;
    std::string reasons;
    for (const auto& [problem, count] : problems) {
        notRemoved += count;
        reasons += "\r    " + ProblemText(problem) + ": " + std::to_string(count);
    }
    return summary + "\r" + Text(T::ReportNotRemoved) + " " + std::to_string(notRemoved) + reasons;
}

void ScanWindowModel::RemoveClicked(quarantine::Remover& remover, const MainWindowCounters& counters) {
    if (!RemoveEnabled()) return;
    const scan::RaisedWhileAlive pass(removing_);
    if (!ConfirmRemoval(remover)) return;
    currentTab_ = kTabResults;  // the rows show their outcome as the pass goes
    mark_ = kResultMark;
    // A whole-computer scan walks "/opt/" and then "/": a file found twice is removed once.
    std::map<std::string, std::size_t> handled;  // path -> the row that removed it
    std::vector<std::size_t> files;              // the rows this pass handled, each file once
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        ResultRow& row = rows_[i];
        if (!Waiting(row)) continue;
        if (const auto first = handled.find(row.path); first != handled.end()) {
            row.image = rows_[first->second].image;
            row.problem = rows_[first->second].problem;
            row.archive = rows_[first->second].archive;  // the one copy of the one file
            continue;
        }
        handled.emplace(row.path, i);
        files.push_back(i);
        const quarantine::Removal removal = remover.Remove(row.location, row.detection);
        row.problem = removal.problem;
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
    dialogs_.ShowMessage(RemovalSummary(files), ports::MessageIcon::Information, ports::MessageButtons::Ok);
    currentTab_ = kTabReport;  // then what was removed
}

}  // namespace quellstone::windows
