#pragma once

#include <string_view>

#include "core/settings/SettingsStore.h"

namespace quellstone::settings {

// The one stored value that turns quarantine copies off.
inline constexpr std::string_view kQuarantineCopiesOff = "0";

// Whether removals keep a copy in the quarantine: yes unless the settings
// file holds exactly "0" for it. No value, no settings file, a file that
// cannot be read, and a file whose switch line or section header could not
// be read (those lines are skipped, so the value reads as missing) all mean
// yes: a name-only scanner meets false alarms, and deleting without a copy
// must be the user's explicit choice.
bool QuarantineCopiesOn(SettingsStore& store);

}  // namespace quellstone::settings
