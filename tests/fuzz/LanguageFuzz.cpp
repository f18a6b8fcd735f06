// Fuzz target for the language file reader: any bytes, decoded as the
// program decodes language files, applied to a table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/i18n/LanguageFile.h"
#include "core/text/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellstone;
    i18n::LanguageTable table;
    i18n::ApplyLanguageText(text::DecodeTextFile(std::string(reinterpret_cast<const char*>(data), size)), table);
    for (int i = 0; i < i18n::LanguageTable::kSize; ++i) (void)table.Text(i).size();
    return 0;
}
