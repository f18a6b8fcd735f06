#include "core/windows/ScanReport.h"

#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"
#include "core/text/LanguageFormat.h"
#include "core/text/TimeText.h"
#include "core/update/Version.h"

namespace quellstone::windows {

using T = i18n::TextId;

namespace {

// Unreadable folders named in the report; past them only the number grows.
constexpr std::size_t kMostUnreadableNamed = 100;

}  // namespace

void ScanReport::AddUnreadableFolder(std::string_view folder) {
    ++unreadableFolders_;
    if (unreadableNamed_.size() < kMostUnreadableNamed) unreadableNamed_.emplace_back(folder);
}

std::string ScanReport::ScopeText() const {
    if (!scope_) return {};
    std::string text = Entry(scope_->includeHidden ? T::ReportHiddenIncluded : T::ReportHiddenLeftOut) + "\n";
    if (!scope_->excludedFolders.empty()) {
        text += Entry(T::ReportExcludedFolders) + "\n";
        for (const std::string& folder : scope_->excludedFolders) text += "  " + text::EscapeForDisplay(folder) + "\n";
    }
    std::string categories;
    for (const auto& [reported, name] : {std::pair{scope_->reported.adware, T::CategoryAdware},
                                         std::pair{scope_->reported.lessDangerous, T::CategoryLessDangerous}}) {
        if (reported) continue;
        if (!categories.empty()) categories += ", ";
        categories += Entry(name);
    }
    if (!categories.empty()) {
        text +=
            text::FillIn(Entry(T::ReportCategoriesLeftOut), {categories, std::to_string(results_.Ignored())}) + "\n";
    }
    return text;
}

std::string ScanReport::DateText(std::chrono::system_clock::time_point when) const {
    return text::LocalTimeText(when, text::FormatOf(texts_.Language()).dateTimePattern);
}

std::string ScanReport::Text() const {
    const text::LanguageFormat format = text::FormatOf(texts_.Language());
    std::string report = update::ProgramVersionLine() + " - " + Entry(T::ReportTitle) + "\n\n";
    report += Entry(T::ReportStarted) + " " + DateText(course_.started) + "\n";
    if (course_.ended) {
        const double seconds = std::chrono::duration<double>(course_.finished - course_.started).count();
        report += Entry(T::ReportFinished) + " " + DateText(course_.finished) + "\n";
        report += Entry(T::ReportDuration) + " " + text::DecimalText(seconds, format) + " s\n";
        if (course_.stopped) {
            report += Entry(T::ScanStopped) + "\n";
            report += Entry(T::StoppedIn) + " " + text::EscapeForDisplay(course_.stoppedIn) + "\n";
        }
    } else {
        report += Entry(T::ReportRunning) + "\n";
    }
    report += Entry(T::ReportFolders) + "\n";
    for (const std::string& folder : scannedFolders_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    if (!unscannedFolders_.empty()) {
        report += Entry(T::ReportNotScanned) + "\n";
        for (const std::string& folder : unscannedFolders_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    }
    if (!excludedStarts_.empty()) {
        report += Entry(T::ReportExcluded) + "\n";
        for (const std::string& folder : excludedStarts_) report += "  " + text::EscapeForDisplay(folder) + "\n";
    }
    if (mountsUnknown_) report += Entry(T::ReportMountsUnknown) + "\n";
    for (const auto& [heading, systems] : {std::pair{T::ReportLeftOutFileSystems, &leftOutFileSystems_},
                                           std::pair{T::ReportFileSystemsNotEntered, &notEnteredFileSystems_}}) {
        if (systems->empty()) continue;
        report += Entry(heading) + "\n";
        for (const std::string& system : *systems) report += "  " + text::EscapeForDisplay(system) + "\n";
    }
    report += ScopeText();
    report += Entry(T::ReportScanned) + " " + std::to_string(results_.Scanned()) + "\n";
    if (unreadableFolders_ > 0) {
        report += Entry(T::ReportUnreadable) + " " + std::to_string(unreadableFolders_) + "\n";
        for (const std::string& folder : unreadableNamed_) report += "  " + text::EscapeForDisplay(folder) + "\n";
        const auto unnamed = unreadableFolders_ - static_cast<std::int64_t>(unreadableNamed_.size());
        if (unnamed > 0) report += "  " + text::FillIn(Entry(T::ReportMoreFolders), std::to_string(unnamed)) + "\n";
    }
    const std::vector<ResultRow>& rows = results_.Rows();
    report += Entry(T::ReportDetections) + " " + std::to_string(rows.size()) + "\n";
    // Of them, what is not a file; and what the scan's choices left out.
    // Those left out by the scan frame's boxes were counted with their categories, when the scope is known.
    const bool categoriesCounted = scope_ && (!scope_->reported.adware || !scope_->reported.lessDangerous);
    for (const auto& [count, caption] :
         {std::pair{results_.Processes(), T::DangerousProcessesCaption},
          std::pair{results_.Autostart(), T::DangerousRegistryCaption},
          std::pair{categoriesCounted ? 0 : results_.Ignored(), T::IgnoredObjectsCaption}}) {
        if (count > 0) report += Entry(caption) + " " + std::to_string(count) + "\n";
    }
    // "Nothing was found" only when everything named to the scan was read.
    // Nor when the exclusions left nothing to look up.
    if (rows.empty() && unscannedFolders_.empty() && !NothingLookedUp()) {
        report += "  " + Entry(T::ReportNoDetections) + "\n";
    }
    for (const ResultRow& row : rows) {
        report += "  " + text::EscapeForDisplay(row.detection) + "  " + text::EscapeForDisplay(row.path) + "\n";
    }
    const auto outcome = [&](const auto& belongs, const std::string& heading) {
        std::string lines;
        for (const ResultRow& row : rows) {
            if (!belongs(row)) continue;
            lines += "  " + text::EscapeForDisplay(row.path);
            // A removed link is named with where it pointed, as a listing shows one: its target stayed.
            if (!row.linkTarget.empty()) lines += " -> " + text::EscapeForDisplay(row.linkTarget);
            if (!row.archive.empty())
                lines += "  (" + Entry(T::ReportArchived) + " " + text::EscapeForDisplay(row.archive) + ")";
            if (row.problem != quarantine::RemovalProblem::None && !row.AlreadyGone())
                lines += "  (" + results_.ProblemText(row.problem) + ")";
            lines += "\n";
        }
        if (!lines.empty()) report += heading + "\n" + lines;
    };
    // A file gone since the scan has its own list: this pass neither removed it nor failed to.
    outcome([](const ResultRow& row) { return row.state == ResultState::Removed && !row.AlreadyGone(); },
            Entry(T::ReportRemoved));
    outcome([](const ResultRow& row) { return row.AlreadyGone(); }, Entry(T::StatusAlreadyGone) + ":");
    outcome([](const ResultRow& row) { return row.state == ResultState::NotRemoved; }, Entry(T::ReportNotRemoved));
    return report;
}

bool ScanReport::SaveClicked() {
    const std::optional<std::string> path = dialogs_.ChooseSaveFile(Entry(T::SaveReportTitle), "quellstone-report.txt");
    if (!path || path->empty()) return false;
    return files_.ReplaceFile(*path, Text());
}

}  // namespace quellstone::windows
