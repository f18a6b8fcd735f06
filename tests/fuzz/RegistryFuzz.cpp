// Fuzz target for the settings file parser: whatever it reads from any bytes,
// taken as UTF-8 and as UTF-16, must write out as a file that reads back
// whole, to the same text, and survive changes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/settings/RegistryDocument.h"

namespace {

using quellstone::settings::RegistryDocument;

void Check(const std::string& text) {
    RegistryDocument doc = RegistryDocument::Parse(text);
    const std::string written = doc.Serialize();
    const RegistryDocument again = RegistryDocument::Parse(written);
    if (again.SkippedLines() != 0 || again.Serialize() != written) {
        std::fprintf(stderr, "a parsed settings file does not read back as written\n");
        std::abort();
    }
    const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings";
    doc.SetValue(key, "curLang", 1, std::string("English\0", 8));
    if (!doc.FindValue(key, "CURLANG")) std::abort();
    for (std::size_t i = 0; doc.SubKeyAt("HKEY_CURRENT_USER", i); ++i) {
    }
    if (doc.DeleteKey(key) == RegistryDocument::DeleteResult::Deleted && doc.FindValue(key, "curLang")) std::abort();
    if (RegistryDocument::Parse(doc.Serialize()).SkippedLines() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Check(text);
    Check("\xFF\xFE" + text);  // the same bytes read as UTF-16
    return 0;
}
