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

// The folders a scan of `mode` walks, in order: the whole computer is the
// programs folder, then every drive (mount point) in the system's order; a
// chosen folder is that folder; the quick scan is the system folder.
std::vector<ScanTarget> PlanScan(ScanMode mode, const std::string& selectedFolder, const settings::ProgramPaths& paths,
                                 ports::MountTable& drives);

// Counts a scan in the statistics as it starts: raises the scan counter
// (returned) and, for a whole-computer scan only, stores today's date as the
// last system scan.
std::int64_t RecordScanStart(settings::SettingsStore& store, ScanMode mode, ports::Calendar& calendar);

}  // namespace quellstone::scan
