#include "core/scan/SignatureIndex.h"

#include "core/scan/IniFormat.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::scan {

SignatureIndex SignatureIndex::Build(std::string_view decodedText, std::string_view section) {
    SignatureIndex index;
    std::string upper;
    const bool found = ForEachEntryInSection(decodedText, section, [&](std::string_view key, std::string_view value) {
        text::UpperCaseInto(key, upper);
        // try_emplace keeps the first line of a key, as a keyed read finds it first.
        index.entries_.try_emplace(upper, text::TruncateCharacters(value, kMaxIniValueChars));
        return true;
    });
    index.status_ = found ? Status::Loaded : Status::NoSection;
    return index;
}

SignatureIndex SignatureIndex::Unreadable() {
    return {};
}

}  // namespace quellstone::scan
