#pragma once

#include <cstdint>

namespace quellstone::scan {

// File attribute bits as the walk reads them for each entry.
namespace attributes {
inline constexpr std::uint32_t kReadOnly = 1;
inline constexpr std::uint32_t kHidden = 2;
inline constexpr std::uint32_t kSystem = 4;
inline constexpr std::uint32_t kFolder = 16;
inline constexpr std::uint32_t kArchive = 32;
inline constexpr std::uint32_t kReparsePoint = 1024;  // a symbolic link, or a folder that is a mount point
}  // namespace attributes

// A folder is walked only when its attribute value lies between 16 and 20: a
// plain folder, possibly read-only, hidden or system. Any further bit (archive,
// reparse point, compressed, encrypted, ...) keeps it from being walked.
constexpr bool IsWalkableFolder(std::uint32_t value) {
    return value >= 16 && value <= 20;
}

}  // namespace quellstone::scan
