#include "core/i18n/BuiltInEnglish.h"

#include <string>

#include "core/i18n/BuiltInEnglishText.inc"  // generated: kBuiltInEnglishText, the file's bytes and a final 0
#include "core/i18n/LanguageFile.h"
#include "core/text/Utf8.h"

namespace quellstone::i18n {

LanguageTable BuiltInEnglishTexts() {
    LanguageTable table;
    ApplyLanguageText(text::DecodeTextFile(std::string(kBuiltInEnglishText, sizeof kBuiltInEnglishText - 1)), table);
    table.SetLanguage(std::string(kDefaultLanguage));
    return table;
}

}  // namespace quellstone::i18n
