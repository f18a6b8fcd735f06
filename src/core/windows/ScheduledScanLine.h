#pragma once

#include <optional>
#include <string>

#include "core/i18n/LanguageTable.h"
#include "core/scan/ScheduledScanResult.h"

namespace quellstone::windows {

// The information frame's line for the last scheduled scan: when it ended
// (in the language's date and time) and how many detections it had, marked
// when it was stopped before the end; a failed scan says only that it failed;
// the language's "never" without a result.
std::string ScheduledScanLine(const std::optional<scan::ScheduledScanResult>& result, const i18n::LanguageTable& texts);

}  // namespace quellstone::windows
