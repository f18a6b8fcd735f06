#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace quellstone::windows {

// A window timer as data: the widget runs a real timer with these settings
// and calls the model's tick handler; a test calls the handler directly.
struct TimerState {
    int intervalMs = 0;
    bool enabled = false;
};

// One of a window model's timers as a front end runs it: the name its
// ticker goes by, the state the model keeps, and what one tick does.
struct ModelTimer {
    std::string_view name;
    const TimerState& state;
    std::function<void()> tick;
};
using ModelTimers = std::vector<ModelTimer>;

}  // namespace quellstone::windows
