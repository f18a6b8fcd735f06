#include "core/text/DisplayEscape.h"

#include "core/text/Hex.h"
#include "core/text/Utf8.h"

namespace quellstone::text {

namespace {

bool NeedsEscape(char32_t cp) {
    return cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
           (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

void AppendByteEscape(std::string& out, unsigned char byte) {
    out += "\\x";
    AppendHexByte(out, byte);
}

std::string EscapeForDisplay(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Utf8Char c = DecodeUtf8At(bytes, pos);
        if (c.length == 0) {
            AppendByteEscape(out, static_cast<unsigned char>(bytes[pos]));
            ++pos;
            continue;
        }
        if (c.codePoint == '\\') {
            out += "\\\\";
        } else if (NeedsEscape(c.codePoint)) {
            for (std::size_t i = 0; i < c.length; ++i)
                AppendByteEscape(out, static_cast<unsigned char>(bytes[pos + i]));
        } else {
            out.append(bytes.substr(pos, c.length));
        }
        pos += c.length;
    }
    return out;
}

}  // namespace quellstone::text
