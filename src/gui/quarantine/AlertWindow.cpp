#include "gui/quarantine/AlertWindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app/WidgetText.h"

namespace quellstone::gui {

namespace {

constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch; Qt scales logical pixels beyond that

int ScreenTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {1024, 768};
    const QRect area = screen->geometry();
    return {area.right() + 1, area.bottom() + 1};
}

// The widest the notice may grow: the screen less its panels.
int AvailableWidth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().width() : ScreenSize().width();
}

}  // namespace

AlertWindow::AlertWindow(const std::string& title, const std::string& message, Tickers& tickers)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      model_(title, message, ScreenTwips(ScreenSize().width()), ScreenTwips(ScreenSize().height())),
      timers_(model_.Timers(), tickers, [this] { AfterTick(); }) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("alert"));
    setStyleSheet(
        QStringLiteral("#alert { background: #f7f9fb; border: 1px solid #1f4e79; }"
                       "#alertHeader { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f4e79, "
                       "stop:1 #3a7bbf); }"
                       "#alertHeader QLabel { color: white; font-weight: bold; }"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(1, 1, 1, 1);
    auto* header = new QFrame(this);  // the program's name on a coloured strip
    header->setObjectName(QStringLiteral("alertHeader"));
    header->setFixedHeight(32);
    auto* headerRow = new QVBoxLayout(header);
    headerRow->addWidget(new QLabel(QStringLiteral("Quellstone"), header));
    column->addWidget(header);
    // Both texts are shown as written: the message names scanned folders, and
    // a folder called "R&D" or "<b>x</b>" is neither an accelerator nor markup.
    auto* titleLabel = new QLabel(ForPlainText(title), this);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setTextFormat(Qt::PlainText);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    titleLabel->setContentsMargins(8, 4, 8, 0);
    column->addWidget(titleLabel);
    auto* messageLabel = new QLabel(ForPlainText(message), this);
    messageLabel->setObjectName(QStringLiteral("messageLabel"));
    messageLabel->setTextFormat(Qt::PlainText);
    messageLabel->setWordWrap(true);
    messageLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    messageLabel->setContentsMargins(16, 2, 8, 8);
    column->addWidget(messageLabel, 1);

    FitToText(*titleLabel);
    Place();
    AfterTick();
}

void AlertWindow::FitToText(QLabel& titleLabel) {
    // Wide enough for the whole title on one line, in whatever language and
    // at whatever scale its font has; past the screen's width the title wraps too.
    const QMargins margins = layout()->contentsMargins();
    const int titleWidth = titleLabel.sizeHint().width() + margins.left() + margins.right();
    const int available = AvailableWidth();
    const int width = std::min(std::max(model_.Width() / kTwipsPerPixel, titleWidth), available);
    if (titleWidth > available) titleLabel.setWordWrap(true);
    // The message wraps at that width, and the height follows it.
    const int height = std::max(model_.Height() / kTwipsPerPixel, layout()->totalHeightForWidth(width));
    setFixedSize(width, height);
    // The slides start and end at the size the window really has.
    model_.Resize(ScreenTwips(this->width()), ScreenTwips(this->height()));
}

void AlertWindow::Place() {
    move(model_.Left() / kTwipsPerPixel, model_.Top() / kTwipsPerPixel);
}

void AlertWindow::AfterTick() {
    Place();
    timers_.Sync();
    if (model_.Closed()) close();
}

AlertWindow* Alert::FlatStyle() const {
    auto* window = new AlertWindow(Title, Message);  // deletes itself when it closes
    window->show();
    return window;
}

}  // namespace quellstone::gui
