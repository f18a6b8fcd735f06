#include "gui/app/LinkLabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocumentFragment>

namespace quellstone::gui {

namespace {

// What assistive technology sees of a LinkLabel: a link, not static text.
class LinkAccessible final : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link), link_(link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return link_->SpokenText();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) emit link_->clicked();
    }

private:
    LinkLabel* link_;
};

QAccessibleInterface* LinkAccessibleFactory(const QString& className, QObject* object) {
    auto* link = qobject_cast<LinkLabel*>(object);
    if (!link || className != QLatin1String(LinkLabel::staticMetaObject.className())) return nullptr;
    return new LinkAccessible(link);  // owned by Qt's accessibility cache
}

}  // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&LinkAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

QString LinkLabel::SpokenText() const {
    if (!accessibleName().isEmpty()) return accessibleName();
    if (textFormat() == Qt::PlainText || !Qt::mightBeRichText(text())) return text();
    return QTextDocumentFragment::fromHtml(text()).toPlainText();
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
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace quellstone::gui
