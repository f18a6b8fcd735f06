#pragma once

#include <QAccessibleWidget>

namespace quellstone::gui {

// What assistive technology is told of a LinkLabel: a link (not static
// text), named by its accessible name or else its text, that can be pressed.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(QWidget* link);

    [[nodiscard]] QString text(QAccessible::Text which) const override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& name) override;
};

// Has Qt describe every LinkLabel through LinkAccessible; the first call
// installs it, later calls do nothing.
void InstallLinkAccessibility();

}  // namespace quellstone::gui
