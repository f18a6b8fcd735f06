#pragma once

#include <QLabel>

namespace quellstone::gui {

// A label that acts as a link: clicked with the mouse or, when it has the
// keyboard focus, with Enter or Space; it reports when the pointer enters it.
// With the focus it draws a frame around itself, and assistive technology
// hears of it as a link named by its text, whose press action clicks it.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // The text a screen reader announces: the accessible name when one is
    // set, otherwise the label's text without its markup.
    [[nodiscard]] QString SpokenText() const;
    // A plain text whose "&" marks an accelerator: the letter is underlined
    // and Alt with it clicks the link.
    void SetAcceleratedText(const QString& text);

signals:
    void clicked();
    void hovered();

protected:
    bool event(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quellstone::gui
