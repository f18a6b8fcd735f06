#pragma once

#include <string>

#include "core/ports/InstanceLock.h"
#include "platform/UniqueFd.h"
#include "platform/UserFolders.h"

namespace quellstone::platform {

// An exclusive flock on a lock file, held until the process ends (the
// kernel releases it even after a crash, so a stale file never blocks).
class FlockInstanceLock final : public ports::InstanceLock {
public:
    explicit FlockInstanceLock(std::string path) : path_(std::move(path)) {}
    bool TryAcquire() override;

private:
    std::string path_;
    UniqueFd fd_;
};

// $XDG_RUNTIME_DIR/Quellstone.lock, else /tmp/Quellstone-<uid>.lock.
std::string InstanceLockPath(const EnvironmentReader& environment);

}  // namespace quellstone::platform
