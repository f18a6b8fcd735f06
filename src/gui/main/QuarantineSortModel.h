#pragma once

#include <QSortFilterProxyModel>

namespace quellstone::gui {

class QuarantineTableModel;

// The quarantine list in the order of the column the user clicked, by the
// table's own comparison of that column (see QuarantineTableModel::Less).
class QuarantineSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    QuarantineSortModel(QuarantineTableModel& rows, QObject* parent);

protected:
    [[nodiscard]] bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    const QuarantineTableModel& rows_;
};

}  // namespace quellstone::gui
