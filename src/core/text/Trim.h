#pragma once

#include <string_view>

namespace quellstone::text {

// The blanks of INI lines and of the signature database's keys.
inline constexpr std::string_view kSpacesAndTabs = " \t";

// `s` without the characters of `blanks` at either end.
constexpr std::string_view Trim(std::string_view s, std::string_view blanks = kSpacesAndTabs) {
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

}  // namespace quellstone::text
