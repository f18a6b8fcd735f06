#pragma once

#include "core/settings/SettingsStore.h"

namespace quellstone::settings {

// Whether removals keep a copy in the quarantine. A settings file that
// cannot be read might hold "on", so it counts as on: a copy too many is
// harmless, a file deleted without the copy the user asked for is not.
bool QuarantineCopiesOn(SettingsStore& store);

}  // namespace quellstone::settings
