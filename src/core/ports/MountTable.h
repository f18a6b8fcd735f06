#pragma once

#include <string>
#include <vector>

namespace quellstone::ports {

// One mounted file system: where it is mounted and its type as the system
// names it ("ext4", "tmpfs", "nfs4", "fuse.sshfs").
struct MountedFileSystem {
    std::string mountPoint;
    std::string type;

    bool operator==(const MountedFileSystem&) const = default;
};

// The system's mounted file systems.
class MountTable {
public:
    virtual ~MountTable() = default;
    // Every mounted file system, pseudo file systems and automount points
    // included, in the order the system lists them; each mount point once,
    // with the type of its last mount (the one that is visible there). Empty
    // when the table cannot be read.
    virtual std::vector<MountedFileSystem> Mounts() = 0;
};

}  // namespace quellstone::ports
