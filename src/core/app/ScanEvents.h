#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/app/ScanRun.h"

namespace quellstone::app {

// One thing a running scan reported, kept to be shown on the window's thread.
struct ScanEvent {
    enum class Kind : std::uint8_t {
        StartFolder,           // path, identity
        UnreadableFolder,      // path, flag: a start folder
        ExcludedStart,         // path
        LookedUp,              // number: how many entries, path: the last of them
        Detection,             // text: the detection, path
        Ignored,               // text: the detection, path
        PathNotReached,        // path, flag: missing, text: the reason
        FileSystemLeftOut,     // path: the mount point, text: its type
        FileSystemNotEntered,  // path: the mount point, text: its type
        MountsUnknown,
        Counted,        // number: the scans counted so far
        FolderStarted,  // target
        FolderDone,     // target, flag: excluded
        Process,        // text: the detection, process, flag: named by the file it runs
        Autostart,      // text: the detection, entry
        SystemChecked,  // (counted only by the command line)
    };
    Kind kind = Kind::MountsUnknown;
    std::string path{};
    std::string text{};
    std::optional<ports::FolderIdentity> identity{};
    bool flag = false;
    std::int64_t number = 0;
    scan::ScanTarget target{};
    ports::RunningProcess process{};
    autostart::AutostartEntry entry{};
};

// The sink of a scan that runs on a thread of its own: it keeps what the
// scan reports, in order, until the window's thread takes it. Entries looked
// up one after another are kept as one count and the last path, so a scan
// of a million entries hands over a handful of events.
class ScanEvents final : public ScanRunSink {
public:
    // Everything reported since the last call, in order.
    std::vector<ScanEvent> Take();

    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) override;
    void ReportUnreadableFolder(std::string_view path, bool isStartFolder) override;
    void ReportExcludedStart(std::string_view path) override;
    void LookedUp(std::string_view fullPath) override;
    void AddDetection(std::string_view detection, std::string_view fullPath) override;
    void IgnoreDetection(std::string_view detection, std::string_view fullPath) override;
    void PathNotReached(std::string_view path, bool missing, std::string_view reason) override;
    void FileSystemLeftOut(const ports::MountedFileSystem& fileSystem) override;
    void FileSystemNotEntered(const ports::MountedFileSystem& fileSystem) override;
    void MountsUnknown() override;
    void ScanCounted(std::int64_t totalScans) override;
    void FolderStarted(const scan::ScanTarget& target) override;
    void FolderDone(const scan::ScanTarget& target, bool excluded) override;
    void ProcessFound(std::string_view detection, const ports::RunningProcess& process, bool byFile) override;
    void AutostartFound(std::string_view detection, const autostart::AutostartEntry& entry) override;
    void SystemChecked(const SystemCheckCounts&) override {}

private:
    void Add(ScanEvent event);

    std::mutex mutex_;
    std::vector<ScanEvent> events_;
};

}  // namespace quellstone::app
