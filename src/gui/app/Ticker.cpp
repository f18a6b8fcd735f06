#include "gui/app/Ticker.h"

namespace quellstone::gui {

namespace {

class QtTicker final : public Ticker {
public:
    QtTicker() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }
    void SetInterval(int ms) override { timer_.setInterval(ms); }
    [[nodiscard]] int Interval() const override { return timer_.interval(); }
    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    [[nodiscard]] bool IsActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<Ticker> QtTickers::Make(const std::string&) {
    return std::make_unique<QtTicker>();
}

Tickers& QtTickers::Real() {
    static QtTickers tickers;
    return tickers;
}

}  // namespace quellstone::gui
