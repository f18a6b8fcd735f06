#pragma once

#include "cli/Command.h"
#include "cli/ScanOutput.h"

namespace quellstone::cli {

// scan --record-result: writes what the scan did (now as its end, the entries
// it looked up, its detections, whether it walked to the end) to the user's
// scheduled-scan.ini, where the window shows it. A file that cannot be
// written is a warning: the scan's own outcome stands.
void RecordScanResult(const ScanOutput& output, bool finished, CommandIo& io);

}  // namespace quellstone::cli
