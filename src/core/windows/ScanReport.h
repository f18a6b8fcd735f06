#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/FileStore.h"
#include "core/scan/DetectionCategory.h"
#include "core/windows/ScanResults.h"

namespace quellstone::windows {

// A scan's course as its window saw it.
struct ScanCourse {
    std::chrono::system_clock::time_point started{};
    std::chrono::system_clock::time_point finished{};
    bool ended = false;     // the launcher's finishing step has run
    bool stopped = false;   // the stop button ended the walk
    std::string stoppedIn;  // the last path the stopped walk looked up
};

// What a scan was told to leave out as it started: the stored choices and the
// scan frame's boxes.
struct ScanScope {
    bool includeHidden = true;
    std::vector<std::string> excludedFolders;  // as stored, in their order
    scan::ReportedCategories reported;
};

// The scan window's report: what was scanned, left out, found and removed,
// in the chosen language's way of writing numbers and dates.
class ScanReport {
public:
    ScanReport(const i18n::LanguageTable& texts, const ScanCourse& course, const ScanResults& results,
               ports::Dialogs& dialogs, ports::FileStore& files)
        : texts_(texts), course_(course), results_(results), dialogs_(dialogs), files_(files) {}

    // What the walk and the launcher note for it.
    void AddScannedFolder(std::string folder) { scannedFolders_.push_back(std::move(folder)); }
    // A start folder that could not be read: nothing of it was scanned.
    void AddUnscannedFolder(std::string_view folder) { unscannedFolders_.emplace_back(folder); }
    // A start folder left out by an exclusion.
    void AddExcludedStart(std::string_view folder) { excludedStarts_.emplace_back(folder); }
    // A file system the scan leaves out ("mount point (type)").
    void AddLeftOutFileSystem(std::string fileSystem) { leftOutFileSystems_.push_back(std::move(fileSystem)); }
    // A file system mounted inside a folder walked, not entered ("mount point (type)").
    void AddFileSystemNotEntered(std::string fileSystem) { notEnteredFileSystems_.push_back(std::move(fileSystem)); }
    // The mount table could not be read: only the root was walked.
    void NoteMountsUnknown() { mountsUnknown_ = true; }
    // A folder inside the scanned trees that could not be read: counted, and
    // named while the list is short enough to read.
    void AddUnreadableFolder(std::string_view folder);
    // What the scan was told to leave out; a report without it says nothing of that.
    void SetScope(ScanScope scope) { scope_ = std::move(scope); }

    [[nodiscard]] const std::vector<std::string>& ScannedFolders() const { return scannedFolders_; }
    [[nodiscard]] const std::vector<std::string>& ExcludedStarts() const { return excludedStarts_; }
    // Nothing was looked up because the folders named were excluded.
    [[nodiscard]] bool NothingLookedUp() const { return results_.Scanned() == 0 && !excludedStarts_.empty(); }

    [[nodiscard]] std::string Text() const;
    // Asks for a file name and writes the report; false when nothing was written.
    bool SaveClicked();

private:
    [[nodiscard]] std::string DateText(std::chrono::system_clock::time_point when) const;
    // What the scan's choices left out: hidden entries, excluded folders, categories not reported.
    [[nodiscard]] std::string ScopeText() const;
    [[nodiscard]] const std::string& Entry(i18n::TextId id) const { return texts_.Text(id); }

    const i18n::LanguageTable& texts_;
    const ScanCourse& course_;
    const ScanResults& results_;
    ports::Dialogs& dialogs_;
    ports::FileStore& files_;
    std::vector<std::string> scannedFolders_;
    std::vector<std::string> unscannedFolders_;
    std::vector<std::string> excludedStarts_;
    std::vector<std::string> leftOutFileSystems_;     // network and FUSE file systems not walked
    std::vector<std::string> notEnteredFileSystems_;  // mounted inside the folders walked
    bool mountsUnknown_ = false;
    std::int64_t unreadableFolders_ = 0;
    std::vector<std::string> unreadableNamed_;  // the first of them
    std::optional<ScanScope> scope_;
};

}  // namespace quellstone::windows
