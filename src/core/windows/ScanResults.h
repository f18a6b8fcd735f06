#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/autostart/AutostartReader.h"
#include "core/i18n/LanguageTable.h"
#include "core/ports/FileOperations.h"
#include "core/ports/ProcessTable.h"
#include "core/quarantine/Remover.h"

namespace quellstone::windows {

// Where a result row's file stands: as the walk found it, or what a removal
// pass made of it. A removed file whose copy was kept is Removed with an
// archive; one gone since the scan is Removed with the problem Gone.
enum class ResultState { Detected, Removed, NotRemoved };

// What a row stands for: a file or folder the walk found, a running process,
// or a program that starts by itself, named in a file of its own (removed
// like any file) or on a line of a file other entries share (never edited).
enum class ResultKind { File, Process, AutostartFile, AutostartLine };

// One row of the result list.
struct ResultRow {
    std::string detection;  // the upper-cased detection name
    std::string path;       // the detected entry's full path (bytes)
    bool checked = true;
    ResultState state = ResultState::Detected;
    std::string archive;            // the quarantine archive written for it, if any
    ports::ReachablePath location;  // how removal reaches it from the scan's start folder
    quarantine::RemovalProblem problem = quarantine::RemovalProblem::None;  // why the removal left it
    ResultKind kind = ResultKind::File;
    ports::RunningProcess process{};  // of a process: `location` then reaches the file it runs
    bool removesFile = true;          // of a process: its file goes once it has ended
    std::string linkTarget{};         // a removed symbolic link's target text (bytes); its target was left alone

    // Ticked and still detected: the next removal pass handles it.
    [[nodiscard]] bool Waiting() const { return checked && state == ResultState::Detected; }
    // Gone since the scan: nothing of the user's is left there and nothing was
    // lost, so the row is neither removed by a pass nor a failure.
    [[nodiscard]] bool AlreadyGone() const { return problem == quarantine::RemovalProblem::Gone; }
    // A removal pass has decided it: removed, or not removed for a reason.
    [[nodiscard]] bool Decided() const { return state != ResultState::Detected; }
};

// The scan window's result list: a row per detection with its tick box and
// state, and the counters of entries looked up and of detections.
class ScanResults {
public:
    explicit ScanResults(const i18n::LanguageTable& texts) : texts_(texts) {}

    [[nodiscard]] const std::vector<ResultRow>& Rows() const { return rows_; }
    // A ticked, detected row; raises the detections counter.
    void Add(std::string_view detection, std::string_view fullPath, ports::ReachablePath location);
    // A process or an autostart entry, shown as `shown`; raises its own counter.
    void AddProcess(std::string_view detection, const ports::RunningProcess& process, bool byFile, std::string shown);
    void AddAutostart(std::string_view detection, const autostart::AutostartEntry& entry, std::string shown);
    void SetChecked(std::size_t row, bool checked);
    // What a removal pass made of a row's file; `linkTarget` when it was a symbolic link.
    void SetOutcome(std::size_t row, ResultState state, quarantine::RemovalProblem problem, std::string archive,
                    std::string linkTarget = {});
    // Whether a ticked row is still detected.
    [[nodiscard]] bool AnyWaiting() const;
    // Whether a row, ticked or not, has not been through a removal pass yet.
    [[nodiscard]] bool AnyUndecided() const;
    // Drops every row; the counters stay.
    void Clear() { rows_.clear(); }

    // Kept as numbers: they rise once per entry of a walk, and the window
    // writes them out instead of parsing them back from its captions.
    void CountScanned(std::int64_t count = 1) { scanned_ += count; }
    [[nodiscard]] std::int64_t Scanned() const { return scanned_; }
    [[nodiscard]] std::int64_t Dangerous() const { return dangerous_; }
    [[nodiscard]] std::int64_t Processes() const { return processes_; }
    [[nodiscard]] std::int64_t Autostart() const { return autostart_; }
    // Named in the database, in a category the scan left out.
    void CountIgnored() { ++ignored_; }
    [[nodiscard]] std::int64_t Ignored() const { return ignored_; }
    void ResetCounters() { scanned_ = dangerous_ = processes_ = autostart_ = ignored_ = 0; }

    // A row's outcome in words: "Detected", "Removed", "Kept in quarantine", "Not removed: why";
    // a removed link says it was one, where it pointed, and that its target was left alone.
    [[nodiscard]] std::string StatusText(const ResultRow& row) const;
    // Why a removal left a file, in words.
    [[nodiscard]] std::string ProblemText(quarantine::RemovalProblem problem) const;

private:
    void AddRow(std::string_view detection, std::string shown, ports::ReachablePath location, ResultKind kind,
                const ports::RunningProcess& process);

    const i18n::LanguageTable& texts_;
    std::vector<ResultRow> rows_;
    std::int64_t scanned_ = 0;
    std::int64_t dangerous_ = 0;
    std::int64_t processes_ = 0;
    std::int64_t autostart_ = 0;
    std::int64_t ignored_ = 0;
};

}  // namespace quellstone::windows
