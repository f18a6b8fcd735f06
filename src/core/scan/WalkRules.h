#pragma once

#include <cstdint>
#include <string_view>

#include "core/ports/DirectoryTree.h"
#include "core/text/PathText.h"

namespace quellstone::scan {

// Which entries of a folder the walk looks at and which of them it enters,
// decided from what the system reports of them.

// A hidden name (text::IsHiddenName: a leading ".", so "." and ".." too) is
// not looked up, and not walked, unless hidden entries are asked for; "."
// and ".." never are. Decided from the name alone, before anything else, so
// a skipped entry costs nothing.
constexpr bool IsSkipped(std::string_view name, bool includeHidden) {
    if (!includeHidden) return text::IsHiddenName(name);
    return name == "." || name == "..";
}

// Whether an entry the listing reports as `listed` may be a folder, so that its
// status must be read to decide. A link, a regular file or any other kind is
// never walked and costs no system call.
constexpr bool MayBeWalked(ports::EntryKind listed) {
    return listed == ports::EntryKind::Folder || listed == ports::EntryKind::Unknown;
}

// A folder on another device than the folder that holds it is a mount point:
// the walk does not enter another file system.
constexpr bool IsMountPoint(std::uint64_t device, const ports::FolderIdentity& holder) {
    return device != holder.device;
}

// Only a plain folder is walked: a symbolic link is not followed (even one to
// a folder), and a mount point is not entered. Its permission bits do not
// matter: a read-only folder is walked like any other.
constexpr bool IsWalkedFolder(const ports::EntryStatus& entry, const ports::FolderIdentity& holder) {
    return entry.kind == ports::EntryKind::Folder && !IsMountPoint(entry.device, holder);
}

}  // namespace quellstone::scan
