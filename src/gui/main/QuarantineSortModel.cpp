#include "gui/main/QuarantineSortModel.h"

#include "gui/main/QuarantineTableModel.h"

namespace quellstone::gui {

QuarantineSortModel::QuarantineSortModel(QuarantineTableModel& rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows) {
    setSourceModel(&rows);
}

bool QuarantineSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return rows_.Less(left.column(), left.row(), right.row());
}

}  // namespace quellstone::gui
