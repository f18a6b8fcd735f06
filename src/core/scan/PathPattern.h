#pragma once

#include <string_view>

namespace quellstone::scan {

// Absolute path patterns, as the database's path entries write them. Within
// one name, `*` matches any run of characters (none included) and `?` one
// character; a name that is exactly `**` matches any number of folders, none
// included. Everything else matches itself, letter case included. Repeated
// and trailing "/" separate nothing, and "." names no folder: "/tmp//./x/"
// is "/tmp/x".

// Whether `key` can be a path pattern: it names a path from the root.
constexpr bool IsPathPattern(std::string_view key) {
    return key.starts_with('/');
}

// Whether `name` (one name of a pattern) holds a wildcard.
constexpr bool HoldsWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

// The last name of a pattern or path ("" for the root; "/a/b/." gives "b").
std::string_view LastNameOfPath(std::string_view path);

// Whether one name matches one name of a pattern (no "/" in either).
bool MatchesNamePattern(std::string_view pattern, std::string_view name);

// Whether the absolute `path` matches `pattern`.
bool MatchesPathPattern(std::string_view pattern, std::string_view path);

}  // namespace quellstone::scan
