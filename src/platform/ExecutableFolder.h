#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quellstone::platform {

// Where a symbolic link points; nullopt when the link cannot be read.
using LinkReader = std::function<std::optional<std::string>(const std::string& link)>;
std::optional<std::string> ReadLinkTarget(const std::string& link);

// The folder that holds the running executable (the target of
// /proc/self/exe, read through `read`), without a trailing "/": the program
// folder with the database, the language files and vendor.ini. nullopt when
// the link cannot be read or does not name an absolute path. There is no
// fallback: the current folder is anyone's folder, and its vendor.ini would
// hand its addresses to the desktop's default action, so a program that
// cannot find its own folder refuses to start.
std::optional<std::string> ExecutableFolder(const LinkReader& read = ReadLinkTarget);

// What both programs print when they refuse to start for want of their folder.
inline constexpr std::string_view kNoProgramFolderMessage =
    "cannot find the program folder: /proc/self/exe cannot be read (is /proc mounted?)";

}  // namespace quellstone::platform
