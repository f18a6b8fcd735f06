#pragma once

#include <QTimer>
#include <functional>
#include <memory>
#include <string>

namespace quellstone::gui {

// One window timer as a widget runs it for its model: an interval, on or
// off, and the handler each tick calls. The program runs every ticker on a
// QTimer; a test hands the windows tickers that it fires itself, so a test
// steps a window's timers instead of waiting for them.
class Ticker {
public:
    virtual ~Ticker() = default;
    // Like QTimer::setInterval: a running ticker starts its interval anew.
    virtual void SetInterval(int ms) = 0;
    [[nodiscard]] virtual int Interval() const = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    [[nodiscard]] virtual bool IsActive() const = 0;

    void OnTick(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void Tick() {
        if (handler_) handler_();
    }

private:
    std::function<void()> handler_;
};

// Makes the tickers of the windows. `name` says whose timer it is
// ("splash", "main.silentCheckStart", "update.check", "update.silent", "scan.stop", ...).
class Tickers {
public:
    virtual ~Tickers() = default;
    virtual std::unique_ptr<Ticker> Make(const std::string& name) = 0;
};

// The program's tickers: each one a QTimer.
class QtTickers final : public Tickers {
public:
    std::unique_ptr<Ticker> Make(const std::string& name) override;
    // One stateless instance serves every window that is given no other.
    static Tickers& Real();
};

}  // namespace quellstone::gui
