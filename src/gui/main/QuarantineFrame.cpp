#include "gui/main/QuarantineFrame.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/app/LinkLabel.h"
#include "gui/main/QuarantineTableModel.h"

namespace quellstone::gui {

using C = windows::MainControl;

QuarantineFrame::QuarantineFrame(Host host, QWidget* parent)
    : MainFrame(std::move(host), C::QuarantineTitle, QStringLiteral("quarantine"), parent) {
    rows_ = new QuarantineTableModel(Model(), this);
    list_ = new QTreeView(this);
    list_->setObjectName(QStringLiteral("quarantineList"));
    list_->setRootIsDecorated(false);
    list_->setTextElideMode(Qt::ElideMiddle);  // a path keeps its start and its file name
    list_->setModel(rows_);
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QuarantineTableModel::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(QuarantineTableModel::DetectionColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(QuarantineTableModel::SizeColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(QuarantineTableModel::LocationColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(QuarantineTableModel::RemovedColumn, QHeaderView::ResizeToContents);
    for (auto [control, column] : {std::pair{C::QuarantineColumnName, QuarantineTableModel::NameColumn},
                                   std::pair{C::QuarantineColumnDetection, QuarantineTableModel::DetectionColumn},
                                   std::pair{C::QuarantineColumnSize, QuarantineTableModel::SizeColumn},
                                   std::pair{C::QuarantineColumnLocation, QuarantineTableModel::LocationColumn},
                                   std::pair{C::QuarantineColumnRemoved, QuarantineTableModel::RemovedColumn}}) {
        Captions().Bind(control,
                        [this, column](const QString& text, const QString&) { rows_->SetHeader(column, text); });
    }
    Column()->addWidget(list_, 1);

    using Handler = void (windows::MainWindowModel::*)(std::optional<std::size_t>);
    const auto link = [this](C control, const char* name, Handler handler) {
        LinkLabel* created = Captions().Link(control, QString::fromLatin1(name), this);
        created->setStyleSheet(QStringLiteral("color: #1f4e79; text-decoration: underline;"));
        // The model has the list reloaded after a change; the redraw shows the rest.
        connect(created, &LinkLabel::clicked, this, [this, handler] {
            (Model().*handler)(SelectedRow());
            Redraw();
        });
        return created;
    };
    LinkLabel* restore = link(C::QuarantineRestore, "restoreLink", &windows::MainWindowModel::QuarantineRestoreClicked);
    LinkLabel* remove = link(C::QuarantineDelete, "deleteLink", &windows::MainWindowModel::QuarantineDeleteClicked);
    AddBottomRow({}, {restore, remove});

    // The Delete key on the list deletes the selected archive, as the link does.
    auto* deleteKey = new QShortcut(QKeySequence::Delete, list_);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, [this] {
        Model().QuarantineDeleteClicked(SelectedRow());
        Redraw();
    });
}

void QuarantineFrame::ReloadList() {
    rows_->Reload();
}

std::optional<std::size_t> QuarantineFrame::SelectedRow() const {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid() || !list_->selectionModel()->isSelected(current.siblingAtColumn(0))) return std::nullopt;
    return static_cast<std::size_t>(current.row());
}

}  // namespace quellstone::gui
