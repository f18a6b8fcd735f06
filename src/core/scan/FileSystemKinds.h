#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/MountTable.h"

namespace quellstone::scan {

// What a mounted file system is to a scan.
enum class FileSystemKind {
    HoldsFiles,  // disks, tmpfs and ramfs, overlay, FUSE over a local disk: walked
    Pseudo,      // the kernel's views (proc, sysfs, cgroup, ...): never walked
    Remote       // network and FUSE file systems: walked only on request
};

// The kind of a file system type. A type this table does not know counts as
// one that holds files: a scan that walks too much is slower, one that skips
// a disk misses what is on it.
FileSystemKind FileSystemKindOf(std::string_view type);

// The mount points a whole-computer scan walks, and the ones it leaves out
// and names (network and FUSE file systems without `includeRemote`).
struct MountPlan {
    std::vector<std::string> walked;
    std::vector<ports::MountedFileSystem> leftOut;
};
MountPlan PlanMounts(const std::vector<ports::MountedFileSystem>& mounts, bool includeRemote);

// Every mount point of `mounts`; nullopt when there is none (the table
// could not be read: every system has a root mount).
std::optional<std::vector<std::string>> MountPointsOf(const std::vector<ports::MountedFileSystem>& mounts);

}  // namespace quellstone::scan
