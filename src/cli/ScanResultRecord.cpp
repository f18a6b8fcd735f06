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
    // Root's scan of the whole computer is the system's (the system timer's):
    // kept beside the system's database, where every user's window reads it.
    // Root's other scans (of root's home by root's own timer) are root's.
    const bool system = record.wholeComputer && ::geteuid() == 0;
    const std::string path = system ? scan::SystemScanResultPath(paths) : scan::ScheduledScanResultPath(paths);
    platform::PosixFileStore files;
    if (system) {
        ::umask(022);
        if (files.CreateFolders(paths.systemDataFolder)) platform::OpenFolderToEveryone(paths.systemDataFolder);
    }
    if (!scan::WriteScheduledScanResult(files, path, result)) {
        io.err << "quellstone-cli scan: warning: could not write the scan's result to " << text::EscapeForDisplay(path)
               << "\n";
    }
}

}  // namespace quellstone::cli
