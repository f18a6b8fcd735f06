#include "gui/main/ScanFrame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quellstone::gui {

namespace {

using C = windows::MainControl;
using scan::ScanMode;
using windows::ScanOption;

struct ModeButton {
    ScanMode mode;
    C control;
    const char* name;
};
constexpr ModeButton kModes[] = {{ScanMode::WholeComputer, C::ModeWholeComputer, "wholeComputerOption"},
                                 {ScanMode::ChosenFolder, C::ModeChosenFolder, "chosenFolderOption"},
                                 {ScanMode::QuickScan, C::ModeQuickScan, "quickScanOption"}};

struct OptionBox {
    ScanOption option;
    C control;
    const char* name;
};
constexpr OptionBox kOptions[] = {{ScanOption::Adware, C::CheckAdware, "adwareCheck"},
                                  {ScanOption::LessDangerous, C::CheckLessDangerous, "lessDangerousCheck"},
                                  {ScanOption::HighPriority, C::CheckHighPriority, "highPriorityCheck"},
                                  {ScanOption::IncludeHidden, C::CheckHidden, "includeHiddenCheck"}};

}  // namespace

ScanFrame::ScanFrame(Host host, QWidget* parent)
    : MainFrame(std::move(host), C::ScanTitle, QStringLiteral("scan"), parent) {
    Column()->addWidget(Captions().Label(C::ScanHint, QStringLiteral("scanHint"), this));

    auto* modeBox = new QGroupBox(this);
    modeBox->setObjectName(QStringLiteral("scanModeBox"));
    Captions().Bind(C::ScanModes, [modeBox](const QString& text, const QString&) { modeBox->setTitle(text); });
    auto* modeColumn = new QVBoxLayout(modeBox);
    auto* group = new QButtonGroup(modeBox);
    group->setObjectName(QStringLiteral("scanModeButtons"));
    for (const ModeButton& definition : kModes) {
        auto* button = new QRadioButton(modeBox);
        button->setObjectName(QString::fromLatin1(definition.name));
        Captions().Bind(definition.control, [button](const QString&, const QString& text) { button->setText(text); });
        if (definition.mode == ScanMode::ChosenFolder) {
            // The folder box has no label of its own: its mode's button names it.
            Captions().Bind(definition.control,
                            [this](const QString& label, const QString&) { folder_->setAccessibleName(label); });
        }
        group->addButton(button);
        modeColumn->addWidget(button);
        modes_[static_cast<std::size_t>(definition.mode)] = button;
        connect(button, &QRadioButton::clicked, this, [this, mode = definition.mode] {
            Model().ModeClicked(mode);
            Redraw();
        });
        if (definition.mode != ScanMode::ChosenFolder) continue;
        // The folder to scan, under its mode's button.
        auto* folderRow = new QHBoxLayout;
        folderRow->setContentsMargins(24, 0, 0, 0);
        folder_ = new QLineEdit(modeBox);
        folder_->setObjectName(QStringLiteral("scanFolderEdit"));
        // Wide enough for a usual path at the window's smallest size.
        folder_->setMinimumWidth(folder_->fontMetrics().averageCharWidth() * 28);
        connect(folder_, &QLineEdit::textEdited, this,
                [this](const QString& text) { Model().ScanFolderEdited(text.toStdString()); });
        browse_ = new QPushButton(QStringLiteral("..."), modeBox);
        browse_->setObjectName(QStringLiteral("browseButton"));
        browse_->setFixedWidth(36);
        Captions().Bind(C::BrowseName,
                        [this](const QString& label, const QString&) { browse_->setAccessibleName(label); });
        connect(browse_, &QPushButton::clicked, this, [this] {
            Model().BrowseClicked();
            Redraw();
        });
        folderRow->addWidget(folder_, 1);
        folderRow->addWidget(browse_);
        modeColumn->addLayout(folderRow);
    }
    Column()->addWidget(modeBox);

    for (const OptionBox& definition : kOptions) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(definition.name));
        Captions().Bind(definition.control, [box](const QString&, const QString& text) { box->setText(text); });
        connect(box, &QCheckBox::toggled, this, [this, option = definition.option](bool on) {
            Model().CheckToggled(option, on);
            Redraw();  // a choice that could not be stored is shown as stored
        });
        options_[static_cast<std::size_t>(definition.option)] = box;
        Column()->addWidget(box);
    }
    Column()->addStretch(1);

    auto* start = new QPushButton(this);
    start->setObjectName(QStringLiteral("startScanButton"));
    start->setDefault(true);
    Captions().Bind(C::StartScan, [start](const QString&, const QString& text) { start->setText(text); });
    connect(start, &QPushButton::clicked, this, [this] { Execute(Model().StartScanClicked()); });
    AddBottomRow({}, {start});
}

void ScanFrame::Refresh() {
    MainFrame::Refresh();
    const windows::MainWindowModel& model = Model();
    if (folder_->text().toStdString() != model.ScanFolder())
        folder_->setText(QString::fromStdString(model.ScanFolder()));
    browse_->setEnabled(model.BrowseEnabled());
    for (const ModeButton& definition : kModes) {
        modes_[static_cast<std::size_t>(definition.mode)]->setChecked(model.ScanMode() == definition.mode);
    }
    for (const OptionBox& definition : kOptions) {
        QCheckBox* box = options_[static_cast<std::size_t>(definition.option)];
        const QSignalBlocker blocker(box);
        box->setChecked(model.Checked(definition.option));
    }
}

}  // namespace quellstone::gui
