#include "gui/main/QuarantineTableModel.h"

#include "core/windows/MainWindowModel.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

QuarantineTableModel::QuarantineTableModel(const windows::MainWindowModel& model, QObject* parent)
    : QAbstractTableModel(parent), model_(model) {}

int QuarantineTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int QuarantineTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant QuarantineTableModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= shown_.size()) return {};
    const quarantine::QuarantineRow& entry = shown_[row];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case NameColumn: return ForDisplay(entry.name);
            case DetectionColumn: return ForDisplay(entry.detection);
            case SizeColumn: return QString::fromStdString(entry.size);
            case LocationColumn: return ForDisplay(entry.originalPath);
            case RemovedColumn: return ForDisplay(entry.removedAt);
            default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == SizeColumn) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    }
    return {};
}

QVariant QuarantineTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
    return headers_[static_cast<std::size_t>(section)];
}

void QuarantineTableModel::SetHeader(Column column, const QString& text) {
    QString& header = headers_[static_cast<std::size_t>(column)];
    if (header == text) return;
    header = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void QuarantineTableModel::Reload() {
    beginResetModel();
    shown_ = model_.QuarantineRows();
    endResetModel();
}

}  // namespace quellstone::gui
