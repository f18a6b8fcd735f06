#include "gui/main/SettingsFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quellstone::gui {

using C = windows::MainControl;

SettingsFrame::SettingsFrame(Host host, QWidget* parent)
    : MainFrame(std::move(host), C::SettingsTitle, QStringLiteral("settings"), parent) {
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(this);
    caption->setObjectName(QStringLiteral("languageCaption"));
    Captions().Bind(C::LanguageCaption, [caption](const QString&, const QString& text) { caption->setText(text); });
    language_ = new QComboBox(this);
    language_->setObjectName(QStringLiteral("languageBox"));
    caption->setBuddy(language_);
    connect(language_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { Model().SetLanguageChoice(text.toStdString()); });
    row->addWidget(caption);
    row->addWidget(language_, 1);
    Column()->addLayout(row);
    keepCopies_ = new QCheckBox(this);
    keepCopies_->setObjectName(QStringLiteral("keepCopiesCheck"));
    Captions().Bind(C::KeepCopiesCheck, [this](const QString&, const QString& text) { keepCopies_->setText(text); });
    connect(keepCopies_, &QCheckBox::toggled, this, [this](bool keep) {
        Model().KeepCopiesToggled(keep);
        Redraw();  // a choice that could not be stored is shown as stored
    });
    Column()->addWidget(keepCopies_);
    network_ = new QCheckBox(this);
    network_->setObjectName(QStringLiteral("includeNetworkCheck"));
    Captions().Bind(C::CheckNetwork, [this](const QString&, const QString& text) { network_->setText(text); });
    connect(network_, &QCheckBox::toggled, this, [this](bool on) {
        Model().CheckToggled(windows::ScanOption::IncludeNetwork, on);
        Redraw();
    });
    Column()->addWidget(network_);
    AddExcludedFolders();
    Column()->addStretch(1);

    auto* save = new QPushButton(this);
    save->setObjectName(QStringLiteral("saveLanguageButton"));
    Captions().Bind(C::SaveLanguage, [save](const QString&, const QString& text) { save->setText(text); });
    connect(save, &QPushButton::clicked, this, [this] { Model().SaveLanguageClicked(); });
    AddBottomRow({}, {save});
}

// The list of excluded folders with its add and remove buttons beside it.
void SettingsFrame::AddExcludedFolders() {
    // Its "&" marks the key that leads to the list, as on a button.
    auto* caption = new QLabel(this);
    caption->setObjectName(QStringLiteral("excludedFoldersCaption"));
    Captions().Bind(C::ExcludedCaption, [caption](const QString&, const QString& text) { caption->setText(text); });
    Column()->addWidget(caption);
    excluded_ = new QListWidget(this);
    excluded_->setObjectName(QStringLiteral("excludedFoldersList"));
    excluded_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Three rows stay in view at the window's smallest size.
    excluded_->setMinimumHeight(excluded_->fontMetrics().height() * 4);
    caption->setBuddy(excluded_);
    connect(excluded_, &QListWidget::currentRowChanged, this, [this](int row) {
        Model().ExcludedFolders().SelectionChanged(row < 0 ? std::nullopt
                                                           : std::optional(static_cast<std::size_t>(row)));
        Redraw();
    });
    auto* add = new QPushButton(this);
    add->setObjectName(QStringLiteral("addExcludedButton"));
    Captions().Bind(C::ExcludedAdd, [add](const QString&, const QString& text) { add->setText(text); });
    connect(add, &QPushButton::clicked, this, [this] {
        Model().ExcludedFolders().AddClicked();
        Redraw();
    });
    removeExcluded_ = new QPushButton(this);
    removeExcluded_->setObjectName(QStringLiteral("removeExcludedButton"));
    Captions().Bind(C::ExcludedRemove, [this](const QString&, const QString& text) { removeExcluded_->setText(text); });
    connect(removeExcluded_, &QPushButton::clicked, this, [this] {
        Model().ExcludedFolders().RemoveClicked();
        Redraw();
    });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(removeExcluded_);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(excluded_, 1);
    row->addLayout(buttons);
    Column()->addLayout(row, 1);
}

void SettingsFrame::RefreshExcludedFolders() {
    const windows::ExcludedFoldersModel& model = Model().ExcludedFolders();
    const QSignalBlocker blocker(excluded_);
    QStringList shown;
    for (const std::string& folder : model.ShownFolders()) shown << QString::fromStdString(folder);
    QStringList listed;
    for (int row = 0; row < excluded_->count(); ++row) listed << excluded_->item(row)->text();
    if (listed != shown) {
        excluded_->clear();
        excluded_->addItems(shown);
    }
    excluded_->setCurrentRow(model.Selected() ? static_cast<int>(*model.Selected()) : -1);
    removeExcluded_->setEnabled(model.RemoveEnabled());
}

void SettingsFrame::Refresh() {
    MainFrame::Refresh();
    {
        const QSignalBlocker blocker(keepCopies_);
        keepCopies_->setChecked(Model().KeepCopies());
    }
    {
        const QSignalBlocker blocker(network_);
        network_->setChecked(Model().Checked(windows::ScanOption::IncludeNetwork));
    }
    RefreshExcludedFolders();
    if (language_->count() > 0) return;  // filled once; from then on the box holds the choice
    const windows::MainWindowModel& model = Model();
    const QSignalBlocker blocker(language_);
    for (const std::string& item : model.LanguageItems()) language_->addItem(QString::fromStdString(item));
    const int index = language_->findText(QString::fromStdString(model.LanguageChoice()));
    language_->setCurrentIndex(index);
    if (index < 0) language_->setEditText(QString::fromStdString(model.LanguageChoice()));
}

}  // namespace quellstone::gui
