#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/FileStore.h"
#include "core/ports/MountTable.h"

namespace quellstone::platform {

// The mount points listed in a mounts table (the text of /proc/self/mounts):
// kernel pseudo file systems (proc, sysfs, cgroup, devtmpfs, devpts, tmpfs,
// ...) left out, the escapes the kernel writes ("\040" for a blank, "\011" for
// a tab, "\012" for a line feed, "\134" for a backslash) undone, each mount
// point once, in table order.
std::vector<std::string> StorageMountPoints(std::string_view mountsText);
// Every mount point listed, pseudo file systems included, each once.
std::vector<std::string> AllMountPoints(std::string_view mountsText);

class ProcMountTable final : public ports::MountTable {
public:
    explicit ProcMountTable(ports::FileStore& files) : files_(files) {}
    std::vector<std::string> StorageMountPoints() override;
    std::optional<std::vector<std::string>> AllMountPoints() override;

private:
    ports::FileStore& files_;
};

}  // namespace quellstone::platform
