#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>
#include <array>

#include "core/update/UpdateWindowModel.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quellstone::gui {

// The manual update window: "checking" with a progress bar and Cancel; the
// check runs on its model's first Timer1 tick; closing it cancels the request.
class UpdateWindow : public QWidget {
    Q_OBJECT
public:
    UpdateWindow(update::UpdateWindowModel& model, QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AfterHandler();

    update::UpdateWindowModel& model_;
    QLabel* info_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::array<QTimer, 3> timers_;
};

// The silent check: no window at all, only its timer.
class SilentUpdate : public QObject {
    Q_OBJECT
public:
    explicit SilentUpdate(update::SilentUpdateModel& model);

private:
    update::SilentUpdateModel& model_;
    QTimer timer_;
};

}  // namespace quellstone::gui
