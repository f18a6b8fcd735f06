#pragma once

#include "gui/main/MainFrame.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

namespace quellstone::gui {

// The settings frame: the interface language, saved for the next start,
// whether removal keeps a copy in the quarantine (stored when toggled), and
// the folders scans leave out (stored as they are added and removed).
class SettingsFrame : public MainFrame {
    Q_OBJECT
public:
    SettingsFrame(Host host, QWidget* parent);

    void Refresh() override;

private:
    void AddExcludedFolders();
    void RefreshExcludedFolders();

    QComboBox* language_ = nullptr;
    QCheckBox* keepCopies_ = nullptr;
    QCheckBox* network_ = nullptr;
    QListWidget* excluded_ = nullptr;
    QPushButton* removeExcluded_ = nullptr;
};

}  // namespace quellstone::gui
