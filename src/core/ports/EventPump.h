#pragma once

namespace quellstone::ports {

// The yield point of long work on the user-interface thread: runs whatever
// events are pending (timers, clicks) and returns. Implementations may skip
// the work when they ran it only a moment ago.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessPendingEvents() = 0;
};

}  // namespace quellstone::ports
