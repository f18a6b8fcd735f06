#include "gui/main/InformationFrame.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app/LinkLabel.h"

namespace quellstone::gui {

namespace {

using C = windows::MainControl;

// One line of the status grid: a caption and its value.
struct StatusLine {
    C caption;
    const char* captionName;
    C value;
    const char* valueName;
};

constexpr StatusLine kStatusLines[] = {
    {C::DatabaseVersionCaption, "databaseVersionCaption", C::DatabaseVersion, "databaseVersionLabel"},
    {C::AdMonitorCaption, "adMonitorCaption", C::AdMonitorStatus, "adMonitorLink"},
    {C::LastScanCaption, "lastScanCaption", C::LastScanStatus, "lastScanLabel"},
    {C::RemovedCaption, "removedCaption", C::RemovedStatus, "removedCountLabel"},
    {C::TotalCaption, "totalScansCaption", C::TotalStatus, "totalScansLabel"},
    {C::IgnoredCaption, "ignoredCaption", C::IgnoredStatus, "ignoredCountLabel"},
    {C::QuarantinedCaption, "quarantinedCaption", C::QuarantinedStatus, "quarantineCountLabel"},
    {C::ScheduledScanCaption, "scheduledScanCaption", C::ScheduledScanStatus, "scheduledScanLabel"},
    {C::SystemScanCaption, "systemScanCaption", C::SystemScanStatus, "systemScanLabel"}};

// The lines above the separator: the signature database.
constexpr int kDatabaseLines = 2;

}  // namespace

InformationFrame::InformationFrame(Host host, QWidget* parent)
    : MainFrame(std::move(host), C::StatusTitle, QStringLiteral("information"), parent) {
    databaseLoaded_ = Captions().Label(C::DatabaseLoaded, QStringLiteral("databaseLoadedLabel"), this);
    databaseLoaded_->setWordWrap(true);
    Column()->addWidget(databaseLoaded_);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(8);
    int row = 0;
    for (const StatusLine& line : kStatusLines) {
        QLabel* caption = Captions().Label(line.caption, QString::fromLatin1(line.captionName), this);
        caption->setWordWrap(false);
        grid->addWidget(caption, row, 0);
        QLabel* value = nullptr;
        if (line.value == C::AdMonitorStatus) {
            // The ad monitor is not in this program: its status, a link
            // that says so when clicked, is always drawn as a warning.
            auto* link = Captions().Link(line.value, QString::fromLatin1(line.valueName), this);
            link->setStyleSheet(QStringLiteral("color: #d00000;"));
            connect(link, &LinkLabel::clicked, this, [this] {
                Model().AdMonitorClicked();
                Redraw();
            });
            value = link;
        } else {
            value = Captions().Label(line.value, QString::fromLatin1(line.valueName), this);
        }
        value->setProperty("value", true);
        grid->addWidget(value, row, 1);
        if (line.value == C::SystemScanStatus) systemScanLine_ = {caption, value};
        ++row;
        if (row == kDatabaseLines) {
            AddDatabaseUpdateRow(*grid, row++);
            auto* separator = new QFrame(this);
            separator->setFrameShape(QFrame::HLine);
            separator->setStyleSheet(QStringLiteral("color: #c8d3de;"));
            grid->addWidget(separator, row++, 0, 1, 2);
        }
    }
    grid->setColumnStretch(1, 1);
    Column()->addLayout(grid);
    Column()->addStretch(1);

    auto* fileList = Captions().Link(C::FileListLink, QStringLiteral("fileListLink"), this);
    fileList->setStyleSheet(QStringLiteral("color: #1f4e79; text-decoration: underline;"));
    connect(fileList, &LinkLabel::clicked, this, [this] {
        Model().FileListLinkClicked();
        Redraw();
    });
    auto* reset = new QPushButton(this);
    reset->setObjectName(QStringLiteral("resetStatisticsButton"));
    Captions().Bind(C::ResetStatistics, [reset](const QString&, const QString& text) { reset->setText(text); });
    connect(reset, &QPushButton::clicked, this, [this] {
        Model().ResetStatisticsClicked();
        Redraw();
    });
    AddBottomRow({fileList}, {reset});
}

void InformationFrame::AddDatabaseUpdateRow(QGridLayout& grid, int row) {
    auto* link = Captions().Link(C::DatabaseUpdateLink, QStringLiteral("databaseUpdateLink"), this);
    link->setStyleSheet(QStringLiteral("color: #1f4e79; text-decoration: underline;"));
    connect(link, &LinkLabel::clicked, this, [this] { Execute(Model().DatabaseUpdateClicked()); });
    // Busy while an update runs, then what came of it.
    QLabel* status = Captions().Label(C::DatabaseUpdateStatus, QStringLiteral("databaseUpdateStatus"), this);
    status->setWordWrap(true);
    grid.addWidget(link, row, 0);
    grid.addWidget(status, row, 1);
}

void InformationFrame::Refresh() {
    MainFrame::Refresh();
    // The system's scan has a line only where the system has scanned.
    const bool systemScanned = !Model().Caption(C::SystemScanStatus).empty();
    for (QLabel* label : systemScanLine_) label->setVisible(systemScanned);
    // Green only for a database that loads; what is wrong with one, in red.
    const int usable = Model().DatabaseUsable() ? 1 : 0;
    if (usable == shownUsable_) return;
    shownUsable_ = usable;
    databaseLoaded_->setStyleSheet(usable != 0 ? QStringLiteral("color: #2e7d32;") : QStringLiteral("color: #d00000;"));
}

}  // namespace quellstone::gui
