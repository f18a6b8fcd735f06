#include "core/windows/RemovalPass.h"

#include <chrono>
#include <map>
#include <set>

#include "core/scan/ScanState.h"
#include "core/text/FillIn.h"

namespace quellstone::windows {

using T = i18n::TextId;
using quarantine::RemovalProblem;

namespace {

// What the report title says once a removal pass has run.
constexpr std::string_view kResultMark = "NAPRAWIONY";

}  // namespace

bool RemovalPass::Ready() const {
    return !running_ && results_.AnyWaiting();
}

bool RemovalPass::Confirm(quarantine::Remover& remover) {
    // A file the walk found twice ("/opt/" and then "/") is one file to the user.
    std::set<std::string_view> files;
    for (const ResultRow& row : results_.Rows()) {
        if (row.Waiting()) files.insert(row.path);
    }
    const T question = remover.QuarantineOn() ? T::RemoveQuestionKeepCopies : T::RemoveQuestionDelete;
    return dialogs_.ShowMessage(text::FillIn(Text(question), std::to_string(files.size())),
                                ports::MessageIcon::Question, ports::MessageButtons::YesNo,
                                ports::MessageAnswer::No) == ports::MessageAnswer::Yes;
}

std::string RemovalPass::Summary(const std::vector<std::size_t>& handled) const {
    std::int64_t removed = 0;
    std::int64_t kept = 0;
    std::int64_t gone = 0;
    std::map<RemovalProblem, std::int64_t> problems;
    for (const std::size_t index : handled) {
        const ResultRow& row = results_.Rows()[index];
        if (!row.archive.empty()) ++kept;
        if (row.AlreadyGone()) {
            ++gone;
        } else if (row.problem != RemovalProblem::None) {
            ++problems[row.problem];
        } else if (row.state == ResultState::Removed) {
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
        reasons += "\r    " + results_.ProblemText(problem) + ": " + std::to_string(count);
    }
    return summary + "\r" + Text(T::ReportNotRemoved) + " " + std::to_string(notRemoved) + reasons;
}

RemovalProblem RemovalPass::EndProcess(const ResultRow& row, ports::ProcessTable* processes) {
    // How long a process asked to end may take before it is ended by force.
    constexpr std::chrono::milliseconds kGrace(2000);
    std::string where = row.process.executable.empty() ? row.process.name : row.process.executable;
    const std::string question =
        text::FillIn(Text(T::EndProcessQuestion), {std::to_string(row.process.pid), where, row.detection});
    if (!processes || dialogs_.ShowMessage(question, ports::MessageIcon::Question, ports::MessageButtons::YesNo,
                                           ports::MessageAnswer::No) != ports::MessageAnswer::Yes) {
        return RemovalProblem::ProcessRunning;
    }
    const ports::StopOutcome outcome = processes->Stop(row.process, kGrace);
    const bool ended = outcome == ports::StopOutcome::Stopped || outcome == ports::StopOutcome::AlreadyGone;
    return ended ? RemovalProblem::None : RemovalProblem::ProcessNotEnded;
}

bool RemovalPass::Run(quarantine::Remover& remover, const MainWindowCounters& counters,
                      const std::function<void()>& begin, ports::ProcessTable* processes) {
    if (!Ready()) return false;
    const scan::RaisedWhileAlive pass(running_);
    if (!Confirm(remover)) return false;
    if (begin) begin();
    mark_ = kResultMark;
    // A whole-computer scan walks "/opt/" and then "/": a file found twice is removed once.
    std::map<std::string, std::size_t> handled;  // path -> the row that removed it
    std::vector<std::size_t> files;              // the rows this pass handled, each file once
    const std::vector<ResultRow>& rows = results_.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        if (!row.Waiting()) continue;
        if (const auto first = handled.find(row.path); first != handled.end()) {
            const ResultRow& removedBy = rows[first->second];
            // The one copy of the one file.
            results_.SetOutcome(i, removedBy.state, removedBy.problem, removedBy.archive, removedBy.linkTarget);
            continue;
        }
        handled.emplace(row.path, i);
        files.push_back(i);
        if (row.kind == ResultKind::AutostartLine) {
            results_.SetOutcome(i, ResultState::NotRemoved, RemovalProblem::SharedFile, {});
            continue;
        }
        if (row.kind == ResultKind::Process) {
            if (const RemovalProblem left = EndProcess(row, processes); left != RemovalProblem::None) {
                results_.SetOutcome(i, ResultState::NotRemoved, left, {});
                continue;
            }
            // Ended. Its file goes too, when that file named it and is still there to remove.
            if (!row.removesFile) {
                results_.SetOutcome(i, ResultState::Removed, RemovalProblem::None, {});
                continue;
            }
        }
        const quarantine::Removal removal = remover.Remove(row.location, row.detection);
        // Counted once the copy is complete, so the number is the files really kept.
        if (removal.archive && counters.raiseQuarantined) counters.raiseQuarantined();
        results_.SetOutcome(i, removal.Gone() ? ResultState::Removed : ResultState::NotRemoved, removal.problem,
                            removal.archive.value_or(std::string()), removal.linkTarget.value_or(std::string()));
        // Only what this pass deleted is counted; a file already gone was counted by whoever removed it.
        if (removal.outcome != quarantine::RemovalOutcome::Removed) continue;
        const std::int64_t total = remover.CountRemoved();
        if (counters.showRemovedTotal) counters.showRemovedTotal(total);
    }
    dialogs_.ShowMessage(Summary(files), ports::MessageIcon::Information, ports::MessageButtons::Ok);
    return true;
}

}  // namespace quellstone::windows
