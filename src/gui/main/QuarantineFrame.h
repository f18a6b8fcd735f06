#pragma once

#include <cstddef>
#include <vector>

#include "gui/main/MainFrame.h"

class QTreeView;

namespace quellstone::gui {

class QuarantineSortModel;
class QuarantineTableModel;

// The quarantine frame: the archived files, sorted by the column clicked, and
// links that restore or delete the selected ones.
class QuarantineFrame : public MainFrame {
    Q_OBJECT
public:
    QuarantineFrame(Host host, QWidget* parent);

    [[nodiscard]] QTreeView* List() const { return list_; }
    // Shows the model's rows (when the frame is shown, after a restore or
    // delete, and when the folder changes), keeping the selected archives
    // selected while they are still listed.
    void ReloadList();

private:
    // The selected rows as the model counts them.
    [[nodiscard]] std::vector<std::size_t> SelectedRows() const;

    QuarantineTableModel* rows_ = nullptr;
    QuarantineSortModel* sorted_ = nullptr;
    QTreeView* list_ = nullptr;
};

}  // namespace quellstone::gui
