#pragma once

#include <cstddef>
#include <optional>

#include "gui/main/MainFrame.h"

class QTreeView;

namespace quellstone::gui {

class QuarantineTableModel;

// The quarantine frame: the archived files, and links that restore or delete
// the selected one.
class QuarantineFrame : public MainFrame {
    Q_OBJECT
public:
    QuarantineFrame(Host host, QWidget* parent);

    [[nodiscard]] QTreeView* List() const { return list_; }
    // Shows the model's rows (when the frame is shown and after a restore or delete).
    void ReloadList();

private:
    [[nodiscard]] std::optional<std::size_t> SelectedRow() const;

    QuarantineTableModel* rows_ = nullptr;
    QTreeView* list_ = nullptr;
};

}  // namespace quellstone::gui
