#pragma once

#include "core/settings/SettingsStore.h"

namespace quellstone::settings {

// Stores what a new installation starts with, once, when the program starts
// with no value of its own: removal keeps a copy in the quarantine
// (`Quarintine` "1"). A value the user chose ("0", "1", or anything else
// that is not empty) stays as it is. An empty value (`Quarintine=`) counts as
// none: the check box never writes it, so it is no choice, and it becomes
// "1" like a missing one. An unreadable store is left alone.
void WriteFirstStartDefaults(SettingsStore& store);

}  // namespace quellstone::settings
