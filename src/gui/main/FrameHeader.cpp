#include "gui/main/FrameHeader.h"

namespace quellstone::gui {

FrameHeader::FrameHeader(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setWordWrap(true);
    setProperty("frameTitle", true);
}

}  // namespace quellstone::gui
