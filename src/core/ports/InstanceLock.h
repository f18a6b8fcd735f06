#pragma once

namespace quellstone::ports {

// The lock that lets only one instance of the desktop program run per user.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // Takes the lock and holds it for the rest of the run; false when another
    // running instance holds it.
    virtual bool TryAcquire() = 0;
};

}  // namespace quellstone::ports
