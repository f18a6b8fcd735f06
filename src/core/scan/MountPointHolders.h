#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quellstone::scan {

// The folders of a walk that hold a mount point as one of their entries, as
// the walk names them: `startPath` is the walk's start as given (normalised;
// "" is the root), `canonicalStart` the same folder with its links resolved,
// as the mount table names places. Every other folder can have nothing
// mounted on its entries (unless something is mounted during the walk), so
// its subfolders can be told from its listing alone.
std::unordered_set<std::string> MountPointHolders(std::string_view startPath, std::string_view canonicalStart,
                                                  const std::vector<std::string>& mountPoints);

}  // namespace quellstone::scan
