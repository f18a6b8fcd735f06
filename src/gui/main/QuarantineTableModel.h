#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>

namespace quellstone::windows {
class MainWindowModel;
}

namespace quellstone::gui {

// The quarantine list as a table over the main window model's rows: the
// archive's name, the detection and the size. It shows the rows as they were
// at the last Reload.
class QuarantineTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, DetectionColumn, SizeColumn, ColumnCount };

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
    int shown_ = 0;
    std::array<QString, ColumnCount> headers_;
};

}  // namespace quellstone::gui
