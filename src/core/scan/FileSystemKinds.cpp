#include "core/scan/FileSystemKinds.h"

#include <algorithm>
#include <array>

namespace quellstone::scan {

namespace {

// The kernel's own views: nothing a user or a program stores lives there.
constexpr std::array<std::string_view, 26> kPseudoTypes = {
    "proc", "sysfs",      "cgroup",    "cgroup2", "devpts",    "devtmpfs", "securityfs",  "debugfs", "tracefs",
    "bpf",  "configfs",   "fusectl",   "mqueue",  "hugetlbfs", "pstore",   "binfmt_misc", "autofs",  "efivarfs",
    "nsfs", "rpc_pipefs", "selinuxfs", "smackfs", "nfsd",      "cpuset",   "resctrl",     "sockfs"};

// Served by another machine (or by a user's program, for FUSE): walking them
// can be slow, can wake a sleeping server, and scans someone else's files.
// A virtual machine's shared folders count among them.
constexpr std::array<std::string_view, 21> kRemoteTypes = {
    "nfs",   "nfs4", "cifs",     "smb3",   "smbfs",  "ncpfs",  "afs",  "ceph",   "glusterfs", "9p",  "lustre",
    "davfs", "fuse", "virtiofs", "vboxsf", "vmhgfs", "prl_fs", "gpfs", "beegfs", "orangefs",  "coda"};

bool In(const auto& table, std::string_view type) {
    return std::find(table.begin(), table.end(), type) != table.end();
}

}  // namespace

FileSystemKind FileSystemKindOf(std::string_view type) {
    if (In(kPseudoTypes, type)) return FileSystemKind::Pseudo;
    // "fuseblk" is a FUSE driver for a local block device (NTFS, exFAT): a disk.
    if (In(kRemoteTypes, type) || type.starts_with("fuse.")) return FileSystemKind::Remote;
    return FileSystemKind::HoldsFiles;
}

MountPlan PlanMounts(const std::vector<ports::MountedFileSystem>& mounts, bool includeRemote) {
    MountPlan plan;
    for (const ports::MountedFileSystem& mount : mounts) {
        switch (FileSystemKindOf(mount.type)) {
            case FileSystemKind::HoldsFiles: plan.walked.push_back(mount.mountPoint); break;
            case FileSystemKind::Remote:
                if (includeRemote) {
                    plan.walked.push_back(mount.mountPoint);
                } else {
                    plan.leftOut.push_back(mount);
                }
                break;
            case FileSystemKind::Pseudo: break;
        }
    }
    return plan;
}

std::optional<std::vector<std::string>> MountPointsOf(const std::vector<ports::MountedFileSystem>& mounts) {
    if (mounts.empty()) return std::nullopt;
    std::vector<std::string> points;
    points.reserve(mounts.size());
    for (const ports::MountedFileSystem& mount : mounts) points.push_back(mount.mountPoint);
    return points;
}

}  // namespace quellstone::scan
