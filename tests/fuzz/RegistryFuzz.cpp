// Fuzz target for the settings file parser: whatever parses must write out
// as a file that parses to the same text again, and survive changes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/settings/RegistryDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quellstone::settings::RegistryDocument;
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto doc = RegistryDocument::Parse(text);
    if (!doc) return 0;
    const std::string written = doc->Serialize();
    const auto again = RegistryDocument::Parse(written);
    if (!again || again->Serialize() != written) {
        std::fprintf(stderr, "a parsed settings file does not read back as written\n");
        std::abort();
    }
    const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings";
    doc->SetValue(key, "curLang", 1, std::string("English\0", 8));
    if (!doc->FindValue(key, "CURLANG")) std::abort();
    for (std::size_t i = 0; doc->SubKeyAt("HKEY_CURRENT_USER", i); ++i) {
    }
    doc->DeleteKey(key);
    if (!RegistryDocument::Parse(doc->Serialize())) std::abort();
    return 0;
}
