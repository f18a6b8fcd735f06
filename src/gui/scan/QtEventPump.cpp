#include "gui/scan/QtEventPump.h"

#include <QCoreApplication>

namespace quellstone::gui {

void QtEventPump::ProcessPendingEvents() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kInterval) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    last_ = std::chrono::steady_clock::now();
}

}  // namespace quellstone::gui
