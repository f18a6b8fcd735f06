#include "gui/app/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTextDocumentFragment>

#include "gui/app/LinkAccessible.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    InstallLinkAccessibility();
}

QString LinkLabel::SpokenText() const {
    if (!accessibleName().isEmpty()) return accessibleName();
    if (buddy() == this) return ForLabel(text().toStdString());
    if (textFormat() == Qt::PlainText || !Qt::mightBeRichText(text())) return text();
    return QTextDocumentFragment::fromHtml(text()).toPlainText();
}

void LinkLabel::SetAcceleratedText(const QString& text) {
    setTextFormat(Qt::PlainText);
    // A label draws and registers its accelerator only for a buddy; the link is its own.
    setBuddy(this);
    setText(text);
}

bool LinkLabel::event(QEvent* event) {
    // A label's accelerator only moves the focus to its buddy; a link's clicks it,
    // unless another control of the window has the same letter.
    if (event->type() == QEvent::Shortcut && buddy() == this) {
        setFocus(Qt::ShortcutFocusReason);
        if (!static_cast<QShortcutEvent*>(event)->isAmbiguous()) emit clicked();
        return true;
    }
    return QLabel::event(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    emit hovered();
    QLabel::enterEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    // Drawn by hand: some styles show a focus frame only after a key press,
    // and a link reached by any means must show where the keyboard is.
    // Dotted, in the link's own text colour: it shows on every background the
    // text itself shows on.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace quellstone::gui
