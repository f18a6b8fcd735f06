#pragma once

#include <array>

#include "gui/main/MainFrame.h"

class QGridLayout;
class QLabel;

namespace quellstone::gui {

// The information frame: the signature database, the status of the
// protection and the scan statistics, with a link to the quarantine and a
// button that resets the statistics.
class InformationFrame : public MainFrame {
    Q_OBJECT
public:
    InformationFrame(Host host, QWidget* parent);
    void Refresh() override;

private:
    // The database update link, with the update's progress and result beside it.
    void AddDatabaseUpdateRow(QGridLayout& grid, int row);

    QLabel* databaseLoaded_ = nullptr;
    std::array<QLabel*, 2> systemScanLine_{};  // the caption and the value of the system's last scan
    int shownUsable_ = -1;                     // the colour the database line has: -1 none yet, 0 red, 1 green
};

}  // namespace quellstone::gui
