#include "gui/main/QuarantineFrame.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>
#include <set>
#include <string>

#include "gui/app/LinkLabel.h"
#include "gui/main/QuarantineSortModel.h"
#include "gui/main/QuarantineTableModel.h"

namespace quellstone::gui {

using C = windows::MainControl;

QuarantineFrame::QuarantineFrame(Host host, QWidget* parent)
    : MainFrame(std::move(host), C::QuarantineTitle, QStringLiteral("quarantine"), parent) {
    rows_ = new QuarantineTableModel(Model(), this);
    sorted_ = new QuarantineSortModel(*rows_, this);
    list_ = new QTreeView(this);
    list_->setObjectName(QStringLiteral("quarantineList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);         // one height for all: a long list lays out at once
    list_->setTextElideMode(Qt::ElideMiddle);  // a path keeps its start and its file name
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setModel(sorted_);
    list_->setSortingEnabled(true);
    list_->sortByColumn(QuarantineTableModel::NameColumn, Qt::AscendingOrder);
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    // The original location takes the room the others leave. The archive's
    // name, as long as the file's was, is cut in the middle (its tooltip and
    // the location hold it whole) rather than push the location out of view.
    for (int column = 0; column < QuarantineTableModel::ColumnCount; ++column) {
        header->setSectionResizeMode(column, column == QuarantineTableModel::LocationColumn
                                                 ? QHeaderView::Stretch
                                                 : QHeaderView::ResizeToContents);
    }
    header->setSectionResizeMode(QuarantineTableModel::NameColumn, QHeaderView::Interactive);
    header->resizeSection(QuarantineTableModel::NameColumn, 170);
    for (auto [control, column] : {std::pair{C::QuarantineColumnName, QuarantineTableModel::NameColumn},
                                   std::pair{C::QuarantineColumnDetection, QuarantineTableModel::DetectionColumn},
                                   std::pair{C::QuarantineColumnSize, QuarantineTableModel::SizeColumn},
                                   std::pair{C::QuarantineColumnLocation, QuarantineTableModel::LocationColumn},
                                   std::pair{C::QuarantineColumnRemoved, QuarantineTableModel::RemovedColumn}}) {
        Captions().Bind(control,
                        [this, column](const QString& text, const QString&) { rows_->SetHeader(column, text); });
    }
    Column()->addWidget(list_, 1);

    using Handler = void (windows::MainWindowModel::*)(const std::vector<std::size_t>&);
    const auto link = [this](C control, const char* name, Handler handler) {
        LinkLabel* created = Captions().Link(control, QString::fromLatin1(name), this, true);
        created->setStyleSheet(QStringLiteral("color: #1f4e79; text-decoration: underline;"));
        // The model has the list reloaded after a change; the redraw shows the rest.
        connect(created, &LinkLabel::clicked, this, [this, handler] {
            (Model().*handler)(SelectedRows());
            Redraw();
        });
        return created;
    };
    LinkLabel* restore = link(C::QuarantineRestore, "restoreLink", &windows::MainWindowModel::QuarantineRestoreClicked);
    LinkLabel* remove = link(C::QuarantineDelete, "deleteLink", &windows::MainWindowModel::QuarantineDeleteClicked);
    AddBottomRow({}, {restore, remove});

    // The Delete key on the list deletes the selected archives, as the link does.
    auto* deleteKey = new QShortcut(QKeySequence::Delete, list_);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, [this] {
        Model().QuarantineDeleteClicked(SelectedRows());
        Redraw();
    });
}

void QuarantineFrame::ReloadList() {
    // By name: the rows' places change with the folder.
    QItemSelectionModel& selection = *list_->selectionModel();
    std::set<std::string> selected;
    for (const QModelIndex& row : selection.selectedRows())
        selected.insert(rows_->ArchiveName(sorted_->mapToSource(row).row()));
    const QModelIndex current = sorted_->mapToSource(list_->currentIndex());
    const std::string currentName = current.isValid() ? rows_->ArchiveName(current.row()) : std::string();

    rows_->Reload();  // the sort model sorts the new rows itself
    if (selected.empty() && currentName.empty()) return;

    QItemSelection kept;
    for (int row = 0; row < rows_->rowCount(); ++row) {
        const std::string& name = rows_->ArchiveName(row);
        const QModelIndex at = sorted_->mapFromSource(rows_->index(row, 0));
        if (selected.contains(name)) kept.select(at, at);
        if (!currentName.empty() && name == currentName) selection.setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    }
    selection.select(kept, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<std::size_t> QuarantineFrame::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& row : list_->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(sorted_->mapToSource(row).row()));
    return rows;
}

}  // namespace quellstone::gui
