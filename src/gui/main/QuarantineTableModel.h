#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/quarantine/QuarantineManager.h"

namespace quellstone::windows {
class MainWindowModel;
}

namespace quellstone::gui {

// The quarantine list as a table of the main window model's rows: the
// archive's name, the detection, the size, and from the archive's record the
// original location and the date of removal in the language's form (empty
// without a record). It holds a copy of the rows taken at the last Reload, so
// what it shows never mixes rows from before and after a change; its row i
// is the model's row i. Each row's texts and sort keys are made once there.
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

    // The archive shown in `row`.
    [[nodiscard]] const std::string& ArchiveName(int row) const;
    // Whether `a` comes before `b` in `column`'s order: names, detections and
    // locations as people sort names ("x (2)" before "x (10)", letter case
    // aside), sizes by number, removal by time.
    [[nodiscard]] bool Less(int column, int a, int b) const;

private:
    struct Shown {
        quarantine::QuarantineRow row;
        std::array<QString, ColumnCount> texts;
        std::array<std::string, ColumnCount> keys;  // upper-cased names, the stored time
        std::optional<std::uint64_t> size;
    };

    [[nodiscard]] QString ToolTip(const Shown& shown) const;

    const windows::MainWindowModel& model_;
    std::vector<Shown> shown_;
    std::array<QString, ColumnCount> headers_;
};

}  // namespace quellstone::gui
