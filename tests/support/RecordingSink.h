#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/ports/EventPump.h"
#include "core/scan/ScanSink.h"

namespace quellstone::testing {

// A scan window that records what the walk shows.
class RecordingSink final : public scan::ScanSink {
public:
    bool shown = true;
    bool discarded = false;
    std::vector<std::string> lookedUp;                      // every path shown as the current one
    std::vector<std::pair<std::string, std::string>> rows;  // detection, full path
    int scanned = 0;
    std::vector<std::string> startFolders;
    std::vector<std::pair<std::string, bool>> unreadable;  // path, is a start folder
    std::vector<std::string> excludedStarts;
    // Runs after each path is shown, to act in the middle of a walk.
    std::function<void(const std::string&)> onPath;

    [[nodiscard]] bool IsShown() const override { return shown; }
    void Discard() override { discarded = true; }
    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity>) override {
        startFolders.emplace_back(path);
    }
    void ReportUnreadableFolder(std::string_view path, bool isStartFolder) override {
        unreadable.emplace_back(path, isStartFolder);
    }
    void ReportExcludedStart(std::string_view path) override { excludedStarts.emplace_back(path); }
    void ShowCurrentPath(std::string_view path) override {
        lookedUp.emplace_back(path);
        if (onPath) onPath(lookedUp.back());
    }
    void AdvanceScannedCount() override { ++scanned; }
    void AddDetection(std::string_view detection, std::string_view path) override {
        rows.emplace_back(detection, path);
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
