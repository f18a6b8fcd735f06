#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ports/FileOperations.h"

namespace quellstone::scan {

// The folder a walk started in, as the walk named it ("" is the root), and
// which folder it was when the walk opened it.
struct StartFolder {
    std::string path;
    std::optional<ports::FolderIdentity> identity;

    // How removal reaches `fullPath`, an entry the walk found: from this
    // folder (links in its own path followed, as the user named it), then
    // without following links. An entry not below it is reached from the root
    // without following any link.
    [[nodiscard]] ports::ReachablePath Reach(std::string_view fullPath) const {
        if (fullPath.size() > path.size() + 1 && fullPath.starts_with(path) && fullPath[path.size()] == '/') {
            return {path, identity, std::string(fullPath.substr(path.size() + 1))};
        }
        return ports::ReachablePath::FromRoot(fullPath);
    }
};

}  // namespace quellstone::scan
