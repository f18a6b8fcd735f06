#include "core/scan/MountPointHolders.h"

namespace quellstone::scan {

std::unordered_set<std::string> MountPointHolders(std::string_view startPath, std::string_view canonicalStart,
                                                  const std::vector<std::string>& mountPoints) {
    // The root is "/" to the mount table and "" to the walk.
    const std::string_view base = canonicalStart == "/" ? std::string_view() : canonicalStart;
    std::unordered_set<std::string> holders;
    for (const std::string& point : mountPoints) {
        if (point.size() <= base.size() + 1 || !point.starts_with(base) || point[base.size()] != '/') continue;
        const std::string_view below = std::string_view(point).substr(base.size());  // "/a/b"
        std::string holder(startPath);
        holder += below.substr(0, below.rfind('/'));
        holders.insert(std::move(holder));
    }
    return holders;
}

}  // namespace quellstone::scan
