#pragma once

#include <chrono>
#include <functional>

#include "core/ports/EventPump.h"

namespace quellstone::gui {

// The walk's yield point in the desktop program: runs the pending events
// (repaints, timers, clicks) at most every 15 ms, so that painting does not
// set the pace of a scan, and first lets the open windows draw what changed.
class QtEventPump final : public ports::EventPump {
public:
    explicit QtEventPump(std::function<void()> beforeEvents = {}) : beforeEvents_(std::move(beforeEvents)) {}
    void SetBeforeEvents(std::function<void()> beforeEvents) { beforeEvents_ = std::move(beforeEvents); }
    void ProcessPendingEvents() override;

private:
    static constexpr std::chrono::milliseconds kInterval{15};
    std::function<void()> beforeEvents_;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace quellstone::gui
