#pragma once

#include <optional>
#include <string_view>

#include "core/ports/DirectoryTree.h"

namespace quellstone::scan {

// Where a walk reports what the scan window shows: the path being looked up,
// the scanned-objects count, and a result row per detection (which also
// raises the dangerous-objects count). The scan window and the command line
// both implement it, so both consume the same walk.
class ScanSink {
public:
    virtual ~ScanSink() = default;

    // Whether the scan window is shown; a walk only runs while it is.
    [[nodiscard]] virtual bool IsShown() const = 0;
    // Discards the scan window (called when a walk is asked for while it is not shown).
    virtual void Discard() = 0;

    // A walk starts in the folder `path` (as the walk names it: "" is the
    // root), which it opened as the folder `identity` (nullopt when it could
    // not be opened). Detections that follow lie below it.
    virtual void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) = 0;
    // A folder that could not be opened or not be listed to its end. For a
    // walk's start folder (`isStartFolder`), nothing of it was scanned.
    virtual void ReportUnreadableFolder(std::string_view path, bool isStartFolder) = 0;
    // A walk's start folder (or a file named to the scan) that is an excluded
    // folder or lies in one: nothing of it was scanned.
    virtual void ReportExcludedStart(std::string_view path) = 0;

    virtual void ShowCurrentPath(std::string_view fullPath) = 0;
    virtual void AdvanceScannedCount() = 0;
    // A ticked result row: detection name (upper-cased) and full path.
    virtual void AddDetection(std::string_view detection, std::string_view fullPath) = 0;
};

}  // namespace quellstone::scan
