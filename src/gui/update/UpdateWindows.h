#pragma once

#include <QObject>
#include <QWidget>
#include <array>
#include <memory>

#include "core/update/UpdateWindowModel.h"
#include "gui/app/Ticker.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quellstone::gui {

// The manual update window: "checking" with a progress bar and Cancel; the
// check runs on its model's first Timer1 tick; closing it cancels the request.
class UpdateWindow : public QWidget {
    Q_OBJECT
public:
    UpdateWindow(update::UpdateWindowModel& model, QWidget* owner, Tickers& tickers = QtTickers::Real());

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AfterHandler();

    update::UpdateWindowModel& model_;
    QLabel* info_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::array<std::unique_ptr<Ticker>, 3> timers_;  // "update.check", "update.progress"
};

// The silent check: no window at all, only its timer.
class SilentUpdate : public QObject {
    Q_OBJECT
public:
    explicit SilentUpdate(update::SilentUpdateModel& model, Tickers& tickers = QtTickers::Real());

private:
    update::SilentUpdateModel& model_;
    std::unique_ptr<Ticker> timer_;  // "update.silent"
};

}  // namespace quellstone::gui
