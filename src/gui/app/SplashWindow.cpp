#include "gui/app/SplashWindow.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/app/WidgetText.h"

namespace quellstone::gui {

SplashWindow::SplashWindow(windows::SplashModel& model, std::function<void()> handOver, Tickers& tickers)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      model_(model),
      handOver_(std::move(handOver)),
      timer_(tickers.Make("splash")) {
    setObjectName(QStringLiteral("splash"));
    setStyleSheet(
        QStringLiteral("#splash { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #16324f, "
                       "stop:1 #0b1a2a); border: 1px solid #2d5b86; } QLabel { color: #e8f0f8; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 28, 32, 22);
    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/pictures/quellstone.svg")).pixmap(QSize(120, 120)));
    picture->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("Quellstone"), this);
    name->setAlignment(Qt::AlignCenter);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 2.0);
    nameFont.setBold(true);
    name->setFont(nameFont);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: #2d5b86;"));
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("noticeLabel"));
    notice_->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    layout->addWidget(name);
    layout->addWidget(line);
    layout->addWidget(notice_);
    setFixedSize(sizeHint().expandedTo(QSize(380, 260)));

    model_.Load();
    notice_->setText(ForLabel(model_.Notice()));
    timer_->SetInterval(model_.Timer().intervalMs);
    timer_->OnTick([this] { Tick(); });
    if (model_.Timer().enabled) timer_->Start();
}

void SplashWindow::Tick() {
    const windows::SplashModel::TickResult result = model_.Tick();
    if (!model_.Timer().enabled) timer_->Stop();
    if (result == windows::SplashModel::TickResult::HandOver) {
        close();
        handOver_();
    }
}

void SplashWindow::CloseIfOpen() {
    if (!model_.Closed()) model_.Close();
    timer_->Stop();
    close();
}

}  // namespace quellstone::gui
