#pragma once

#include <QLabel>

namespace quellstone::gui {

// The title at the top of every frame of the main window, drawn large in the
// window's accent colour (the window's style sheet picks it by `frameTitle`).
class FrameHeader : public QLabel {
    Q_OBJECT
public:
    FrameHeader(const QString& name, QWidget* parent);
};

}  // namespace quellstone::gui
