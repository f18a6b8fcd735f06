#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "core/windows/AlertModel.h"
#include "gui/app/Ticker.h"
#include "gui/app/TimerBinding.h"

class QLabel;

namespace quellstone::gui {

// A passing notice: slides up at the bottom right of the screen, stays five
// seconds, slides down and deletes itself. Takes no input. It is as wide as
// its title (never cut) and as high as its message, wrapped at that width.
class AlertWindow : public QWidget {
    Q_OBJECT
public:
    AlertWindow(const std::string& title, const std::string& message, Tickers& tickers = QtTickers::Real());
    [[nodiscard]] const windows::AlertModel& Model() const { return model_; }

private:
    void FitToText(QLabel& titleLabel);
    void Place();
    void AfterTick();

    windows::AlertModel model_;
    TimerBinding timers_;
};

// Raises alerts: set Title and Message, then FlatStyle() opens a new window
// with them; several can be on screen at once, each closing by itself.
class Alert {
public:
    std::string Title;
    std::string Message;
    AlertWindow* FlatStyle() const;
};

}  // namespace quellstone::gui
