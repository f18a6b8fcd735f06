#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ports/FileStore.h"
#include "core/settings/ProgramPaths.h"

namespace quellstone::scan {

// What the last scan started by the timer left behind: when it ended, how
// many entries it looked up, how many it found, and whether it walked to the
// end or was stopped first.
struct ScheduledScanResult {
    std::int64_t endedAt = 0;  // seconds since the epoch
    std::uint64_t scanned = 0;
    std::uint64_t detections = 0;
    bool finished = false;

    bool operator==(const ScheduledScanResult&) const = default;
};

// <data folder>/Orvanta/Quellstone/scheduled-scan.ini
std::string ScheduledScanResultPath(const settings::ProgramPaths& paths);

// The file's text: one [ScheduledScan] section with Ended, Scanned, Detections, Finished.
std::string ScheduledScanResultText(const ScheduledScanResult& result);

// Writes the file in one crash-safe replacement, creating its folder; false when that fails.
bool WriteScheduledScanResult(ports::FileStore& files, const std::string& path, const ScheduledScanResult& result);

// The result the file holds; nullopt when it is missing, unreadable, or any
// value is absent or not what the writer writes (a count that is not a plain
// decimal number, a time before the epoch or too far ahead to show, a
// Finished other than 0 or 1).
std::optional<ScheduledScanResult> ReadScheduledScanResult(ports::FileStore& files, const std::string& path);

}  // namespace quellstone::scan
