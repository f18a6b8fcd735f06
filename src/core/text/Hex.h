#pragma once

#include <string>
#include <string_view>

namespace quellstone::text {

// The hexadecimal digits by value, lower case.
inline constexpr std::string_view kHexDigits = "0123456789abcdef";

// The value of a hexadecimal digit of either case; -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Appends a byte as two lower-case hexadecimal digits.
inline void AppendHexByte(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

}  // namespace quellstone::text
