#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quellstone::ports {

// The system's drives: the mount points of storage file systems, in the
// order the system lists them.
class MountTable {
public:
    virtual ~MountTable() = default;
    virtual std::vector<std::string> StorageMountPoints() = 0;
    // Every mount point, pseudo file systems and automount points included;
    // nullopt when the table cannot be read.
    virtual std::optional<std::vector<std::string>> AllMountPoints() { return std::nullopt; }
};

}  // namespace quellstone::ports
