#pragma once

#include <string>
#include <string_view>

namespace quellstone::text {

// The folder part of a "/"-separated path: "a/b/c" gives "a/b", "/c" gives
// "/", and a bare name gives "." (the current folder).
inline std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

// The name after the last "/" of a path (all of it without one; "" after a trailing "/").
constexpr std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A name that begins with "." is hidden; "." and ".." are such names.
constexpr bool IsHiddenName(std::string_view name) {
    return name.starts_with('.');
}

}  // namespace quellstone::text
