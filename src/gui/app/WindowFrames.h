#pragma once

#include <QRect>

#include "core/windows/WindowGeometry.h"

class QWidget;

namespace quellstone::gui {

windows::WindowRect ToWindowRect(const QRect& rect);

// How far the frame the window manager draws reaches beyond `window`'s
// inside. A window has its frame only once it is shown; until then the
// frame of `shown` (a window of the same program that has one) stands in,
// and without that an estimate from the style.
windows::FrameMargins FrameMarginsOf(const QWidget& window, const QWidget* shown = nullptr);

// Centres `window` over `owner` on the owner's screen, with the window's
// frame, not only its inside, kept in the screen's free area. Without an
// owner on show, centred on the screen.
void PlaceOverOwner(QWidget& window, const QWidget* owner);

}  // namespace quellstone::gui
