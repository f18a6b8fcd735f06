#pragma once

namespace quellstone::app {

// A window timer as data: the widget runs a real timer with these settings
// and calls the model's tick handler; a test calls the handler directly.
struct TimerState {
    int intervalMs = 0;
    bool enabled = false;
};

}  // namespace quellstone::app
