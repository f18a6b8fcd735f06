#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/i18n/TextId.h"
#include "core/ports/Calendar.h"
#include "core/ports/MountTable.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::scan {

enum class ScanMode { WholeComputer = 0, ChosenFolder = 1, QuickScan = 2 };

// One folder a scan walks, with the operation text shown while it does:
// interface text `text` followed by `textSuffix`.
struct ScanTarget {
    i18n::TextId text{};
    std::string textSuffix;
    std::string folder;
};

// The folders a scan walks, in order, and the file systems it leaves out
// (named to the user, so a partial scan never reads as complete).
struct ScanPlan {
    std::vector<ScanTarget> targets;
    std::vector<ports::MountedFileSystem> leftOut;
    // The whole computer without a mount table: only the root is walked,
    // not the file systems mounted in it, and the user must be told.
    bool mountsUnknown = false;
};

// The folders where malware on Linux is documented to drop or anchor
// itself, walked by the quick scan after the system folder: world-writable
// and memory-backed temporary folders, the system's configuration, and the
// user's configuration and private programs (relative to the home folder).
inline constexpr std::string_view kQuickScanSystemFolders[] = {"/tmp", "/var/tmp", "/dev/shm", "/etc"};
inline constexpr std::string_view kQuickScanHomeFolders[] = {".config", ".local/bin"};

// The plan of a scan of `mode`:
// - the whole computer: the programs folder, then every mount point of a
//   file system that holds files, in the system's order; pseudo file
//   systems never, network and FUSE file systems only with `includeRemote`
//   (otherwise they are left out); without a mount table (no /proc), the
//   root alone;
// - a chosen folder: that folder;
// - the quick scan: the system folder, then the folders above (the home
//   ones only when the home folder is known).
ScanPlan PlanScan(ScanMode mode, const std::string& selectedFolder, const settings::ProgramPaths& paths,
                  const std::vector<ports::MountedFileSystem>& mounts, bool includeRemote);

// Counts a scan in the statistics as it starts: raises the scan counter
// (returned) and, for a whole-computer scan only, stores today's date as the
// last system scan.
std::int64_t RecordScanStart(settings::SettingsStore& store, ScanMode mode, ports::Calendar& calendar);

}  // namespace quellstone::scan
