#include "gui/app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "core/update/Version.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

namespace {

using T = i18n::TextId;
using windows::AboutLink;

// The four links, in the order they stand.
constexpr std::pair<AboutLink, T> kLinks[] = {{AboutLink::HomePage, T::AboutHomePage},
                                              {AboutLink::Support, T::AboutSupport},
                                              {AboutLink::Forum, T::AboutForum},
                                              {AboutLink::Contact, T::AboutContact}};

}  // namespace

AboutDialog::AboutDialog(windows::MainWindowModel& model, const i18n::LanguageTable& texts, QWidget* parent)
    : QDialog(parent) {
    setModal(true);
    // A plain dialog: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ForLabel(texts.Text(T::AboutTitle)));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/pictures/quellstone.svg")).pixmap(QSize(72, 72)));
    auto* name = new QLabel(QStringLiteral("<b style='font-size:large'>Quellstone</b><br>%1<br>"
                                           "Copyright \u00a9 2026 The Quellstone developers<br>MIT License")
                                .arg(QString::fromStdString(texts.Text(T::VersionCaption) + " " +
                                                            update::VersionText(update::BuildVersion()))),
                            this);
    name->setObjectName(QStringLiteral("aboutName"));
    top->addWidget(picture);
    top->addWidget(name, 1);
    layout->addLayout(top);
    int number = 0;
    for (const auto& [target, text] : kLinks) {
        auto* link = new LinkLabel(this);
        link->setObjectName(QStringLiteral("aboutLink%1").arg(number++));
        link->setText(QStringLiteral("<a href='#'>%1</a>").arg(ForLabel(texts.Text(text)).toHtmlEscaped()));
        link->setTextInteractionFlags(Qt::NoTextInteraction);  // the link acts as a whole, not Qt's anchor
        link->setFocusPolicy(Qt::StrongFocus);                 // which the line above had switched off
        connect(link, &LinkLabel::clicked, this, [&model, target] { model.AboutLinkClicked(target); });
        link->setMargin(2);  // room for the focus frame around the text
        layout->addWidget(link, 0, Qt::AlignLeft);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(ForButton(texts.Text(T::AboutClose)), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace quellstone::gui
