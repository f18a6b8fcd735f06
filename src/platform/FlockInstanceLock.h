#pragma once

#include <string>

#include "core/ports/InstanceLock.h"
#include "platform/UniqueFd.h"
#include "platform/UserFolders.h"

namespace quellstone::platform {

// An exclusive flock on a lock file, held until the process ends (the
// kernel releases it even after a crash, so a stale file never blocks).
// TryAcquire is false only when another copy holds the lock; a lock file that
// cannot be opened or locked at all lets the program run unguarded.
class FlockInstanceLock final : public ports::InstanceLock {
public:
    explicit FlockInstanceLock(std::string path) : path_(std::move(path)) {}
    bool TryAcquire() override;

private:
    std::string path_;
    UniqueFd fd_;
};

// What a failed flock(LOCK_EX | LOCK_NB) on the lock file means.
enum class FlockRefusal {
    AnotherInstance,  // EWOULDBLOCK: another copy holds the lock
    RunUnguarded,     // anything else: the lock cannot be had here, the program runs without it
};

// Only EWOULDBLOCK says that another copy runs. A file system without flock
// support (some network and FUSE file systems) answers ENOLCK, EOPNOTSUPP or
// ENOTSUP, or EINVAL; there, as for any other error, refusing to start would
// lock the user out of the program for good, so it runs unguarded.
FlockRefusal ClassifyFlockError(int error);

// $XDG_RUNTIME_DIR/Quellstone.lock, else /tmp/Quellstone-<uid>.lock.
std::string InstanceLockPath(const EnvironmentReader& environment);

}  // namespace quellstone::platform
