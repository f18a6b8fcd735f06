#pragma once

#include <QDialog>

#include "core/windows/MainWindowModel.h"

namespace quellstone::gui {

// The modal About window: the product's name and version, and links to the
// vendor's home page, support page, forum and contact page.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(windows::MainWindowModel& model, const i18n::LanguageTable& texts, QWidget* parent);
};

}  // namespace quellstone::gui
