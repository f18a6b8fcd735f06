// The scan window's report tab: what was scanned, found and removed, in the
// chosen language's way of writing numbers and dates.
#include "core/text/DisplayEscape.h"
#include "core/text/LanguageFormat.h"
#include "core/text/TimeText.h"
#include "core/update/Version.h"
#include "core/windows/ScanWindowModel.h"

namespace quellstone::windows {

using T = i18n::TextId;

std::string ScanWindowModel::DateText(std::chrono::system_clock::time_point when) const {
    return text::LocalTimeText(when, text::FormatOf(texts_.Language()).dateTimePattern);
}

std::string ScanWindowModel::ReportText() const {
    const text::LanguageFormat format = text::FormatOf(texts_.Language());
    std::string report = update::ProgramVersionLine() + " - " + Text(T::ReportTitle) + "\n\n";
    report += Text(T::ReportStarted) + " " + DateText(started_) + "\n";
    if (finishedScan_) {
        const double seconds = std::chrono::duration<double>(finished_ - started_).count();
        report += Text(T::ReportFinished) + " " + DateText(finished_) + "\n";
        report += Text(T::ReportDuration) + " " + text::DecimalText(seconds, format) + " s\n";
        if (stopped_) {
            report += Text(T::ScanStopped) + "\n";
            report += Text(T::StoppedIn) + " " + text::EscapeForDisplay(stoppedIn_) + "\n";
        }
    } else {
        report += Text(T::ReportRunning) + "\n";
    }
    report += Text(T::ReportFolders) + "\n";
    for (const std::string& folder : scannedFolders_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    if (!unscannedFolders_.empty()) {
        report += Text(T::ReportNotScanned) + "\n";
        for (const std::string& folder : unscannedFolders_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    }
    if (!excludedStarts_.empty()) {
        report += Text(T::ReportExcluded) + "\n";
        for (const std::string& folder : excludedStarts_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    }
    if (mountsUnknown_) report += Text(T::ReportMountsUnknown) + "\n";
    if (!leftOutFileSystems_.empty()) {
        report += Text(T::ReportLeftOutFileSystems) + "\n";
        for (const std::string& system : leftOutFileSystems_) report += "  " + text::EscapeForDisplay(system) + "\n";
    }
    report += Text(T::ReportScanned) + " " + Caption(ScanControl::Scanned) + "\n";
    if (unreadableFolders_ > 0) report += Text(T::ReportUnreadable) + " " + std::to_string(unreadableFolders_) + "\n";
    report += Text(T::ReportDetections) + " " + std::to_string(rows_.size()) + "\n";
    // "Nothing was found" only when everything named to the scan was read.
    // Nor when the exclusions left nothing to look up.
    const bool nothingLookedUp = scanned_ == 0 && !excludedStarts_.empty();
    if (rows_.empty() && unscannedFolders_.empty() && !nothingLookedUp)
        report += "  " + Text(T::ReportNoDetections) + "\n";
    for (const ResultRow& row : rows_) {
        report += "  " + text::EscapeForDisplay(row.detection) + "  " + text::EscapeForDisplay(row.path) + "\n";
    }
    const auto gone = [](const ResultRow& row) { return row.problem == quarantine::RemovalProblem::Gone; };
    const auto outcome = [&](const auto& belongs, const std::string& heading) {
        std::string lines;
        for (const ResultRow& row : rows_) {
            if (!belongs(row)) continue;
            lines += "  " + text::EscapeForDisplay(row.path);
            if (!row.archive.empty())
                lines += "  (" + Text(T::ReportArchived) + " " + text::EscapeForDisplay(row.archive) + ")";
            if (row.problem != quarantine::RemovalProblem::None && !gone(row))
                lines += "  (" + ProblemText(row.problem) + ")";
            lines += "\n";
        }
        if (!lines.empty()) report += heading + "\n" + lines;
    };
    // A file gone since the scan has its own list: this pass neither removed it nor failed to.
    outcome([&](const ResultRow& row) { return row.image == kImageRemoved && !gone(row); }, Text(T::ReportRemoved));
    outcome(gone, Text(T::StatusAlreadyGone) + ":");
    outcome([](const ResultRow& row) { return row.image == kImageNotRemoved; }, Text(T::ReportNotRemoved));
    return report;
}

bool ScanWindowModel::SaveReportClicked() {
    const std::optional<std::string> path = dialogs_.ChooseSaveFile(Text(T::SaveReportTitle), "quellstone-report.txt");
    if (!path || path->empty()) return false;
    return files_.ReplaceFile(*path, ReportText());
}

}  // namespace quellstone::windows
