#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quellstone::text {

// One decoded character: its code point and the number of bytes it took.
// `length` is 0 when the bytes at the position are not valid UTF-8.
struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

// Decodes the character at `pos`, rejecting overlong forms, surrogates and
// values beyond U+10FFFF.
Utf8Char DecodeUtf8At(std::string_view bytes, std::size_t pos) noexcept;

bool IsValidUtf8(std::string_view bytes) noexcept;

void AppendUtf8(std::string& out, char32_t codePoint);

std::string Windows1250ToUtf8(std::string_view bytes);

// Text files the program reads (INI files, language files) are taken as UTF-8
// when they are valid UTF-8 and as Windows-1250 otherwise. A UTF-8 byte order
// mark is dropped.
std::string DecodeTextFile(std::string bytes);

// The first `maxChars` characters of `text`; a byte that is not valid UTF-8
// counts as one character.
std::string_view TruncateCharacters(std::string_view text, std::size_t maxChars) noexcept;

}  // namespace quellstone::text
