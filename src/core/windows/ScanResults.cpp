#include "core/windows/ScanResults.h"

#include <algorithm>

#include "core/scan/ProcessFile.h"
#include "core/text/FillIn.h"

namespace quellstone::windows {

using T = i18n::TextId;
using quarantine::RemovalProblem;

void ScanResults::AddRow(std::string_view detection, std::string shown, ports::ReachablePath location, ResultKind kind,
                         const ports::RunningProcess& process) {
    ResultRow row{std::string(detection), std::move(shown), true, ResultState::Detected, {}, std::move(location)};
    row.kind = kind;
    row.process = process;
    rows_.push_back(std::move(row));
}

void ScanResults::Add(std::string_view detection, std::string_view fullPath, ports::ReachablePath location) {
    AddRow(detection, std::string(fullPath), std::move(location), ResultKind::File, {});
    ++dangerous_;
}

void ScanResults::AddProcess(std::string_view detection, const ports::RunningProcess& process, bool byFile,
                             std::string shown) {
    AddRow(detection, std::move(shown), ports::ReachablePath::FromRoot(process.executable), ResultKind::Process,
           process);
    rows_.back().removesFile = scan::RemovesFileOf(process, byFile);
    ++processes_;
}

void ScanResults::AddAutostart(std::string_view detection, const autostart::AutostartEntry& entry, std::string shown) {
    AddRow(detection, std::move(shown), ports::ReachablePath::FromRoot(entry.file),
           entry.wholeFile ? ResultKind::AutostartFile : ResultKind::AutostartLine, {});
    ++autostart_;
}

void ScanResults::SetChecked(std::size_t row, bool checked) {
    if (row < rows_.size()) rows_[row].checked = checked;
}

void ScanResults::SetOutcome(std::size_t row, ResultState state, RemovalProblem problem, std::string archive,
                             std::string linkTarget) {
    if (row >= rows_.size()) return;
    rows_[row].state = state;
    rows_[row].problem = problem;
    rows_[row].archive = std::move(archive);
    rows_[row].linkTarget = std::move(linkTarget);
}

bool ScanResults::AnyWaiting() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const ResultRow& row) { return row.Waiting(); });
}

bool ScanResults::AnyUndecided() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const ResultRow& row) { return !row.Decided(); });
}

std::string ScanResults::ProblemText(RemovalProblem problem) const {
    switch (problem) {
        case RemovalProblem::None: break;
        case RemovalProblem::Folder: return texts_.Text(T::ProblemFolder);
        case RemovalProblem::NoPermission: return texts_.Text(T::ProblemNoPermission);
        case RemovalProblem::SymbolicLink: return texts_.Text(T::ProblemSymbolicLink);
        case RemovalProblem::NotRegularFile: return texts_.Text(T::ProblemNotRegularFile);
        case RemovalProblem::NoSpace: return texts_.Text(T::ProblemNoSpace);
        case RemovalProblem::CopyFailed: return texts_.Text(T::ProblemCopyFailed);
        case RemovalProblem::Gone: return texts_.Text(T::ProblemGone);
        case RemovalProblem::Changed: return texts_.Text(T::ProblemChanged);
        case RemovalProblem::SharedFile: return texts_.Text(T::ProblemSharedFile);
        case RemovalProblem::ProcessRunning: return texts_.Text(T::ProblemProcessRunning);
        case RemovalProblem::ProcessNotEnded: return texts_.Text(T::ProblemProcessNotEnded);
    }
    return {};
}

std::string ScanResults::StatusText(const ResultRow& row) const {
    // A copy made before the file vanished is in the quarantine like any other.
    if (row.AlreadyGone()) return texts_.Text(row.archive.empty() ? T::StatusAlreadyGone : T::StatusKept);
    if (row.problem != RemovalProblem::None) {
        return text::FillIn(texts_.Text(T::StatusNotRemoved), ProblemText(row.problem));
    }
    switch (row.state) {
        case ResultState::Removed:
            if (!row.linkTarget.empty()) {
                return text::FillIn(texts_.Text(row.archive.empty() ? T::StatusLinkRemoved : T::StatusLinkKept),
                                    row.linkTarget);
            }
            return texts_.Text(row.archive.empty() ? T::StatusRemoved : T::StatusKept);
        case ResultState::NotRemoved:
            return text::FillIn(texts_.Text(T::StatusNotRemoved), ProblemText(RemovalProblem::None));
        case ResultState::Detected: break;
    }
    return texts_.Text(T::StatusDetected);
}

}  // namespace quellstone::windows
