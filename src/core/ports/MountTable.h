#pragma once

#include <string>
#include <vector>

namespace quellstone::ports {

// The system's drives: the mount points of storage file systems, in the
// order the system lists them.
class MountTable {
public:
    virtual ~MountTable() = default;
    virtual std::vector<std::string> StorageMountPoints() = 0;
};

}  // namespace quellstone::ports
