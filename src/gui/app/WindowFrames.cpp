#include "gui/app/WindowFrames.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace quellstone::gui {

namespace {

// The frame as the platform reports it; zero margins where it draws none
// (or none is known yet).
windows::FrameMargins ReportedFrame(const QWidget& window) {
    const QRect inside = window.geometry();
    const QRect outside = window.frameGeometry();
    return {inside.left() - outside.left(), inside.top() - outside.top(), outside.right() - inside.right(),
            outside.bottom() - inside.bottom()};
}

}  // namespace

windows::WindowRect ToWindowRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

windows::FrameMargins FrameMarginsOf(const QWidget& window, const QWidget* shown) {
    if (window.isVisible()) return ReportedFrame(window);
    if (shown && shown->isVisible()) return ReportedFrame(*shown);
    // Not shown yet: a title bar and borders as the style draws them in a
    // workspace, which is near what window managers draw.
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {border, title + border, border, border};
}

void PlaceOverOwner(QWidget& window, const QWidget* owner) {
    const QScreen* screen = owner ? owner->screen() : window.screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const bool overOwner = owner && owner->isVisible();
    // The places are of the insides: resize and setGeometry take the inside.
    const windows::WindowRect available = windows::InsideFrame(ToWindowRect(area), FrameMarginsOf(window, owner));
    const windows::WindowRect placed = windows::PlaceOver(overOwner ? ToWindowRect(owner->geometry()) : available,
                                                          available, window.width(), window.height());
    window.setGeometry(placed.x, placed.y, placed.width, placed.height);
}

}  // namespace quellstone::gui
