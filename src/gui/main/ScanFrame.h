#pragma once

#include <array>

#include "gui/main/MainFrame.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quellstone::gui {

// The scan frame: the scan mode (with the folder box and its browse button
// for the chosen-folder mode), the scan options and the start button.
class ScanFrame : public MainFrame {
    Q_OBJECT
public:
    ScanFrame(Host host, QWidget* parent);

    void Refresh() override;

private:
    std::array<QRadioButton*, 3> modes_{};  // in the order of scan::ScanMode
    std::array<QCheckBox*, windows::kScanOptionCount> options_{};
    QLineEdit* folder_ = nullptr;
    QPushButton* browse_ = nullptr;
};

}  // namespace quellstone::gui
