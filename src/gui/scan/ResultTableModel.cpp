#include "gui/scan/ResultTableModel.h"

#include "gui/app/Pictures.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

using windows::ResultState;

ResultTableModel::ResultTableModel(windows::ScanResults& results, QObject* parent)
    : QAbstractTableModel(parent), results_(results) {
    for (const ResultState state : {ResultState::Detected, ResultState::Removed, ResultState::NotRemoved})
        icons_[static_cast<std::size_t>(state)] = ResultStatePicture(state);
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shownStates_.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const QIcon& ResultTableModel::OutcomeIcon(ResultState state) const {
    return icons_[static_cast<std::size_t>(state)];
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    const auto& rows = results_.Rows();
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= rows.size()) return {};
    const windows::ResultRow& result = rows[row];
    if (role == Qt::AccessibleTextRole) {
        return ForDisplay(result.detection) + QStringLiteral(", ") + ForDisplay(results_.StatusText(result)) +
               QStringLiteral(", ") + ForDisplay(result.path);
    }
    // Every cell's tooltip has the whole path and the whole outcome, which the columns may cut.
    if (role == Qt::ToolTipRole) {
        return ForDisplay(result.path) + QStringLiteral("\n") + ForDisplay(results_.StatusText(result));
    }
    if (index.column() == PathColumn) return role == Qt::DisplayRole ? QVariant(ForDisplay(result.path)) : QVariant();
    if (index.column() == StatusColumn) {
        return role == Qt::DisplayRole ? QVariant(ForDisplay(results_.StatusText(result))) : QVariant();
    }
    switch (role) {
        case Qt::DisplayRole: return ForDisplay(result.detection);
        case Qt::DecorationRole: return OutcomeIcon(result.state);
        case Qt::CheckStateRole: return result.checked ? Qt::Checked : Qt::Unchecked;
        default: return {};
    }
}

bool ResultTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != DetectionColumn || role != Qt::CheckStateRole) return false;
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= results_.Rows().size()) return false;
    results_.SetChecked(row, value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

void ResultTableModel::ToggleChecked(int row) {
    const QModelIndex box = index(row, DetectionColumn);
    if (!box.isValid()) return;
    const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == DetectionColumn) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
    return headers_[static_cast<std::size_t>(section)];
}

void ResultTableModel::SetHeader(Column column, const QString& text) {
    QString& header = headers_[static_cast<std::size_t>(column)];
    if (header == text) return;
    header = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ResultTableModel::RedrawShownRows() {
    const auto& rows = results_.Rows();
    if (rows.size() < shownStates_.size()) {
        beginResetModel();
        shownStates_.clear();
        endResetModel();
        return;
    }
    // One signal over the span of changed rows: a removal pass changes many at once.
    int first = -1;
    int last = -1;
    for (std::size_t i = 0; i < shownStates_.size(); ++i) {
        if (shownStates_[i] == rows[i].state) continue;
        shownStates_[i] = rows[i].state;
        if (first < 0) first = static_cast<int>(i);
        last = static_cast<int>(i);
    }
    if (first >= 0) emit dataChanged(index(first, DetectionColumn), index(last, StatusColumn));
}

bool ResultTableModel::HasNewRows() const {
    return results_.Rows().size() > shownStates_.size();
}

void ResultTableModel::ShowNewRows() {
    const auto& rows = results_.Rows();
    if (rows.size() <= shownStates_.size()) return;
    beginInsertRows({}, static_cast<int>(shownStates_.size()), static_cast<int>(rows.size()) - 1);
    for (std::size_t i = shownStates_.size(); i < rows.size(); ++i) shownStates_.push_back(rows[i].state);
    endInsertRows();
}

}  // namespace quellstone::gui
