#include "gui/app/TimerBinding.h"

#include <string>

namespace quellstone::gui {

TimerBinding::TimerBinding(windows::ModelTimers timers, Tickers& tickers, std::function<void()> afterTick) {
    bound_.reserve(timers.size());
    for (windows::ModelTimer& timer : timers) {
        std::unique_ptr<Ticker> ticker = tickers.Make(std::string(timer.name));
        ticker->SetInterval(timer.state.intervalMs);
        ticker->OnTick([tick = timer.tick, afterTick] {
            tick();
            if (afterTick) afterTick();
        });
        bound_.push_back({std::move(timer), std::move(ticker)});
    }
}

void TimerBinding::Sync() {
    for (Bound& bound : bound_) {
        const windows::TimerState& state = bound.timer.state;
        Ticker& ticker = *bound.ticker;
        if (ticker.Interval() != state.intervalMs) ticker.SetInterval(state.intervalMs);
        if (state.enabled && !ticker.IsActive()) ticker.Start();
        if (!state.enabled && ticker.IsActive()) ticker.Stop();
    }
}

void TimerBinding::StopAll() {
    for (Bound& bound : bound_) bound.ticker->Stop();
}

}  // namespace quellstone::gui
