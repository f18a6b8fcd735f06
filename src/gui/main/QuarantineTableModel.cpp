#include "gui/main/QuarantineTableModel.h"

#include <charconv>

#include "core/text/NaturalOrder.h"
#include "core/windows/MainWindowModel.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

namespace {

std::optional<std::uint64_t> SizeOf(const std::string& text) {
    std::uint64_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return size;
}

}  // namespace

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
    if (!index.isValid() || row >= shown_.size() || index.column() < 0 || index.column() >= ColumnCount) return {};
    const Shown& entry = shown_[row];
    switch (role) {
        case Qt::DisplayRole: return entry.texts[static_cast<std::size_t>(index.column())];
        case Qt::ToolTipRole: return ToolTip(entry);
        case Qt::TextAlignmentRole:
            if (index.column() == SizeColumn)
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return {};
        default: return {};
    }
}

QString QuarantineTableModel::ToolTip(const Shown& shown) const {
    // The whole name, detection and place, which the columns may cut short.
    QStringList lines;
    for (const Column column : {NameColumn, DetectionColumn, LocationColumn}) {
        const QString& value = shown.texts[column];
        if (!value.isEmpty()) lines << headers_[column] + QStringLiteral(": ") + value;
    }
    return lines.join(QLatin1Char('\n'));
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
    shown_.clear();
    shown_.reserve(model_.QuarantineRows().size());
    for (const quarantine::QuarantineRow& row : model_.QuarantineRows()) {
        Shown entry{row, {}, {}, SizeOf(row.size)};
        entry.texts = {ForDisplay(row.name), ForDisplay(row.detection), QString::fromStdString(row.size),
                       ForDisplay(row.originalPath), ForDisplay(model_.TimeAsShown(row.removedAt))};
        entry.keys = {text::NaturalKey(row.name),
                      text::NaturalKey(row.detection),
                      {},
                      text::NaturalKey(row.originalPath),
                      row.removedAt};
        shown_.push_back(std::move(entry));
    }
    endResetModel();
}

const std::string& QuarantineTableModel::ArchiveName(int row) const {
    return shown_[static_cast<std::size_t>(row)].row.name;
}

bool QuarantineTableModel::Less(int column, int a, int b) const {
    const Shown& first = shown_[static_cast<std::size_t>(a)];
    const Shown& second = shown_[static_cast<std::size_t>(b)];
    const auto at = static_cast<std::size_t>(column);
    switch (column) {
        case NameColumn: break;  // below
        case SizeColumn:
            // An unreadable size first, as the smallest.
            if (first.size != second.size) return first.size < second.size;
            break;
        case RemovedColumn:
            // Stored as "YYYY-MM-DD HH:MM:SS": the text's order is the time's.
            if (first.keys[at] != second.keys[at]) return first.keys[at] < second.keys[at];
            break;
        default:
            if (const auto order = text::NaturalCompare(first.keys[at], second.keys[at]); order != 0) return order < 0;
            break;
    }
    // By name, and within a column by name where it cannot tell rows apart,
    // so the list never shuffles equal rows.
    return text::NaturalLess(first.keys[NameColumn], first.row.name, second.keys[NameColumn], second.row.name);
}

}  // namespace quellstone::gui
