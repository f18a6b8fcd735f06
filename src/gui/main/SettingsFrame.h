#pragma once

#include "gui/main/MainFrame.h"

class QCheckBox;
class QComboBox;

namespace quellstone::gui {

// The settings frame: the interface language, saved for the next start, and
// whether removal keeps a copy in the quarantine (stored when toggled).
class SettingsFrame : public MainFrame {
    Q_OBJECT
public:
    SettingsFrame(Host host, QWidget* parent);

    void Refresh() override;

private:
    QComboBox* language_ = nullptr;
    QCheckBox* keepCopies_ = nullptr;
};

}  // namespace quellstone::gui
