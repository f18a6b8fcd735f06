#include "gui/scan/ResultTableModel.h"

#include "core/windows/ScanWindowModel.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

ResultTableModel::ResultTableModel(windows::ScanWindowModel& model, QObject* parent)
    : QAbstractTableModel(parent),
      model_(model),
      icons_{QIcon(QStringLiteral(":/pictures/detected.svg")), QIcon(QStringLiteral(":/pictures/removed.svg")),
             QIcon(QStringLiteral(":/pictures/notremoved.svg"))} {}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shownImages_.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const QIcon& ResultTableModel::OutcomeIcon(int image) const {
    switch (image) {
        case windows::kImageRemoved: return icons_[1];
        case windows::kImageNotRemoved: return icons_[2];
        default: return icons_[0];
    }
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    const auto& rows = model_.Rows();
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= rows.size()) return {};
    const windows::ResultRow& result = rows[row];
    if (role == Qt::AccessibleTextRole) {
        return ForDisplay(result.detection) + QStringLiteral(", ") + ForDisplay(model_.StatusText(result)) +
               QStringLiteral(", ") + ForDisplay(result.path);
    }
    if (index.column() == PathColumn) {
        const bool shown = role == Qt::DisplayRole || role == Qt::ToolTipRole;
        return shown ? QVariant(ForDisplay(result.path)) : QVariant();
    }
    if (index.column() == StatusColumn) {
        const bool shown = role == Qt::DisplayRole || role == Qt::ToolTipRole;
        return shown ? QVariant(ForDisplay(model_.StatusText(result))) : QVariant();
    }
    switch (role) {
        case Qt::DisplayRole: return ForDisplay(result.detection);
        case Qt::DecorationRole: return OutcomeIcon(result.image);
        case Qt::CheckStateRole: return result.checked ? Qt::Checked : Qt::Unchecked;
        default: return {};
    }
}

bool ResultTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != DetectionColumn || role != Qt::CheckStateRole) return false;
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= model_.Rows().size()) return false;
    model_.SetRowChecked(row, value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
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
    const auto& rows = model_.Rows();
    if (rows.size() < shownImages_.size()) {
        beginResetModel();
        shownImages_.clear();
        endResetModel();
        return;
    }
    // One signal over the span of changed rows: a removal pass changes many at once.
    int first = -1;
    int last = -1;
    for (std::size_t i = 0; i < shownImages_.size(); ++i) {
        if (shownImages_[i] == rows[i].image) continue;
        shownImages_[i] = rows[i].image;
        if (first < 0) first = static_cast<int>(i);
        last = static_cast<int>(i);
    }
    if (first >= 0) emit dataChanged(index(first, DetectionColumn), index(last, StatusColumn));
}

bool ResultTableModel::HasNewRows() const {
    return model_.Rows().size() > shownImages_.size();
}

void ResultTableModel::ShowNewRows() {
    const auto& rows = model_.Rows();
    if (rows.size() <= shownImages_.size()) return;
    beginInsertRows({}, static_cast<int>(shownImages_.size()), static_cast<int>(rows.size()) - 1);
    for (std::size_t i = shownImages_.size(); i < rows.size(); ++i) shownImages_.push_back(rows[i].image);
    endInsertRows();
}

}  // namespace quellstone::gui
