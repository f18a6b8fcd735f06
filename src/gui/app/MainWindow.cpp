#include "gui/app/MainWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/app/AboutDialog.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

namespace {

using windows::MainControl;
using windows::NavigationLink;
using C = windows::MainControl;

constexpr auto kNavigationStyle =
    "#navigation { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #16324f, stop:1 #0b1a2a); }"
    "#navigation QLabel { color: #e8f0f8; }"
    "#navigation QLabel[navLink=\"true\"] { font-size: 11pt; padding: 3px 2px; }"
    "#navigation QLabel[navLink=\"true\"]:focus { border: 1px dotted #9fb7cf; border-radius: 3px; }"
    "#banner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f4e79, stop:1 #3a7bbf); }"
    "#banner QLabel { color: white; }"
    "QLabel[frameTitle=\"true\"] { font-size: 14pt; font-weight: bold; color: #1f4e79; }"
    "QLabel[value=\"true\"] { font-weight: bold; }";

}  // namespace

MainWindow::MainWindow(windows::MainWindowModel& model, const i18n::LanguageTable& texts, Host host, Tickers& tickers)
    : model_(model),
      texts_(texts),
      host_(std::move(host)),
      timers_(model.Timers(), tickers, [this] { timers_.Sync(); }) {
    setWindowTitle(QStringLiteral("Quellstone"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/quellstone.svg")));
    setStyleSheet(QString::fromLatin1(kNavigationStyle));

    BuildMenus();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("surface"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(BuildNavigation());

    auto* content = new QWidget(central);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    auto* banner = new QFrame(content);  // Image4, a large picture
    banner->setObjectName(QStringLiteral("banner"));
    auto* bannerRow = new QHBoxLayout(banner);
    bannerRow->setContentsMargins(18, 10, 18, 10);
    auto* notice = Label(C::ProductNotice, "ProductNotice", banner);
    QFont noticeFont = notice->font();
    noticeFont.setPointSizeF(noticeFont.pointSizeF() * 1.25);
    noticeFont.setBold(true);
    notice->setFont(noticeFont);
    bannerRow->addWidget(notice, 1);
    auto* shield = new QLabel(banner);
    shield->setPixmap(QIcon(QStringLiteral(":/pictures/banner.svg")).pixmap(QSize(160, 40)));
    bannerRow->addWidget(shield);
    column->addWidget(banner);
    hoverClearers_.push_back(banner);

    auto* frameHost = new QWidget(content);
    auto* frameStack = new QVBoxLayout(frameHost);
    frameStack->setContentsMargins(22, 16, 22, 16);
    frames_[windows::kFrameInformation] = BuildInformationFrame();
    frames_[windows::kFrameScan] = BuildScanFrame();
    frames_[windows::kFrameSettings] = BuildSettingsFrame();
    frames_[windows::kFrameQuarantine] = BuildQuarantineFrame();
    for (QWidget* frame : frames_) {
        if (frame) frameStack->addWidget(frame);
    }
    column->addWidget(frameHost, 1);
    row->addWidget(content, 1);
    setCentralWidget(central);
    hoverClearers_.push_back(central);
    hoverClearers_.push_back(frameHost);
    for (QWidget* widget : hoverClearers_) widget->installEventFilter(this);
    statusBar()->setSizeGripEnabled(true);  // sb1: nothing the program writes
    resize(800, 540);

    Refresh();
}

void MainWindow::Bind(MainControl control, std::function<void(const QString&, const QString&)> setter) {
    setters_.emplace_back(control, std::move(setter));
}

QLabel* MainWindow::Label(MainControl control, const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    Bind(control, [label](const QString& text, const QString&) { label->setText(text); });
    return label;
}

LinkLabel* MainWindow::Link(MainControl control, const char* name, QWidget* parent) {
    auto* link = new LinkLabel(parent);
    link->setObjectName(QString::fromLatin1(name));
    Bind(control, [link](const QString& text, const QString&) { link->setText(text); });
    connect(link, &LinkLabel::hovered, this, [this] {
        model_.HoverPointerOnly();
        Refresh();
    });
    return link;
}

void MainWindow::BuildMenus() {
    const auto menu = [this](MainControl control, const char* name) {
        QMenu* created = menuBar()->addMenu(QString());
        created->setObjectName(QString::fromLatin1(name));
        Bind(control, [created](const QString&, const QString& text) { created->setTitle(text); });
        return created;
    };
    const auto item = [this](QMenu* parent, MainControl control, const char* name, windows::MenuItem choice) {
        QAction* action = parent->addAction(QString());
        action->setObjectName(QString::fromLatin1(name));
        Bind(control, [action](const QString&, const QString& text) { action->setText(text); });
        connect(action, &QAction::triggered, this, [this, choice] { Execute(model_.MenuChosen(choice)); });
    };
    QMenu* program = menu(C::MenuProgram, "f1");
    item(program, C::MenuStatistics, "sprstats", windows::MenuItem::Statistics);
    program->addSeparator();
    item(program, C::MenuClose, "f1close", windows::MenuItem::Close);
    QMenu* panels = menu(C::MenuPanels, "f2");
    item(panels, C::MenuInformation, "inf1", windows::MenuItem::Information);
    item(panels, C::MenuScan, "ska", windows::MenuItem::Scan);
    item(panels, C::MenuQuarantine, "kwa", windows::MenuItem::Quarantine);
    item(panels, C::MenuSettings, "ust", windows::MenuItem::Settings);
    QMenu* help = menu(C::MenuHelp, "f3");
    item(help, C::MenuReadme, "redm", windows::MenuItem::Readme);
    item(help, C::MenuLicense, "lic", windows::MenuItem::License);
    help->addSeparator();
    item(help, C::MenuUpdate, "aktu", windows::MenuItem::Update);
    help->addSeparator();
    item(help, C::MenuWebsite, "strw", windows::MenuItem::Website);
    help->addSeparator();
    item(help, C::MenuAbout, "opro", windows::MenuItem::About);
}

QWidget* MainWindow::BuildNavigation() {
    auto* panel = new QFrame;  // Image2, the large picture behind the links
    panel->setObjectName(QStringLiteral("navigation"));
    panel->setMinimumWidth(210);
    hoverClearers_.push_back(panel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(16, 18, 16, 12);
    auto* picture = new QLabel(panel);
    picture->setPixmap(QIcon(QStringLiteral(":/pictures/quellstone.svg")).pixmap(QSize(84, 84)));
    picture->setAlignment(Qt::AlignCenter);
    column->addWidget(picture);
    column->addSpacing(10);
    column->addWidget(Label(C::GoLabel, "Label22", panel));

    struct LinkSpec {
        NavigationLink link;
        MainControl control;
        const char* name;
    };
    const LinkSpec specs[] = {{NavigationLink::Information, C::LinkInformation, "Label4"},
                              {NavigationLink::Scan, C::LinkScan, "Label6"},
                              {NavigationLink::Quarantine, C::LinkQuarantine, "Label12"},
                              {NavigationLink::Settings, C::LinkSettings, "Label14"},
                              {NavigationLink::Help, C::LinkHelp, "Label15"},
                              {NavigationLink::Close, C::LinkClose, "Label19"}};
    for (std::size_t i = 0; i < std::size(specs); ++i) {
        const LinkSpec& definition = specs[i];
        auto* line = new QHBoxLayout;
        auto* highlight = new QLabel(panel);  // m1 to m6
        highlight->setObjectName(QStringLiteral("m%1").arg(i + 1));
        highlight->setPixmap(QIcon(QStringLiteral(":/pictures/highlight.svg")).pixmap(QSize(14, 14)));
        highlight->setFixedWidth(18);
        auto* link = new LinkLabel(panel);
        link->setObjectName(QString::fromLatin1(definition.name));
        link->setProperty("navLink", true);
        Bind(definition.control, [link](const QString& text, const QString&) { link->setText(text); });
        connect(link, &LinkLabel::hovered, this, [this, definition] {
            model_.HoverLink(definition.link);
            Refresh();
        });
        connect(link, &LinkLabel::clicked, this, [this, definition] { Execute(model_.LinkClicked(definition.link)); });
        links_[i] = link;
        highlights_[i] = highlight;
        line->addWidget(highlight);
        line->addWidget(link, 1);
        column->addLayout(line);
    }
    column->addStretch(1);

    auto* update = new QHBoxLayout;
    auto* updatePicture = new LinkLabel(panel);  // Image11
    updatePicture->setObjectName(QStringLiteral("Image11"));
    updatePicture->setPixmap(QIcon(QStringLiteral(":/pictures/update.svg")).pixmap(QSize(22, 22)));
    updatePicture->setFocusPolicy(Qt::NoFocus);
    auto* updateLink = Link(C::UpdateLink, "Label21", panel);
    updateLink->setWordWrap(true);
    for (LinkLabel* clickable : {updatePicture, updateLink}) {
        connect(clickable, &LinkLabel::clicked, this, [this] { Execute(model_.UpdateLinkClicked()); });
    }
    connect(updatePicture, &LinkLabel::hovered, this, [this] { model_.HoverPointerOnly(); });
    update->addWidget(updatePicture);
    update->addWidget(updateLink, 1);
    column->addLayout(update);
    column->addSpacing(8);
    auto* version = Label(C::VersionLine, "Label25", panel);
    version->setStyleSheet(QStringLiteral("color: #9fb7cf;"));
    column->addWidget(version);
    return panel;
}

QWidget* MainWindow::BuildInformationFrame() {
    auto* frame = new QWidget;
    frame->setObjectName(QStringLiteral("picFrame0"));
    auto* column = new QVBoxLayout(frame);
    auto* title = Label(C::StatusTitle, "lblStatusTitle", frame);
    title->setProperty("frameTitle", true);
    column->addWidget(title);
    auto* loaded = Label(C::DatabaseLoaded, "lblInitiate", frame);
    loaded->setStyleSheet(QStringLiteral("color: #2e7d32;"));
    column->addWidget(loaded);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(8);
    const struct {
        MainControl caption;
        const char* captionName;
        MainControl value;
        const char* valueName;
    } rows[] = {{C::DatabaseVersionCaption, "Label10", C::DatabaseVersion, "Label20"},
                {C::AdMonitorCaption, "Label1", C::AdMonitorStatus, "lblStatus_Admonitor"},
                {C::LastScanCaption, "Label3", C::LastScanStatus, "lblStatus_System"},
                {C::RemovedCaption, "Label5", C::RemovedStatus, "lblStatus_Removed"},
                {C::TotalCaption, "Label7", C::TotalStatus, "lblStatus_Total"},
                {C::IgnoredCaption, "Label9", C::IgnoredStatus, "lblStatus_Ignore"},
                {C::QuarantinedCaption, "Label11", C::QuarantinedStatus, "lblStatus_Quarintine"}};
    int r = 0;
    for (const auto& row : rows) {
        QLabel* caption = Label(row.caption, row.captionName, frame);
        caption->setWordWrap(false);
        grid->addWidget(caption, r, 0);
        QLabel* value = nullptr;
        if (row.value == C::AdMonitorStatus) {
            auto* link = Link(row.value, row.valueName, frame);
            connect(link, &LinkLabel::clicked, this, [this] {
                model_.AdMonitorClicked();
                Refresh();
            });
            adMonitor_ = link;
            value = link;
        } else {
            value = Label(row.value, row.valueName, frame);
        }
        value->setProperty("value", true);
        grid->addWidget(value, r, 1);
        ++r;
        if (r == 2) {  // a separator line under the database lines
            auto* line = new QFrame(frame);
            line->setFrameShape(QFrame::HLine);
            line->setStyleSheet(QStringLiteral("color: #c8d3de;"));
            grid->addWidget(line, r++, 0, 1, 2);
        }
    }
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);
    column->addStretch(1);
    auto* bottom = new QHBoxLayout;
    auto* fileList = Link(C::FileListLink, "Label8", frame);
    fileList->setStyleSheet(QStringLiteral("color: #1f4e79; text-decoration: underline;"));
    connect(fileList, &LinkLabel::clicked, this, [this] {
        model_.FileListLinkClicked();
        Refresh();
    });
    bottom->addWidget(fileList);
    bottom->addStretch(1);
    auto* reset = new QPushButton(frame);  // Command4: resets the statistics
    reset->setObjectName(QStringLiteral("Command4"));
    Bind(C::ResetStatistics, [reset](const QString&, const QString& text) { reset->setText(text); });
    connect(reset, &QPushButton::clicked, this, [this] {
        model_.ResetStatisticsClicked();
        Refresh();
    });
    bottom->addWidget(reset);
    column->addLayout(bottom);
    return frame;
}

QWidget* MainWindow::BuildScanFrame() {
    auto* frame = new QWidget;
    frame->setObjectName(QStringLiteral("picFrame1"));
    auto* column = new QVBoxLayout(frame);
    auto* title = Label(C::ScanTitle, "Label23", frame);
    title->setProperty("frameTitle", true);
    column->addWidget(title);
    column->addWidget(Label(C::ScanHint, "Label2", frame));
    auto* modes = new QGroupBox(frame);  // Frame1
    modes->setObjectName(QStringLiteral("Frame1"));
    Bind(C::ScanModes, [modes](const QString& text, const QString&) { modes->setTitle(text); });
    auto* modeColumn = new QVBoxLayout(modes);
    auto* group = new QButtonGroup(modes);
    const struct {
        MainControl control;
        const char* name;
    } modeSpecs[] = {{C::ModeWholeComputer, "optScanMODE0"},
                     {C::ModeChosenFolder, "optScanMODE1"},
                     {C::ModeQuickScan, "optScanMODE2"}};
    for (int index = 0; index < 3; ++index) {
        const auto& definition = modeSpecs[index];
        auto* option = new QRadioButton(modes);
        option->setObjectName(QString::fromLatin1(definition.name));
        Bind(definition.control, [option](const QString&, const QString& text) { option->setText(text); });
        group->addButton(option);
        modeColumn->addWidget(option);
        modes_[static_cast<std::size_t>(index)] = option;
        connect(option, &QRadioButton::clicked, this, [this, index] {
            model_.ModeClicked(index);
            Refresh();
        });
        if (definition.control == C::ModeChosenFolder) {
            auto* folderRow = new QHBoxLayout;
            folderRow->setContentsMargins(24, 0, 0, 0);
            scanFolder_ = new QLineEdit(modes);  // Text2
            scanFolder_->setObjectName(QStringLiteral("Text2"));
            connect(scanFolder_, &QLineEdit::textEdited, this,
                    [this](const QString& text) { model_.ScanFolderEdited(text.toStdString()); });
            browse_ = new QPushButton(QStringLiteral("..."), modes);  // Command5
            browse_->setObjectName(QStringLiteral("Command5"));
            browse_->setFixedWidth(36);
            connect(browse_, &QPushButton::clicked, this, [this] {
                model_.BrowseClicked();
                Refresh();
            });
            folderRow->addWidget(scanFolder_, 1);
            folderRow->addWidget(browse_);
            modeColumn->addLayout(folderRow);
        }
    }
    column->addWidget(modes);
    const struct {
        MainControl control;
        const char* name;
    } checks[] = {{C::CheckAdware, "Check1"}, {C::CheckLessDangerous, "Check2"}, {C::CheckHighPriority, "Check3"}};
    for (int box = 0; box < 3; ++box) {
        const auto& definition = checks[box];
        auto* check = new QCheckBox(frame);
        check->setObjectName(QString::fromLatin1(definition.name));
        Bind(definition.control, [check](const QString&, const QString& text) { check->setText(text); });
        connect(check, &QCheckBox::toggled, this, [this, box](bool on) { model_.CheckToggled(box, on); });
        checks_[static_cast<std::size_t>(box)] = check;
        column->addWidget(check);
    }
    column->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* start = new QPushButton(frame);  // Command1: starts the scan
    start->setObjectName(QStringLiteral("Command1"));
    start->setDefault(true);
    Bind(C::StartScan, [start](const QString&, const QString& text) { start->setText(text); });
    connect(start, &QPushButton::clicked, this, [this] { Execute(model_.StartScanClicked()); });
    bottom->addWidget(start);
    column->addLayout(bottom);
    return frame;
}

QWidget* MainWindow::BuildSettingsFrame() {
    auto* frame = new QWidget;
    frame->setObjectName(QStringLiteral("picFrame2"));
    auto* column = new QVBoxLayout(frame);
    auto* title = Label(C::SettingsTitle, "Label16", frame);
    title->setProperty("frameTitle", true);
    column->addWidget(title);
    auto* row = new QHBoxLayout;
    auto* caption = Label(C::LanguageCaption, "Label27", frame);
    caption->setWordWrap(false);
    language_ = new QComboBox(frame);  // optLang
    language_->setObjectName(QStringLiteral("optLang"));
    caption->setBuddy(language_);
    connect(language_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { model_.SetLanguageChoice(text.toStdString()); });
    row->addWidget(caption);
    row->addWidget(language_, 1);
    column->addLayout(row);
    column->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* save = new QPushButton(frame);  // Command2
    save->setObjectName(QStringLiteral("Command2"));
    Bind(C::SaveLanguage, [save](const QString&, const QString& text) { save->setText(text); });
    connect(save, &QPushButton::clicked, this, [this] { model_.SaveLanguageClicked(); });
    bottom->addWidget(save);
    column->addLayout(bottom);
    return frame;
}

QWidget* MainWindow::BuildQuarantineFrame() {
    auto* frame = new QWidget;
    frame->setObjectName(QStringLiteral("picFrame4"));
    auto* column = new QVBoxLayout(frame);
    auto* title = Label(C::QuarantineTitle, "Label13", frame);
    title->setProperty("frameTitle", true);
    column->addWidget(title);
    quarantineList_ = new QTreeWidget(frame);  // lvQuarintine
    quarantineList_->setObjectName(QStringLiteral("lvQuarintine"));
    quarantineList_->setRootIsDecorated(false);
    quarantineList_->setColumnCount(3);
    quarantineList_->header()->setStretchLastSection(false);
    quarantineList_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    quarantineList_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    quarantineList_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    Bind(C::QuarantineColumnName,
         [this](const QString& text, const QString&) { quarantineList_->headerItem()->setText(0, text); });
    Bind(C::QuarantineColumnDetection,
         [this](const QString& text, const QString&) { quarantineList_->headerItem()->setText(1, text); });
    Bind(C::QuarantineColumnSize,
         [this](const QString& text, const QString&) { quarantineList_->headerItem()->setText(2, text); });
    column->addWidget(quarantineList_, 1);
    auto* links = new QHBoxLayout;
    links->addStretch(1);
    for (auto [control, name] :
         {std::pair{C::QuarantineRestore, "Label18"}, std::pair{C::QuarantineDelete, "Label17"}}) {
        auto* link = Link(control, name, frame);
        link->setStyleSheet(QStringLiteral("color: #1f4e79; text-decoration: underline;"));
        const bool restore = control == C::QuarantineRestore;
        connect(link, &LinkLabel::clicked, this, [this, restore] {
            if (restore) {
                model_.QuarantineRestoreClicked(SelectedQuarantineRow());
            } else {
                model_.QuarantineDeleteClicked(SelectedQuarantineRow());
            }
            RefreshQuarantineList();
        });
        links->addWidget(link);
    }
    column->addLayout(links);
    return frame;
}

void MainWindow::Refresh() {
    for (const auto& [control, setter] : setters_) {
        const std::string& caption = model_.Caption(control);
        setter(ForLabel(caption), ForButton(caption));
    }
    if (adMonitor_) adMonitor_->setStyleSheet(model_.AdMonitorRed() ? QStringLiteral("color: #d00000;") : QString());
    if (scanFolder_ && scanFolder_->text().toStdString() != model_.ScanFolder()) {
        scanFolder_->setText(QString::fromStdString(model_.ScanFolder()));
    }
    if (browse_) browse_->setEnabled(model_.BrowseEnabled());
    for (int i = 0; i < 3; ++i) {
        if (modes_[static_cast<std::size_t>(i)])
            modes_[static_cast<std::size_t>(i)]->setChecked(model_.ScanMode() == i);
        if (checks_[static_cast<std::size_t>(i)]) {
            const QSignalBlocker blocker(checks_[static_cast<std::size_t>(i)]);
            checks_[static_cast<std::size_t>(i)]->setChecked(model_.Checked(i));
        }
    }
    if (language_ && language_->count() == 0) {
        const QSignalBlocker blocker(language_);
        for (const std::string& item : model_.LanguageItems()) language_->addItem(QString::fromStdString(item));
        const int index = language_->findText(QString::fromStdString(model_.LanguageChoice()));
        language_->setCurrentIndex(index);
        if (index < 0) language_->setEditText(QString::fromStdString(model_.LanguageChoice()));
    }
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        if (frames_[i]) frames_[i]->setVisible(model_.FrameVisible(static_cast<int>(i)));
    }
    for (std::size_t i = 0; i < links_.size(); ++i) {
        const auto link = static_cast<NavigationLink>(i);
        highlights_[i]->setPixmap(model_.HighlightVisible(link)
                                      ? QIcon(QStringLiteral(":/pictures/highlight.svg")).pixmap(QSize(14, 14))
                                      : QPixmap());
        QFont font = links_[i]->font();
        font.setUnderline(model_.Underlined(link));
        links_[i]->setFont(font);
    }
}

std::optional<std::size_t> MainWindow::SelectedQuarantineRow() const {
    QTreeWidgetItem* item = quarantineList_->currentItem();
    if (!item || !item->isSelected()) return std::nullopt;
    return static_cast<std::size_t>(quarantineList_->indexOfTopLevelItem(item));
}

void MainWindow::RefreshQuarantineList() {
    quarantineList_->clear();
    for (const quarantine::QuarantineRow& row : model_.QuarantineRows()) {
        auto* item = new QTreeWidgetItem(quarantineList_);
        item->setText(0, ForDisplay(row.name));
        item->setText(1, ForDisplay(row.detection));
        item->setText(2, QString::fromStdString(row.size));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void MainWindow::SyncTimers() {
    timers_.Sync();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter &&
        std::find(hoverClearers_.begin(), hoverClearers_.end(), watched) != hoverClearers_.end()) {
        model_.HoverSurface();
        Refresh();
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
