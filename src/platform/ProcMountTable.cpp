#include "platform/ProcMountTable.h"

#include <mntent.h>
#include <stdio.h>

#include <algorithm>
#include <memory>

namespace quellstone::platform {

namespace {

struct StreamCloser {
    void operator()(FILE* stream) const { ::endmntent(stream); }
};

}  // namespace

std::vector<ports::MountedFileSystem> MountedFileSystems(std::string_view mountsText) {
    std::vector<ports::MountedFileSystem> mounts;
    if (mountsText.empty()) return mounts;
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
    if (!stream) return mounts;
    mntent entry{};
    // Room for the longest mount point, escaped; the options of a longer line
    // (an overlay's list of layers) are cut off, which loses nothing needed here.
    std::vector<char> line(64 * 1024);
    while (::getmntent_r(stream.get(), &entry, line.data(), static_cast<int>(line.size())) != nullptr) {
        // A line without a mount point and a type is no mount.
        ports::MountedFileSystem mount{entry.mnt_dir, entry.mnt_type};
        if (mount.mountPoint.empty() || mount.type.empty()) continue;
        // A second mount on a point hides the first: the point keeps its
        // place in the table, and the type is the one visible there now.
        const auto same = std::ranges::find(mounts, mount.mountPoint, &ports::MountedFileSystem::mountPoint);
        if (same == mounts.end()) {
            mounts.push_back(std::move(mount));
        } else {
            same->type = std::move(mount.type);
        }
    }
    return mounts;
}

std::vector<ports::MountedFileSystem> ProcMountTable::Mounts() {
    // /proc files report a size of 0 but read fine.
    const ports::FileContent content = files_.ReadFile("/proc/self/mounts");
    if (content.status != ports::ReadStatus::Ok) return {};
    return MountedFileSystems(content.bytes);
}

}  // namespace quellstone::platform
