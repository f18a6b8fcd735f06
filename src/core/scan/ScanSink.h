#pragma once

#include <optional>
#include <string_view>

#include "core/ports/DirectoryTree.h"

namespace quellstone::scan {

// Where a walk reports what it finds, in walk order and from the walk's own
// thread: each start folder, the folders it could not read, every entry it
// looked up and each detection. The scan window and the command line each
// implement it, so both consume the same walk; a stop reaches the walk
// through its stop token, never through the sink.
class ScanSink {
public:
    virtual ~ScanSink() = default;

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

    // An entry was looked up: every entry, detected or not, in walk order.
    virtual void LookedUp(std::string_view fullPath) = 0;
    // The entry just looked up is named in the database: detection name
    // (upper-cased) and full path.
    virtual void AddDetection(std::string_view detection, std::string_view fullPath) = 0;
    // The entry just looked up is named in the database, in a category the
    // scan leaves out (WalkOptions::reported): it is counted, not reported.
    virtual void IgnoreDetection(std::string_view detection, std::string_view fullPath) = 0;
};

}  // namespace quellstone::scan
