#pragma once

#include <string_view>

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

    virtual void ShowCurrentPath(std::string_view fullPath) = 0;
    virtual void AdvanceScannedCount() = 0;
    // A ticked result row: detection name (upper-cased) and full path.
    virtual void AddDetection(std::string_view detection, std::string_view fullPath) = 0;
};

}  // namespace quellstone::scan
