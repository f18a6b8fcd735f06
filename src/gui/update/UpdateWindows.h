#pragma once

#include <QObject>
#include <QWidget>
#include <array>
#include <memory>

#include "core/windows/UpdateWindowModel.h"
#include "gui/app/Ticker.h"
#include "gui/app/TimerBinding.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quellstone::gui {

// The manual update window: "checking" with a busy indicator and Cancel
// (Escape too), opened over the centre of its owner; the check runs on its
// model's first check tick; closing it cancels the request.
class UpdateWindow : public QWidget {
    Q_OBJECT
public:
    UpdateWindow(windows::UpdateWindowModel& model, QWidget* owner, Tickers& tickers = QtTickers::Real());

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void AfterHandler();
    void CentreOn(const QWidget* owner);

    windows::UpdateWindowModel& model_;
    QLabel* info_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    TimerBinding timers_;
};

// The silent check: no window at all, only its timer.
class SilentUpdate : public QObject {
    Q_OBJECT
public:
    explicit SilentUpdate(windows::SilentUpdateModel& model, Tickers& tickers = QtTickers::Real());

private:
    TimerBinding timers_;
};

}  // namespace quellstone::gui
