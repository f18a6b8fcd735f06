#pragma once

#include <sys/stat.h>

#include <cstdint>

#include "core/ports/DirectoryTree.h"

namespace quellstone::platform {

// What an entry's status says it is.
inline ports::EntryKind KindOfMode(mode_t mode) {
    if (S_ISDIR(mode)) return ports::EntryKind::Folder;
    if (S_ISREG(mode)) return ports::EntryKind::RegularFile;
    if (S_ISLNK(mode)) return ports::EntryKind::SymbolicLink;
    return ports::EntryKind::Other;
}

// Which file an entry's status belongs to.
inline ports::EntryIdentity IdentityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace quellstone::platform
