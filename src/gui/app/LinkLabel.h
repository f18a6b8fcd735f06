#pragma once

#include <QLabel>

namespace quellstone::gui {

// A label that acts as a link: clicked with the mouse or, when it has the
// keyboard focus, with Enter or Space; it reports when the pointer enters it.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();
    void hovered();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
};

}  // namespace quellstone::gui
