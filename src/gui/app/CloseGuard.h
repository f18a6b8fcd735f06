#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

namespace quellstone::gui {

// Asks before a window closes: a close event (the title bar's close box,
// QWidget::close) reaches the window only when `mayClose` agrees; otherwise
// it is refused and the window stays as it was.
class CloseGuard : public QObject {
public:
    CloseGuard(QObject* watched, std::function<bool()> mayClose) : QObject(watched), mayClose_(std::move(mayClose)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close || !mayClose_ || mayClose_()) return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }

private:
    std::function<bool()> mayClose_;
};

}  // namespace quellstone::gui
