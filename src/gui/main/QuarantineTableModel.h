#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

#include "core/quarantine/QuarantineManager.h"

namespace quellstone::windows {
class MainWindowModel;
}

namespace quellstone::gui {

// The quarantine list as a table of the main window model's rows: the
// archive's name, the detection, the size, and from the archive's record the
// original location and the date of removal (empty without a record). It
// holds a copy of the rows taken at the last Reload, so what it shows never
// mixes rows from before and after a change.
class QuarantineTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, DetectionColumn, SizeColumn, LocationColumn, RemovedColumn, ColumnCount };

    explicit QuarantineTableModel(const windows::MainWindowModel& model, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetHeader(Column column, const QString& text);
    // Shows the model's current rows in place of the ones shown.
    void Reload();

private:
    const windows::MainWindowModel& model_;
    std::vector<quarantine::QuarantineRow> shown_;
    std::array<QString, ColumnCount> headers_;
};

}  // namespace quellstone::gui
