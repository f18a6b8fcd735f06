#include "cli/JsonText.h"

#include "core/text/Hex.h"
#include "core/text/Utf8.h"

namespace quellstone::cli {

namespace {

void AppendHex4(std::string& out, unsigned value) {
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(text::kHexDigits[(value >> shift) & 0xF]);
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view bytes) {
    out.push_back('"');
    for (std::size_t pos = 0; pos < bytes.size();) {
        const text::Utf8Char c = text::DecodeUtf8At(bytes, pos);
        if (c.length == 0) {
            out += "\\u";
            AppendHex4(out, 0xDC00u | static_cast<unsigned char>(bytes[pos]));
            ++pos;
            continue;
        }
        switch (c.codePoint) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c.codePoint < 0x20) {
                    out += "\\u";
                    AppendHex4(out, c.codePoint);
                } else {
                    out.append(bytes.substr(pos, c.length));
                }
        }
        pos += c.length;
    }
    out.push_back('"');
}

}  // namespace quellstone::cli
