#include "gui/update/UpdateWindows.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "gui/app/WidgetText.h"
#include "gui/app/WindowFrames.h"

namespace quellstone::gui {

UpdateWindow::UpdateWindow(windows::UpdateWindowModel& model, QWidget* owner, Tickers& tickers)
    : QWidget(owner, Qt::Window), model_(model), timers_(model.Timers(), tickers, [this] { AfterHandler(); }) {
    setWindowTitle(QStringLiteral("Quellstone"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/quellstone.svg")));
    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/pictures/update.svg")).pixmap(QSize(32, 32)));
    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("infoLabel"));
    top->addWidget(picture);
    top->addWidget(info_, 1);
    column->addLayout(top);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setTextVisible(false);
    column->addWidget(progress_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel_, &QPushButton::clicked, this, [this] {
        model_.CancelClicked();
        AfterHandler();
    });
    buttons->addWidget(cancel_);
    column->addLayout(buttons);
    setMinimumWidth(360);

    model_.Load();
    info_->setText(ForLabel(model_.Info()));
    cancel_->setText(ForButton(model_.CancelCaption()));
    AfterHandler();
}

void UpdateWindow::CentreOn(const QWidget* owner) {
    adjustSize();
    PlaceOverOwner(*this, owner);
}

void UpdateWindow::AfterHandler() {
    // A range of 0 to 0 makes the bar a busy indicator: the wait has no known length.
    progress_->setRange(0, model_.Busy() ? 0 : windows::UpdateWindowModel::ProgressMaximum());
    progress_->setValue(model_.Progress());
    timers_.Sync();
    if (model_.Closed() && isVisible()) hide();
}

void UpdateWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // On showing, the window has its frame: its centre is the whole window's.
    if (!event->spontaneous()) CentreOn(parentWidget());
}

void UpdateWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    model_.CancelClicked();
    AfterHandler();
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
    model_.Close();  // cancels a request still running
    AfterHandler();
    event->accept();
}

SilentUpdate::SilentUpdate(windows::SilentUpdateModel& model, Tickers& tickers)
    : timers_(model.Timers(), tickers, [this] { timers_.Sync(); }) {
    timers_.Sync();
}

}  // namespace quellstone::gui
