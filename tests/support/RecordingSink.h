#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/app/ScanRun.h"
#include "core/ports/EventPump.h"

namespace quellstone::testing {

// A scan's sink that records what the walk and the run report.
class RecordingSink final : public app::ScanRunSink {
public:
    std::vector<std::string> lookedUp;                      // every entry looked up, in order
    std::vector<std::pair<std::string, std::string>> rows;  // detection, full path
    std::vector<std::string> startFolders;
    std::vector<std::pair<std::string, bool>> unreadable;  // path, is a start folder
    std::vector<std::string> excludedStarts;
    std::vector<std::pair<std::string, std::string>> ignored;  // detection, path
    // What the run reported beside the walk, one line each: "missing PATH",
    // "unreadable PATH", "left out POINT (TYPE)", "mounts unknown",
    // "counted N", "folder PATH", "excluded PATH".
    std::vector<std::string> run;
    // Runs after each entry is looked up, to act in the middle of a walk.
    std::function<void(const std::string&)> onPath;

    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity>) override {
        startFolders.emplace_back(path);
    }
    void ReportUnreadableFolder(std::string_view path, bool isStartFolder) override {
        unreadable.emplace_back(path, isStartFolder);
    }
    void ReportExcludedStart(std::string_view path) override { excludedStarts.emplace_back(path); }
    void LookedUp(std::string_view path) override {
        lookedUp.emplace_back(path);
        if (onPath) onPath(lookedUp.back());
    }
    void AddDetection(std::string_view detection, std::string_view path) override {
        rows.emplace_back(detection, path);
    }
    void IgnoreDetection(std::string_view detection, std::string_view path) override {
        ignored.emplace_back(detection, path);
    }
    void PathNotReached(std::string_view path, bool missing, std::string_view) override {
        run.push_back((missing ? "missing " : "unreadable ") + std::string(path));
    }
    void FileSystemLeftOut(const ports::MountedFileSystem& fileSystem) override {
        run.push_back("left out " + fileSystem.mountPoint + " (" + fileSystem.type + ")");
    }
    void FileSystemNotEntered(const ports::MountedFileSystem& fileSystem) override {
        run.push_back("not entered " + fileSystem.mountPoint + " (" + fileSystem.type + ")");
    }
    void MountsUnknown() override { run.emplace_back("mounts unknown"); }
    void ScanCounted(std::int64_t total) override { run.push_back("counted " + std::to_string(total)); }
    void FolderStarted(const scan::ScanTarget& target) override { run.push_back("folder " + target.folder); }
    void FolderDone(const scan::ScanTarget& target, bool excluded) override {
        if (excluded) run.push_back("excluded " + target.folder);
    }
    void ProcessFound(std::string_view detection, const ports::RunningProcess& process, bool /*byFile*/) override {
        rows.emplace_back(detection, "process " + std::to_string(process.pid));
    }
    void AutostartFound(std::string_view detection, const autostart::AutostartEntry& entry) override {
        rows.emplace_back(detection, "autostart " + entry.file + ":" + std::to_string(entry.line));
    }
    void SystemChecked(const app::SystemCheckCounts& counts) override {
        run.push_back("checked " + std::to_string(counts.processes) + " processes (" +
                      std::to_string(counts.processesNotRead) + " not read), " +
                      std::to_string(counts.autostartEntries) + " autostart entries (" +
                      std::to_string(counts.autostartNotRead) + " not read)");
    }
};

// An event pump that counts its calls and runs an optional action.
class CountingPump final : public ports::EventPump {
public:
    int calls = 0;
    std::function<void()> action;
    void ProcessPendingEvents() override {
        ++calls;
        if (action) action();
    }
};

}  // namespace quellstone::testing
