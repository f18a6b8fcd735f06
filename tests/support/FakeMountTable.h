#pragma once

#include <vector>

#include "core/ports/MountTable.h"

namespace quellstone::testing {

// A mount table that lists what the test puts into it.
class FakeMountTable final : public ports::MountTable {
public:
    std::vector<ports::MountedFileSystem> mounts;
    std::vector<ports::MountedFileSystem> Mounts() override { return mounts; }
};

}  // namespace quellstone::testing
