#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/windows/TimerState.h"
#include "gui/app/Ticker.h"

namespace quellstone::gui {

// Runs a window model's timers on tickers: one ticker per model timer, made
// under the timer's name. A tick calls the model's handler and then
// `afterTick`, where the window shows the model's new state and calls Sync.
class TimerBinding {
public:
    TimerBinding(windows::ModelTimers timers, Tickers& tickers, std::function<void()> afterTick);

    // Starts and stops the tickers as the model's timers say. Setting an
    // interval restarts a running timer, so only a changed interval is set.
    void Sync();
    // Stops every ticker (the window goes away while its model may live on).
    void StopAll();

private:
    struct Bound {
        windows::ModelTimer timer;
        std::unique_ptr<Ticker> ticker;
    };
    std::vector<Bound> bound_;
};

}  // namespace quellstone::gui
