#pragma once

#include <vector>

#include "core/ports/MountTable.h"

namespace quellstone::testing {

// A mount table that lists what the test puts into it; at first no file
// system that holds files (an empty table would be one that cannot be read).
class FakeMountTable final : public ports::MountTable {
public:
    std::vector<ports::MountedFileSystem> mounts{{"/proc", "proc"}};
    std::vector<ports::MountedFileSystem> Mounts() override { return mounts; }
};

}  // namespace quellstone::testing
