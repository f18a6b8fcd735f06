#include "core/settings/FirstStart.h"

#include "core/settings/SettingKeys.h"

namespace quellstone::settings {

void WriteFirstStartDefaults(SettingsStore& store) {
    // An unreadable store may hold a value: it is left alone rather than overwritten.
    if (!store.Readable()) return;
    const SettingKey& key = keys::kQuarantineCopies;
    // Missing and empty read alike: neither is a choice the check box made.
    if (store.Read(key.section, key.name, "").empty()) store.Write(key, "1");
}

}  // namespace quellstone::settings
