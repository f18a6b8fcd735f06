#include "gui/main/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app/AboutDialog.h"
#include "gui/app/WindowFrames.h"
#include "gui/main/FolderWatch.h"
#include "gui/main/InformationFrame.h"
#include "gui/main/NavigationColumn.h"
#include "gui/main/QuarantineFrame.h"
#include "gui/main/ScanFrame.h"
#include "gui/main/SettingsFrame.h"

namespace quellstone::gui {

namespace {

using windows::Frame;
using windows::MenuItem;
using C = windows::MainControl;

constexpr auto kWindowStyle =
    "#navigation { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #16324f, stop:1 #0b1a2a); }"
    "#navigation QLabel { color: #e8f0f8; }"
    "#navigation QLabel[navLink=\"true\"] { font-size: 11pt; padding: 3px 2px; }"
    "QLabel[link=\"true\"] { border: 1px solid transparent; border-radius: 3px; }"
    "#banner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f4e79, stop:1 #3a7bbf); }"
    "#banner QLabel { color: white; }"
    "QLabel[frameTitle=\"true\"] { font-size: 14pt; font-weight: bold; color: #1f4e79; }"
    "QLabel[value=\"true\"] { font-weight: bold; }";

// The desktop's own key for a standard action; where the desktop names
// none (some platform themes leave Quit unbound), `fallback`.
QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty()) keys.push_back(fallback);
    return keys;
}

// The window's size at its first start: room for the quarantine list's columns.
constexpr QSize kDefaultSize(880, 560);

std::size_t Slot(Frame frame) {
    return static_cast<std::size_t>(frame);
}

}  // namespace

MainWindow::MainWindow(windows::MainWindowModel& model, const i18n::LanguageTable& texts, Host host, Tickers& tickers)
    : model_(model),
      texts_(texts),
      host_(std::move(host)),
      timers_(model.Timers(), tickers, [this] { timers_.Sync(); }) {
    setWindowTitle(QStringLiteral("Quellstone"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/quellstone.svg")));
    setStyleSheet(QString::fromLatin1(kWindowStyle));

    BuildMenus();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("surface"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const auto execute = [this](windows::MainWindowModel::Action action) { Execute(action); };
    // The column scrolls too, on a screen too low for all its links.
    auto* navigationScroller = new QScrollArea(central);
    navigationScroller->setObjectName(QStringLiteral("navigationScroller"));
    navigationScroller->setWidgetResizable(true);
    navigationScroller->setFrameShape(QFrame::NoFrame);
    navigationScroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    navigation_ = new NavigationColumn(model_, execute, navigationScroller);
    navigationScroller->setWidget(navigation_);
    // As wide as the column, its scroll bar included, so that no link is cut.
    navigationScroller->setMinimumWidth(navigation_->minimumSize().expandedTo(navigation_->minimumSizeHint()).width() +
                                        navigationScroller->verticalScrollBar()->sizeHint().width());
    row->addWidget(navigationScroller);

    auto* content = new QWidget(central);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(BuildBanner(content));

    // The frames lie on one stack: the window's size and minimum fit the
    // largest of them, so switching frames never resizes the window.
    auto* frameHost = new QWidget(content);
    auto* frameMargins = new QVBoxLayout(frameHost);
    frameMargins->setContentsMargins(22, 16, 22, 16);
    stack_ = new QStackedWidget(frameHost);
    stack_->setObjectName(QStringLiteral("frameStack"));
    frameMargins->addWidget(stack_);
    const MainFrame::Host frameContext{model_, execute};
    frames_[Slot(Frame::Information)] = new InformationFrame(frameContext, stack_);
    frames_[Slot(Frame::Scan)] = new ScanFrame(frameContext, stack_);
    frames_[Slot(Frame::Settings)] = new SettingsFrame(frameContext, stack_);
    quarantine_ = new QuarantineFrame(frameContext, stack_);
    frames_[Slot(Frame::Quarantine)] = quarantine_;
    // Archives that another program (quellstone-cli) adds or takes away show at once.
    quarantineWatch_ = new FolderWatch(QFile::decodeName(QByteArray::fromStdString(model_.QuarantineFolder())), this);
    quarantineWatch_->setObjectName(QStringLiteral("quarantineWatch"));
    connect(quarantineWatch_, &FolderWatch::Changed, this, [this] {
        model_.QuarantineFolderChanged();
        Refresh();
    });
    for (MainFrame* frame : frames_) stack_->addWidget(frame);  // index = the frame's place in windows::Frame
    // On a small or scaled screen the frames scroll rather than push the
    // window's buttons below the screen's edge.
    auto* scroller = new QScrollArea(content);
    scroller->setObjectName(QStringLiteral("frameScroller"));
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(frameHost);
    column->addWidget(scroller, 1);
    row->addWidget(content, 1);
    setCentralWidget(central);
    hoverClearers_.push_back(central);
    hoverClearers_.push_back(navigation_);  // its bare surface, between and around the links
    hoverClearers_.push_back(frameHost);
    for (QWidget* widget : hoverClearers_) {
        // A pointer moving from a link onto the surface around it enters no
        // widget (the surface holds the link), so the surface follows moves.
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
    statusBar()->setSizeGripEnabled(true);  // the program writes nothing there

    Refresh();
    PlaceAsStored();
}

void MainWindow::PlaceAsStored() {
    // The screen the window was on when it closed, if it is still there.
    const std::optional<windows::WindowRect> stored = model_.StoredRect();
    const QScreen* screen =
        stored ? QGuiApplication::screenAt(QRect(stored->x, stored->y, stored->width, stored->height).center())
               : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(kDefaultSize);
        return;
    }
    // The stored place is of the inside; the title bar above it must stay on the screen too.
    const windows::WindowRect area =
        windows::InsideFrame(ToWindowRect(screen->availableGeometry()), FrameMarginsOf(*this));
    // The size the window opens with, on a screen too small for it as much as the
    // screen leaves; the layout's minimum where that is larger (the frames scroll).
    resize(kDefaultSize.boundedTo(QSize(area.width, area.height)));
    const QSize minimum = minimumSizeHint();
    const std::optional<windows::WindowRect> place = model_.StoredPlace(area, minimum.width(), minimum.height());
    if (place) setGeometry(place->x, place->y, place->width, place->height);
}

void MainWindow::StorePlace() {
    const QRect place = windowState() == Qt::WindowNoState ? geometry() : normalGeometry();
    if (place.isValid()) model_.WindowPlaceAtClose({place.x(), place.y(), place.width(), place.height()});
}

void MainWindow::BringToFront() {
    // Out of the task bar as it was: a maximised window stays maximised.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::BuildMenus() {
    const auto menu = [this](C control, const char* name) {
        QMenu* created = menuBar()->addMenu(QString());
        created->setObjectName(QString::fromLatin1(name));
        captions_.Bind(control, [created](const QString&, const QString& text) { created->setTitle(text); });
        return created;
    };
    const auto item = [this](QMenu* parent, C control, const char* name, MenuItem choice,
                             const QList<QKeySequence>& shortcuts = {}) {
        QAction* action = parent->addAction(QString());
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(shortcuts);
        captions_.Bind(control, [action](const QString&, const QString& text) { action->setText(text); });
        connect(action, &QAction::triggered, this, [this, choice] { Execute(model_.MenuChosen(choice)); });
        return action;
    };
    QMenu* program = menu(C::MenuProgram, "programMenu");
    item(program, C::MenuStatistics, "statisticsAction", MenuItem::Statistics);
    program->addSeparator();
    QAction* exit = item(program, C::MenuClose, "exitAction", MenuItem::Close,
                         StandardKeys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
    // Ctrl+Q quits from every window of the program, not only the main one:
    // the scan, update and alert windows have no Exit of their own.
    exit->setShortcutContext(Qt::ApplicationShortcut);
    QMenu* view = menu(C::MenuPanels, "viewMenu");
    item(view, C::MenuInformation, "informationAction", MenuItem::Information, {QKeySequence(Qt::CTRL | Qt::Key_1)});
    item(view, C::MenuScan, "scanAction", MenuItem::Scan, {QKeySequence(Qt::CTRL | Qt::Key_2)});
    item(view, C::MenuQuarantine, "quarantineAction", MenuItem::Quarantine, {QKeySequence(Qt::CTRL | Qt::Key_3)});
    item(view, C::MenuSettings, "settingsAction", MenuItem::Settings, {QKeySequence(Qt::CTRL | Qt::Key_4)});
    QMenu* help = menu(C::MenuHelp, "helpMenu");
    QAction* readme = item(help, C::MenuReadme, "readmeAction", MenuItem::Readme,
                           StandardKeys(QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)));
    // F1 opens the readme from the scan and update windows too, as Ctrl+Q quits from them.
    readme->setShortcutContext(Qt::ApplicationShortcut);
    item(help, C::MenuLicense, "licenseAction", MenuItem::License);
    help->addSeparator();
    item(help, C::MenuUpdate, "updateAction", MenuItem::Update);
    item(help, C::MenuUpdateDatabase, "updateDatabaseAction", MenuItem::UpdateDatabase);
    help->addSeparator();
    item(help, C::MenuWebsite, "websiteAction", MenuItem::Website);
    help->addSeparator();
    item(help, C::MenuAbout, "aboutAction", MenuItem::About);
}

QWidget* MainWindow::BuildBanner(QWidget* parent) {
    auto* banner = new QFrame(parent);
    banner->setObjectName(QStringLiteral("banner"));
    auto* row = new QHBoxLayout(banner);
    row->setContentsMargins(18, 10, 18, 10);
    QLabel* notice = captions_.Label(C::ProductNotice, QStringLiteral("productNotice"), banner);
    QFont noticeFont = notice->font();
    noticeFont.setPointSizeF(noticeFont.pointSizeF() * 1.25);
    noticeFont.setBold(true);
    notice->setFont(noticeFont);
    row->addWidget(notice, 1);
    auto* shield = new QLabel(banner);
    shield->setPixmap(QIcon(QStringLiteral(":/pictures/banner.svg")).pixmap(QSize(160, 40)));
    row->addWidget(shield);
    hoverClearers_.push_back(banner);
    return banner;
}

void MainWindow::Refresh() {
    captions_.Apply(model_);
    navigation_->Refresh();
    for (MainFrame* frame : frames_) frame->Refresh();
    stack_->setCurrentIndex(static_cast<int>(Slot(model_.CurrentFrame())));
}

QTreeView* MainWindow::QuarantineList() const {
    return quarantine_->List();
}

void MainWindow::RefreshQuarantineList() {
    quarantine_->ReloadList();
}

void MainWindow::SyncTimers() {
    timers_.Sync();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool reached = event->type() == QEvent::Enter || event->type() == QEvent::MouseMove;
    if (reached && std::ranges::find(hoverClearers_, watched) != hoverClearers_.end()) {
        model_.HoverSurface();
        navigation_->Refresh();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Execute(model_.WindowClosed());
}

void MainWindow::Execute(windows::MainWindowModel::Action action) {
    switch (action) {
        case windows::MainWindowModel::Action::None: break;
        case windows::MainWindowModel::Action::Quit:
            if (host_.quit) host_.quit();
            return;
        case windows::MainWindowModel::Action::ShowUpdateWindow:
            if (host_.showUpdateWindow) host_.showUpdateWindow();
            break;
        case windows::MainWindowModel::Action::UpdateDatabase:
            if (host_.updateDatabase) host_.updateDatabase();
            break;
        case windows::MainWindowModel::Action::StartScan:
            if (host_.startScan) host_.startScan();
            break;
        case windows::MainWindowModel::Action::ShowAbout: {
            AboutDialog about(model_, texts_, this);
            about.exec();
            break;
        }
    }
    Refresh();
}

}  // namespace quellstone::gui
