#include "gui/main/SettingsFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quellstone::gui {

using C = windows::MainControl;

SettingsFrame::SettingsFrame(Host host, QWidget* parent)
    : MainFrame(std::move(host), C::SettingsTitle, QStringLiteral("settings"), parent) {
    auto* row = new QHBoxLayout;
    QLabel* caption = Captions().Label(C::LanguageCaption, QStringLiteral("languageCaption"), this);
    caption->setWordWrap(false);
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
    connect(keepCopies_, &QCheckBox::toggled, this, [this](bool keep) { Model().KeepCopiesToggled(keep); });
    Column()->addWidget(keepCopies_);
    Column()->addStretch(1);

    auto* save = new QPushButton(this);
    save->setObjectName(QStringLiteral("saveLanguageButton"));
    Captions().Bind(C::SaveLanguage, [save](const QString&, const QString& text) { save->setText(text); });
    connect(save, &QPushButton::clicked, this, [this] { Model().SaveLanguageClicked(); });
    AddBottomRow({}, {save});
}

void SettingsFrame::Refresh() {
    MainFrame::Refresh();
    {
        const QSignalBlocker blocker(keepCopies_);
        keepCopies_->setChecked(Model().KeepCopies());
    }
    if (language_->count() > 0) return;  // filled once; from then on the box holds the choice
    const windows::MainWindowModel& model = Model();
    const QSignalBlocker blocker(language_);
    for (const std::string& item : model.LanguageItems()) language_->addItem(QString::fromStdString(item));
    const int index = language_->findText(QString::fromStdString(model.LanguageChoice()));
    language_->setCurrentIndex(index);
    if (index < 0) language_->setEditText(QString::fromStdString(model.LanguageChoice()));
}

}  // namespace quellstone::gui
