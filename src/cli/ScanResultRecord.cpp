#include "cli/ScanResultRecord.h"

#include <chrono>

#include "core/scan/ScheduledScanResult.h"
#include "core/text/DisplayEscape.h"
#include "platform/PosixFileStore.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

void RecordScanResult(const ScanRecord& record, CommandIo& io) {
    const auto ended =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    const scan::ScheduledScanResult result{ended.count(), record.scanned, record.detections, record.end};
    const std::string path =
        scan::ScheduledScanResultPath(platform::LinuxProgramPaths(platform::ProcessEnvironment(), io.layout));
    platform::PosixFileStore files;
    if (!scan::WriteScheduledScanResult(files, path, result)) {
        io.err << "quellstone-cli scan: warning: could not write the scan's result to " << text::EscapeForDisplay(path)
               << "\n";
    }
}

}  // namespace quellstone::cli
