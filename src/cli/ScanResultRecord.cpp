#include "cli/ScanResultRecord.h"

#include <sys/stat.h>
#include <unistd.h>

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
    const settings::ProgramPaths paths = platform::LinuxProgramPaths(platform::ProcessEnvironment(), io.layout);
    // Root's scans are the system's (the whole-computer scan of the system
    // timer): kept beside the system's database, where every user's window reads them.
    const bool root = ::geteuid() == 0;
    const std::string path = root ? scan::SystemScanResultPath(paths) : scan::ScheduledScanResultPath(paths);
    platform::PosixFileStore files;
    if (root) {
        ::umask(022);
        if (files.CreateFolders(paths.systemDataFolder)) platform::OpenFolderToEveryone(paths.systemDataFolder);
    }
    if (!scan::WriteScheduledScanResult(files, path, result)) {
        io.err << "quellstone-cli scan: warning: could not write the scan's result to " << text::EscapeForDisplay(path)
               << "\n";
    }
}

}  // namespace quellstone::cli
