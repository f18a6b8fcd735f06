#include "gui/scan/ScanWindow.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/app/WidgetText.h"
#include "gui/app/WindowFrames.h"
#include "gui/scan/ResultTableModel.h"

namespace quellstone::gui {

namespace {

using S = windows::ScanControl;

// During a walk new rows join the list at most this often: laying the list
// out again is the dearest part of a repaint.
constexpr qint64 kRowBatchMs = 100;

}  // namespace

ScanWindow::ScanWindow(windows::ScanWindowModel& model, QWidget* owner, std::function<void()> remove, Tickers& tickers)
    : QWidget(owner, Qt::Window),
      model_(model),
      timers_(model.Timers(), tickers, [this] { AfterHandler(); }),
      remove_handler_(std::move(remove)) {
    setWindowIcon(QIcon(QStringLiteral(":/pictures/quellstone.svg")));
    const auto bindLabel = [this](S control, QLabel* label) {
        setters_.emplace_back(control, [label](const QString& text, const QString&) { label->setText(text); });
        return label;
    };
    const auto label = [&](S control, const char* name, QWidget* parent) {
        auto* created = new QLabel(parent);
        created->setObjectName(QString::fromLatin1(name));
        return bindLabel(control, created);
    };

    // Tight margins and line spacing: the window must fit a low screen at twice the scale.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));

    auto* resultsTab = new QWidget(tabs_);
    auto* resultsColumn = new QVBoxLayout(resultsTab);
    resultsColumn->setContentsMargins(6, 6, 6, 6);
    auto* progress = new QGridLayout;
    progress->setVerticalSpacing(2);
    progress->addWidget(label(S::OperationCaption, "operationCaption", resultsTab), 0, 0);
    auto* operation = label(S::Operation, "operationLabel", resultsTab);
    QFont bold = operation->font();
    bold.setBold(true);
    operation->setFont(bold);
    progress->addWidget(operation, 0, 1);
    progress->addWidget(label(S::StatusCaption, "currentFileCaption", resultsTab), 1, 0);
    currentFile_ = new QLabel(resultsTab);  // elided and escaped at refresh
    currentFile_->setObjectName(QStringLiteral("currentFileLabel"));
    currentFile_->setMinimumWidth(200);
    currentFile_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progress->addWidget(currentFile_, 1, 1);
    waitNotice_ = label(S::WaitNotice, "waitNotice", resultsTab);
    waitNotice_->setStyleSheet(QStringLiteral("color: #1f4e79; font-weight: bold;"));
    // The notice blinks: its place stays, so nothing below it moves.
    QSizePolicy keepPlace = waitNotice_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    waitNotice_->setSizePolicy(keepPlace);
    auto* noticeRow = new QHBoxLayout;
    noticeRow->addWidget(waitNotice_);
    busy_ = new QProgressBar(resultsTab);
    busy_->setObjectName(QStringLiteral("busyIndicator"));
    busy_->setRange(0, 0);  // no end known: the bar runs to and fro
    busy_->setTextVisible(false);
    busy_->setMaximumHeight(busy_->sizeHint().height());
    QSizePolicy busyPlace = busy_->sizePolicy();
    busyPlace.setRetainSizeWhenHidden(true);
    busy_->setSizePolicy(busyPlace);
    noticeRow->addWidget(busy_, 1);
    progress->addLayout(noticeRow, 2, 1);
    progress->addWidget(label(S::ElapsedCaption, "elapsedCaption", resultsTab), 3, 0);
    progress->addWidget(label(S::Elapsed, "elapsedLabel", resultsTab), 3, 1);
    progress->setColumnStretch(1, 1);
    resultsColumn->addLayout(progress);

    auto* summary = new QGroupBox(resultsTab);
    summary->setObjectName(QStringLiteral("summaryBox"));
    setters_.emplace_back(S::SummaryCaption,
                          [summary](const QString& text, const QString&) { summary->setTitle(text); });
    auto* counters = new QGridLayout(summary);
    counters->setContentsMargins(8, 4, 8, 4);
    counters->setVerticalSpacing(2);
    const struct {
        S caption;
        const char* captionName;
        S value;
        const char* valueName;
    } rows[] = {{S::ScannedCaption, "scannedCaption", S::Scanned, "scannedCountLabel"},
                {S::DangerousCaption, "dangerousCaption", S::Dangerous, "dangerousCountLabel"},
                {S::ProcessesCaption, "processesCaption", S::Processes, "processesCountLabel"},
                {S::RegistryCaption, "registryCaption", S::Registry, "registryCountLabel"},
                {S::IgnoredCaption, "ignoredCaption", S::Ignored, "ignoredCountLabel"}};
    int r = 0;
    for (const auto& row : rows) {
        counters->addWidget(label(row.caption, row.captionName, summary), r / 2 * 1, (r % 2) * 2);
        QLabel* value = label(row.value, row.valueName, summary);
        value->setFont(bold);
        counters->addWidget(value, r / 2, (r % 2) * 2 + 1);
        ++r;
    }
    counters->setColumnStretch(1, 1);
    counters->setColumnStretch(3, 1);
    resultsColumn->addWidget(summary);

    results_ = new ResultTableModel(model_.Results(), this);
    resultList_ = new QTreeView(resultsTab);
    resultList_->setObjectName(QStringLiteral("resultList"));
    resultList_->setRootIsDecorated(false);
    resultList_->setUniformRowHeights(true);
    resultList_->setModel(results_);
    resultList_->setTextElideMode(Qt::ElideMiddle);  // a long path keeps its start and its file name
    // A fixed first column: fitting it to its contents would measure every
    // row again each time one is added.
    resultList_->header()->setSectionResizeMode(ResultTableModel::DetectionColumn, QHeaderView::Interactive);
    resultList_->header()->resizeSection(ResultTableModel::DetectionColumn, 220);
    resultList_->header()->setStretchLastSection(false);
    // The outcome takes the spare width: after a removal it is what the user reads.
    resultList_->header()->setSectionResizeMode(ResultTableModel::PathColumn, QHeaderView::Interactive);
    resultList_->header()->resizeSection(ResultTableModel::PathColumn, 260);
    resultList_->header()->setSectionResizeMode(ResultTableModel::StatusColumn, QHeaderView::Stretch);
    // Space ticks or unticks the current row from any of its cells.
    resultList_->installEventFilter(this);
    setters_.emplace_back(S::ColumnDetection, [this](const QString& text, const QString&) {
        results_->SetHeader(ResultTableModel::DetectionColumn, text);
    });
    setters_.emplace_back(S::ColumnPath, [this](const QString& text, const QString&) {
        results_->SetHeader(ResultTableModel::PathColumn, text);
    });
    setters_.emplace_back(S::ColumnStatus, [this](const QString& text, const QString&) {
        results_->SetHeader(ResultTableModel::StatusColumn, text);
    });
    resultsColumn->addWidget(resultList_, 1);
    tabs_->addTab(resultsTab, QString());

    auto* reportTab = new QWidget(tabs_);
    auto* reportColumn = new QVBoxLayout(reportTab);
    report_ = new QPlainTextEdit(reportTab);
    report_->setObjectName(QStringLiteral("report"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reportColumn->addWidget(report_, 1);
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch(1);
    auto* save = new QPushButton(reportTab);
    save->setObjectName(QStringLiteral("saveReportButton"));
    setters_.emplace_back(S::SaveReport, [save](const QString&, const QString& text) { save->setText(text); });
    connect(save, &QPushButton::clicked, this, [this] { model_.Report().SaveClicked(); });
    saveRow->addWidget(save);
    reportColumn->addLayout(saveRow);
    tabs_->addTab(reportTab, QString());
    setters_.emplace_back(S::TabResults, [this](const QString&, const QString& text) { tabs_->setTabText(0, text); });
    setters_.emplace_back(S::TabReport, [this](const QString&, const QString& text) { tabs_->setTabText(1, text); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { Refresh(); });
    column->addWidget(tabs_, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](S control, const char* name) {
        auto* created = new QPushButton(this);
        created->setObjectName(QString::fromLatin1(name));
        setters_.emplace_back(control, [created](const QString&, const QString& text) { created->setText(text); });
        buttons->addWidget(created);
        return created;
    };
    stop_ = button(S::Stop, "stopButton");
    remove_ = button(S::Remove, "removeButton");
    buttons->addStretch(1);
    QPushButton* close = button(S::Close, "closeButton");
    connect(stop_, &QPushButton::clicked, this, [this] {
        model_.StopClicked();
        AfterHandler();
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(remove_, &QPushButton::clicked, this, [this] {
        if (remove_handler_) remove_handler_();
        tabs_->setCurrentIndex(model_.CurrentTab());
        AfterHandler();
    });
    column->addLayout(buttons);
    // Ticking or unticking a row decides whether there is anything to remove.
    connect(results_, &QAbstractItemModel::dataChanged, this, [this] { remove_->setEnabled(model_.RemoveEnabled()); });
    // Escape is the close button, question and all.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    resize(720, 520);
}

void ScanWindow::PlaceOver(const QWidget* owner) {
    PlaceOverOwner(*this, owner);
}

void ScanWindow::AfterHandler() {
    timers_.Sync();
    Refresh();
}

void ScanWindow::Refresh() {
    setWindowTitle(ForLabel(model_.Caption(S::Title)));
    // Only what changed is drawn again: during a walk that is the path and the counters.
    shownCaptions_.resize(setters_.size());
    for (std::size_t i = 0; i < setters_.size(); ++i) {
        const std::string& caption = model_.Caption(setters_[i].first);
        if (caption == shownCaptions_[i] && !caption.empty()) continue;
        setters_[i].second(ForLabel(caption), ForButton(caption));
        shownCaptions_[i] = caption;
    }
    const QString file = ForDisplay(model_.Caption(S::CurrentFile));
    currentFile_->setText(currentFile_->fontMetrics().elidedText(file, Qt::ElideMiddle, currentFile_->width()));
    currentFile_->setToolTip(file);
    waitNotice_->setVisible(model_.WaitNoticeVisible());
    busy_->setVisible(model_.Busy());
    stop_->setEnabled(model_.StopEnabled());
    remove_->setEnabled(model_.RemoveEnabled());

    results_->RedrawShownRows();
    // During a walk new rows join the list in batches; once it has ended, at once.
    const bool walking = model_.StopEnabled();
    if (results_->HasNewRows() && (!walking || !rowsAdded_.isValid() || rowsAdded_.elapsed() >= kRowBatchMs)) {
        rowsAdded_.start();
        results_->ShowNewRows();  // one insertion: the list lays itself out once
    }
    if (tabs_->currentIndex() == 1) report_->setPlainText(QString::fromStdString(model_.Report().Text()));
    timers_.Sync();
    if (model_.CloseDue()) close();  // "Stop and close" was chosen, and the walk has ended
}

bool ScanWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != resultList_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier) return false;
    // Handled here for every column, the first one's box included, so that one press toggles once.
    const QModelIndex current = resultList_->currentIndex();
    if (current.isValid()) results_->ToggleChecked(current.row());
    return true;
}

void ScanWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) model_.SetActive(isActiveWindow());
    QWidget::changeEvent(event);
}

void ScanWindow::closeEvent(QCloseEvent* event) {
    if (!model_.CloseClicked()) {
        event->ignore();
        AfterHandler();  // "Stop and close" starts the stop timer
        return;
    }
    model_.Unload();
    Refresh();
    event->accept();
}

}  // namespace quellstone::gui
