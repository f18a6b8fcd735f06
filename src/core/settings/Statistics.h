#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/SettingsStore.h"

namespace quellstone::settings {

// A stored count as a number: the number its text starts with, rounded;
// a text that is not a number counts as 0.
std::int64_t CountFromText(std::string_view text);

// Raises the scan counter by one, as one step under the store's lock, and
// returns the new count.
std::int64_t RaiseTotalScans(SettingsStore& store);

// Sets the stored statistics back to their start: no scans, nothing removed,
// no system scan ("-"). The quarantine's archives are not touched.
void ResetStatistics(SettingsStore& store);

}  // namespace quellstone::settings
