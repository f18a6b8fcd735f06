#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/app/ScanRun.h"
#include "core/ports/Journal.h"
#include "core/quarantine/Remover.h"
#include "core/scan/StartFolder.h"

namespace quellstone::cli {

// One detection kept for the removal after the walk.
struct DetectedFile {
    enum class Kind { File, Process, AutostartFile, AutostartLine };
    std::string path;  // as the output names it
    std::string detection;
    ports::ReachablePath location;  // how removal reaches the file from its start folder
    Kind kind = Kind::File;
    ports::RunningProcess process{};             // of a process
    autostart::AutostartEntry autostartEntry{};  // of an autostart entry
    bool removesFile = true;                     // a process's file goes once it has ended (scan::RemovesFileOf)
};

// The scan window of the command line: detections are written as they are
// found, in detection order, and a summary at the end; what the scan could
// not reach or left out is said on `err` as well. Every line is flushed as
// it is written, so what was reported survives a program ended at once.
// Sent to a journal as well, each detection is a structured entry too, and
// the end of the scan one more.
class ScanOutput : public app::ScanRunSink {
public:
    enum class Format { Text, JsonLines };

    // The MESSAGE_ID of a detection's journal entry and of the scan's last
    // one; published for administrators to select them by: never changed.
    static constexpr std::string_view kDetectionMessageId = "0fcf22c0f76e4514b560f1f716444807";
    static constexpr std::string_view kSummaryMessageId = "c3ce1da19b1a48eca3b063c8aaed5854";

    ScanOutput(std::ostream& out, std::ostream& err, Format format) : out_(out), err_(err), format_(format) {}

    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) override {
        start_ = {std::string(path), identity};
    }
    void ReportUnreadableFolder(std::string_view path, bool isStartFolder) override;
    void ReportExcludedStart(std::string_view path) override { excludedStarts_.emplace_back(path); }
    void LookedUp(std::string_view) override { ++scanned_; }
    void IgnoreDetection(std::string_view, std::string_view) override { ++ignored_; }
    void AddDetection(std::string_view detection, std::string_view fullPath) override;

    // A PATH that could not be reached at all (`missing`: nothing is there),
    // found before the walk: named on `err`, a record in JSON, counted in the summary.
    void PathNotReached(std::string_view path, bool missing, std::string_view reason) override;
    void FileSystemLeftOut(const ports::MountedFileSystem& fileSystem) override;
    void FileSystemNotEntered(const ports::MountedFileSystem& fileSystem) override;
    void MountsUnknown() override;
    void ScanCounted(std::int64_t) override {}
    void FolderStarted(const scan::ScanTarget&) override {}
    void FolderDone(const scan::ScanTarget&, bool) override {}
    void ProcessFound(std::string_view detection, const ports::RunningProcess& process, bool byFile) override;
    void AutostartFound(std::string_view detection, const autostart::AutostartEntry& entry) override;
    void SystemChecked(const app::SystemCheckCounts& counts) override;

    // Sends each detection to `journal` too, and JournalSummary the scan's end.
    void SendToJournal(ports::Journal& journal) { journal_ = &journal; }
    // The scan's last journal entry, with its counts and `exitStatus`.
    void JournalSummary(int exitStatus);

    // Keeps the detections for a removal after the walk.
    void KeepDetectedPaths() { keepPaths_ = true; }
    [[nodiscard]] const std::vector<DetectedFile>& DetectedFiles() const { return detected_; }
    // The start folders that could not be read at all, as shown.
    [[nodiscard]] const std::vector<std::string>& UnscannedFolders() const { return unscanned_; }
    // The first kNamedUnreadable folders inside the walk that could not be
    // read, and how many more there were.
    static constexpr std::size_t kNamedUnreadable = 100;
    [[nodiscard]] const std::vector<std::string>& UnreadableInside() const { return unreadableInside_; }
    [[nodiscard]] std::uint64_t UnnamedUnreadable() const {
        return unreadable_ - unscanned_.size() - unreadableInside_.size();
    }
    // The PATHs that could not be reached before the walk, as shown.
    [[nodiscard]] const std::vector<std::string>& UnreachedPaths() const { return unreached_; }
    // The PATHs left out because an exclusion covers them, as shown.
    [[nodiscard]] const std::vector<std::string>& ExcludedStarts() const { return excludedStarts_; }

    // The outcome of removing a detection (scan --remove).
    // `reason`, when given, says why in place of the removal's own problem.
    void AddRemoval(std::string_view fullPath, const quarantine::Removal& removal, std::string_view reason = {});

    void WriteSummary(double seconds);

    [[nodiscard]] std::uint64_t Scanned() const { return scanned_; }
    [[nodiscard]] std::uint64_t Detections() const { return detections_; }
    // Detections that are still there (NOT REMOVED).
    [[nodiscard]] std::uint64_t RemovalsFailed() const { return notRemoved_; }

private:
    void WriteLine();
    // One detection's line: `shown` is what the text names, `fields` the JSON's members before "detection".
    // `entry`: the journal fields that tell its kind (QUELLSTONE_KIND and what belongs to it).
    void WriteDetection(std::string_view shown, std::string_view fields, std::string_view detection,
                        ports::JournalFields entry);
    void SendEntry(const ports::JournalFields& entry);

    std::ostream& out_;
    std::ostream& err_;
    Format format_;
    ports::Journal* journal_ = nullptr;
    bool journalRefused_ = false;
    std::optional<double> seconds_;  // the time WriteSummary gave
    std::string line_;
    std::uint64_t scanned_ = 0;
    std::uint64_t detections_ = 0;
    std::uint64_t ignored_ = 0;  // named, in a category left out
    std::uint64_t removed_ = 0;
    std::uint64_t notRemoved_ = 0;
    std::uint64_t unreadable_ = 0;  // folders not read (whole or in part), start folders included
    std::optional<app::SystemCheckCounts> systemCounts_;
    bool removing_ = false;
    bool keepPaths_ = false;
    scan::StartFolder start_;
    std::vector<DetectedFile> detected_;
    std::vector<std::string> unscanned_;
    std::vector<std::string> unreadableInside_;
    std::vector<std::string> unreached_;
    std::vector<std::string> excludedStarts_;
};

}  // namespace quellstone::cli
