#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <array>
#include <vector>

#include "core/windows/ScanResults.h"

namespace quellstone::gui {

// The scan window's result list as a table over its rows: the detection with
// its check box and the picture of the row's state (detected, removed, not
// removed), the detected entry's path, and the outcome in words (each cell's
// tooltip has the whole path and outcome); a row's accessible text names all three. It shows the
// rows it was told about; rows the walk adds join it in batches (ShowNewRows).
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { DetectionColumn, PathColumn, StatusColumn, ColumnCount };

    explicit ResultTableModel(windows::ScanResults& results, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    // Ticking or unticking a row's box ticks the list's row.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Ticks the row if it is unticked, else unticks it.
    void ToggleChecked(int row);
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetHeader(Column column, const QString& text);

    // Draws again the shown rows whose outcome changed, and drops every row
    // when the list was emptied (a new scan in the same window).
    void RedrawShownRows();
    [[nodiscard]] bool HasNewRows() const;
    // Shows the rows the list gained since the last call, in one insertion.
    void ShowNewRows();

private:
    [[nodiscard]] const QIcon& OutcomeIcon(windows::ResultState state) const;

    windows::ScanResults& results_;
    std::vector<windows::ResultState> shownStates_;  // the state each shown row was drawn with
    std::array<QString, ColumnCount> headers_;
    std::array<QIcon, 3> icons_;  // the picture of each ResultState, by its value
};

}  // namespace quellstone::gui
