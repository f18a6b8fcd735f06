#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ports/FileStore.h"
#include "core/settings/ProgramPaths.h"

namespace quellstone::scan {

// How a scan ended: walked to the end, stopped by a signal, or failed (its
// start folder or database could not be read, or its options were wrong).
enum class ScanEnd { Finished, Stopped, Failed };

// What the last scan started by the timer left behind: when it ended, how
// many entries it looked up, how many it found, and how it ended.
struct ScheduledScanResult {
    std::int64_t endedAt = 0;  // seconds since the epoch
    std::uint64_t scanned = 0;
    std::uint64_t detections = 0;
    ScanEnd end = ScanEnd::Stopped;

    bool operator==(const ScheduledScanResult&) const = default;
};

// <data folder>/Orvanta/Quellstone/scheduled-scan.ini: the user's own scans.
std::string ScheduledScanResultPath(const settings::ProgramPaths& paths);
// <system data folder>/scheduled-scan.ini: root's scans of the whole computer,
// as the system timer starts them, which every user's window shows.
std::string SystemScanResultPath(const settings::ProgramPaths& paths);

// The file's text: one [ScheduledScan] section with Ended, Scanned,
// Detections, Outcome (finished, stopped or failed) and Finished (1 only for
// a finished scan, for readers that know no Outcome).
std::string ScheduledScanResultText(const ScheduledScanResult& result);

// Writes the file in one crash-safe replacement, creating its folder; false when that fails.
bool WriteScheduledScanResult(ports::FileStore& files, const std::string& path, const ScheduledScanResult& result);

// The result the file holds; nullopt when it is missing, unreadable, or any
// value is absent or not what the writer writes (a count that is not a plain
// decimal number, a time before the epoch or too far ahead to show, a
// Finished other than 0 or 1, an Outcome other than the three words). A file
// without Outcome, as older versions wrote it, ends by its Finished.
std::optional<ScheduledScanResult> ReadScheduledScanResult(ports::FileStore& files, const std::string& path);

}  // namespace quellstone::scan
