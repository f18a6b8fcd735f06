#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/FileStore.h"
#include "core/ports/MountTable.h"

namespace quellstone::platform {

// The file systems listed in a mounts table (the text of /proc/self/mounts),
// in table order, with the escapes the kernel writes ("\040" for a blank,
// "\011" for a tab, "\012" for a line feed, "\134" for a backslash) undone;
// each mount point once, with the type of its last mount.
std::vector<ports::MountedFileSystem> MountedFileSystems(std::string_view mountsText);

class ProcMountTable final : public ports::MountTable {
public:
    explicit ProcMountTable(ports::FileStore& files) : files_(files) {}
    std::vector<ports::MountedFileSystem> Mounts() override;

private:
    ports::FileStore& files_;
};

}  // namespace quellstone::platform
