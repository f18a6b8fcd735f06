#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/ports/DirectoryTree.h"

namespace quellstone::platform {

// Folders read with getdents64 and reached with openat relative to their
// parent, so that neither the length of a path nor a symbolic link decides
// where the walk goes. Listings report every name the system lists, with the
// kind the listing itself tells (no entry is read to list it). Holds no
// state of its own, so its folders may be used from several threads.
class PosixDirectoryTree final : public ports::DirectoryTree {
public:
    std::unique_ptr<ports::Directory> OpenFolder(const std::string& path) override;
    std::optional<std::string> CanonicalPath(const std::string& path) override;
    ports::PathFound Look(const std::string& path) override;
    std::optional<std::string> CurrentFolder() override;
};

}  // namespace quellstone::platform
