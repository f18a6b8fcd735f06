#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "core/windows/SplashModel.h"
#include "gui/app/Ticker.h"

class QLabel;

namespace quellstone::gui {

// The start-up window: the product picture and a one-line notice, without a
// title bar; hands over to the main window on its model's third tick.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow(windows::SplashModel& model, std::function<void()> handOver, Tickers& tickers = QtTickers::Real());

    // Closes the window if it is still open (the main window's start-up timer asks).
    void CloseIfOpen();

private:
    void Tick();

    windows::SplashModel& model_;
    std::function<void()> handOver_;
    std::unique_ptr<Ticker> timer_;  // "splash"
    QLabel* notice_ = nullptr;
};

}  // namespace quellstone::gui
