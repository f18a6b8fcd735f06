#include "core/settings/QuarantineCopies.h"

#include "core/settings/SettingKeys.h"

namespace quellstone::settings {

bool QuarantineCopiesOn(SettingsStore& store) {
    if (!store.Readable()) return true;
    return store.Read(keys::kQuarantineCopies) != kQuarantineCopiesOff;
}

}  // namespace quellstone::settings
