#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/app/Ticker.h"

namespace quellstone::testing {

// Window timers that tick only when the test says so. Each ticker is found
// by the name its window gave it; a fire reaches a running one only.
class ManualTickers final : public gui::Tickers {
public:
    class Ticker final : public gui::Ticker {
    public:
        Ticker(ManualTickers& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
        ~Ticker() override { owner_.Forget(this); }
        Ticker(const Ticker&) = delete;
        Ticker& operator=(const Ticker&) = delete;

        void SetInterval(int ms) override {
            interval_ = ms;
            if (active_) ++starts_;  // a running timer starts its interval anew
        }
        [[nodiscard]] int Interval() const override { return interval_; }
        void Start() override {
            active_ = true;
            ++starts_;
        }
        void Stop() override { active_ = false; }
        [[nodiscard]] bool IsActive() const override { return active_; }
        void Fire() { Tick(); }
        // How often the interval began anew: a start, or a new interval while running.
        [[nodiscard]] int Starts() const { return starts_; }

    private:
        ManualTickers& owner_;
        std::string name_;
        int interval_ = 0;
        bool active_ = false;
        int starts_ = 0;
    };

    std::unique_ptr<gui::Ticker> Make(const std::string& name) override {
        auto ticker = std::make_unique<Ticker>(*this, name);
        living_[name].push_back(ticker.get());
        return ticker;
    }

    // The newest living ticker of that name, or null.
    Ticker* Find(const std::string& name) {
        const auto it = living_.find(name);
        return it == living_.end() || it->second.empty() ? nullptr : it->second.back();
    }

    // Ticks the newest ticker of that name if it runs; false when none runs.
    bool Fire(const std::string& name) {
        Ticker* ticker = Find(name);
        if (!ticker || !ticker->IsActive()) return false;
        ticker->Fire();
        return true;
    }

private:
    void Forget(Ticker* ticker) {
        for (auto& [name, tickers] : living_) std::erase(tickers, ticker);
    }

    std::map<std::string, std::vector<Ticker*>> living_;
};

}  // namespace quellstone::testing
