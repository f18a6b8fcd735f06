#include "gui/app/LinkAccessible.h"

#include "gui/app/LinkLabel.h"

namespace quellstone::gui {

namespace {

QAccessibleInterface* DescribeLink(const QString& className, QObject* object) {
    auto* link = qobject_cast<LinkLabel*>(object);
    if (!link || className != QLatin1String(LinkLabel::staticMetaObject.className())) return nullptr;
    return new LinkAccessible(link);  // Qt's accessibility cache owns it
}

}  // namespace

LinkAccessible::LinkAccessible(QWidget* link) : QAccessibleWidget(link, QAccessible::Link) {}

QString LinkAccessible::text(QAccessible::Text which) const {
    if (which != QAccessible::Name) return QAccessibleWidget::text(which);
    return static_cast<const LinkLabel*>(widget())->SpokenText();
}

QStringList LinkAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void LinkAccessible::doAction(const QString& name) {
    if (name == pressAction()) {
        emit static_cast<LinkLabel*>(widget())->clicked();
        return;
    }
    QAccessibleWidget::doAction(name);
}

void InstallLinkAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&DescribeLink);
        return true;
    }();
}

}  // namespace quellstone::gui
