#pragma once

#include "cli/Command.h"
#include "core/scan/ScheduledScanResult.h"

namespace quellstone::cli {

// What a scan did: the entries it looked up, its detections, how it ended,
// and whether it was a scan of the whole computer.
struct ScanRecord {
    std::uint64_t scanned = 0;
    std::uint64_t detections = 0;
    scan::ScanEnd end = scan::ScanEnd::Failed;
    bool wholeComputer = false;
};

// scan --record-result: writes `record`, with now as the scan's end, to the
// user's scheduled-scan.ini, where the window shows it; root's scan of the
// whole computer is the system's, written beside the system's database for
// every user's window. A file that cannot be written is a warning: the
// scan's own outcome stands.
void RecordScanResult(const ScanRecord& record, CommandIo& io);

}  // namespace quellstone::cli
