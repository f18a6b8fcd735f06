#pragma once

#include "core/i18n/LanguageTable.h"

namespace quellstone::i18n {

// The English texts built into the program (data/languages/English/English.txt
// as it was when the program was built), for a language file that cannot be
// read; the table's language is English.
LanguageTable BuiltInEnglishTexts();

}  // namespace quellstone::i18n
