#include "core/text/UpperCase.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/text/Utf8.h"

namespace quellstone::text {

namespace {

struct UpperRange {
    char32_t first;
    char32_t last;
    std::int32_t delta;
};

constexpr UpperRange kUpperRanges[] = {
#include "core/text/UnicodeUpperTable.inc"
};

}  // namespace

char32_t ToUpper(char32_t cp) noexcept {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    const auto* it = std::upper_bound(std::begin(kUpperRanges), std::end(kUpperRanges), cp,
                                      [](char32_t value, const UpperRange& r) { return value < r.first; });
    if (it == std::begin(kUpperRanges)) return cp;
    --it;
    if (cp > it->last) return cp;
    return static_cast<char32_t>(static_cast<std::int32_t>(cp) + it->delta);
}

void UpperCaseInto(std::string_view text, std::string& out) {
    // Nearly every name is ASCII: its bytes are written in place, with no
    // growth check per byte, up to the first byte that is not.
    out.resize(text.size());
    std::size_t pos = 0;
    for (; pos < text.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte >= 0x80) break;
        out[pos] = static_cast<char>((byte >= 'a' && byte <= 'z') ? byte - 32 : byte);
    }
    out.resize(pos);
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out.push_back(static_cast<char>((byte >= 'a' && byte <= 'z') ? byte - 32 : byte));
            ++pos;
            continue;
        }
        const Utf8Char c = DecodeUtf8At(text, pos);
        if (c.length == 0) {
            out.push_back(static_cast<char>(byte));  // not UTF-8: kept as it is
            ++pos;
            continue;
        }
        AppendUtf8(out, ToUpper(c.codePoint));
        pos += c.length;
    }
}

std::string UpperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    UpperCaseInto(text, out);
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin())) return true;
    return UpperCase(a) == UpperCase(b);
}

}  // namespace quellstone::text
