#pragma once

#include "core/settings/SettingsStore.h"

namespace quellstone::settings {

// Stores what a new installation starts with, once, when the program starts
// with no value of its own: removal keeps a copy in the quarantine
// (`Quarintine` "1"). A value already stored, whatever it is, stays as it is.
void WriteFirstStartDefaults(SettingsStore& store);

}  // namespace quellstone::settings
