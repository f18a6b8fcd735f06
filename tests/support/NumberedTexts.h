#pragma once

#include <string>

#include "core/i18n/LanguageTable.h"

namespace quellstone::testing {

// Fills every entry with "T<number>", so a test sees which entry a window used.
inline void FillWithNumbers(i18n::LanguageTable& table) {
    for (int i = 0; i < i18n::LanguageTable::kSize; ++i) table.Set(i, "T" + std::to_string(i));
}

}  // namespace quellstone::testing
