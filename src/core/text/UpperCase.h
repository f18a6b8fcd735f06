#pragma once

#include <string>
#include <string_view>

namespace quellstone::text {

// Unicode simple upper-case mapping of one code point.
char32_t ToUpper(char32_t codePoint) noexcept;

// Upper-cases `text` into `out` (replacing its content): each valid UTF-8
// character by its simple upper-case mapping, every other byte as ASCII. The
// result has the same byte pattern outside valid characters, so file names keep
// their undecodable bytes. Reuses `out`'s capacity.
void UpperCaseInto(std::string_view text, std::string& out);

std::string UpperCase(std::string_view text);

// Equality without regard to letter case: both sides upper-cased alike.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quellstone::text
