#pragma once

#include <chrono>

#include "core/ports/EventPump.h"

namespace quellstone::gui {

// The yield point of a wait on the window's thread (an update's download):
// runs the pending events (repaints, timers, clicks) at most every 15 ms, so
// that painting does not set the pace of the work.
class QtEventPump final : public ports::EventPump {
public:
    void ProcessPendingEvents() override;

private:
    static constexpr std::chrono::milliseconds kInterval{15};
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace quellstone::gui
