#pragma once

#include "core/ports/FileRenamer.h"

namespace quellstone::platform {

// rename(2), then a flush of the target's folder so that the move is on disk.
class PosixFileRenamer final : public ports::FileRenamer {
public:
    bool RenameOver(const std::string& from, const std::string& to) override;
    void RemoveTemporariesOf(const std::string& path) override;
};

}  // namespace quellstone::platform
