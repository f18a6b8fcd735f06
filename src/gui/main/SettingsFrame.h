#pragma once

#include "gui/main/MainFrame.h"

class QComboBox;

namespace quellstone::gui {

// The settings frame: the interface language, saved for the next start.
class SettingsFrame : public MainFrame {
    Q_OBJECT
public:
    SettingsFrame(Host host, QWidget* parent);

    void Refresh() override;

private:
    QComboBox* language_ = nullptr;
};

}  // namespace quellstone::gui
