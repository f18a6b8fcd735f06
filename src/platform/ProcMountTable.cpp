#include "platform/ProcMountTable.h"

#include <mntent.h>
#include <stdio.h>

#include <algorithm>
#include <array>
#include <memory>

namespace quellstone::platform {

namespace {

constexpr std::array<std::string_view, 24> kPseudoFileSystems = {
    "proc",    "sysfs",       "cgroup",     "cgroup2", "devtmpfs", "devpts",   "tmpfs",     "securityfs",
    "debugfs", "tracefs",     "mqueue",     "bpf",     "pstore",   "configfs", "fusectl",   "hugetlbfs",
    "autofs",  "binfmt_misc", "rpc_pipefs", "nsfs",    "efivarfs", "ramfs",    "selinuxfs", "fuse.portal"};

struct StreamCloser {
    void operator()(FILE* stream) const { ::endmntent(stream); }
};

}  // namespace

namespace {

std::vector<std::string> MountPointsOf(std::string_view mountsText, bool storageOnly) {
    std::vector<std::string> points;
    if (mountsText.empty()) return points;
    // The table is read from memory the way the C library reads /proc/self/mounts,
    // which also undoes the octal escapes of blanks and backslashes.
    std::string text(mountsText);
    // The C library skips a line that begins with "#" as a comment; the kernel
    // writes none, so such a line is a mount whose source begins with "#". The
    // source is not needed here: its "#" is replaced so the line is read.
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t first = text.find_first_not_of(" \t", start);
        if (first != std::string::npos && text[first] == '#') text[first] = '_';
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    const std::unique_ptr<FILE, StreamCloser> stream(::fmemopen(text.data(), text.size(), "r"));
    if (!stream) return points;
    mntent entry{};
    // Room for the longest mount point, escaped; the options of a longer line
    // (an overlay's list of layers) are cut off, which loses nothing needed here.
    std::vector<char> line(64 * 1024);
    while (::getmntent_r(stream.get(), &entry, line.data(), static_cast<int>(line.size())) != nullptr) {
        // A line without a mount point and a type is no mount.
        const std::string_view type = entry.mnt_type;
        std::string point = entry.mnt_dir;
        if (point.empty() || type.empty()) continue;
        if (storageOnly &&
            std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), type) != kPseudoFileSystems.end()) {
            continue;
        }
        if (std::find(points.begin(), points.end(), point) == points.end()) points.push_back(std::move(point));
    }
    return points;
}

}  // namespace

std::vector<std::string> StorageMountPoints(std::string_view mountsText) {
    return MountPointsOf(mountsText, true);
}

std::vector<std::string> AllMountPoints(std::string_view mountsText) {
    return MountPointsOf(mountsText, false);
}

std::vector<std::string> ProcMountTable::StorageMountPoints() {
    // /proc files report a size of 0 but read fine.
    const ports::FileContent content = files_.ReadFile("/proc/self/mounts");
    if (content.status != ports::ReadStatus::Ok) return {};
    return platform::StorageMountPoints(content.bytes);
}

std::optional<std::vector<std::string>> ProcMountTable::AllMountPoints() {
    const ports::FileContent content = files_.ReadFile("/proc/self/mounts");
    // A table that reads as empty is not believed: every system has a root mount.
    if (content.status != ports::ReadStatus::Ok || content.bytes.empty()) return std::nullopt;
    std::vector<std::string> points = platform::AllMountPoints(content.bytes);
    if (points.empty()) return std::nullopt;
    return points;
}

}  // namespace quellstone::platform
