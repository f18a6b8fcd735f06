#include "gui/main/NavigationColumn.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/app/LinkLabel.h"

namespace quellstone::gui {

namespace {

using C = windows::MainControl;
using windows::NavigationLink;

struct LinkLine {
    NavigationLink link;
    C control;
    const char* role;  // the link is `role` + "Link", its highlight `role` + "Highlight"
};
// In the order of NavigationLink.
constexpr LinkLine kLinks[] = {{NavigationLink::Information, C::LinkInformation, "information"},
                               {NavigationLink::Scan, C::LinkScan, "scan"},
                               {NavigationLink::Quarantine, C::LinkQuarantine, "quarantine"},
                               {NavigationLink::Settings, C::LinkSettings, "settings"},
                               {NavigationLink::Help, C::LinkHelp, "help"},
                               {NavigationLink::Close, C::LinkClose, "exit"}};

QPixmap Highlight() {
    return QIcon(QStringLiteral(":/pictures/highlight.svg")).pixmap(QSize(14, 14));
}

}  // namespace

NavigationColumn::NavigationColumn(windows::MainWindowModel& model,
                                   std::function<void(windows::MainWindowModel::Action)> execute, QWidget* parent)
    : QFrame(parent), model_(model), execute_(std::move(execute)) {
    setObjectName(QStringLiteral("navigation"));
    setMinimumWidth(210);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 18, 16, 12);
    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/pictures/quellstone.svg")).pixmap(QSize(84, 84)));
    picture->setAlignment(Qt::AlignCenter);
    column->addWidget(picture);
    column->addSpacing(10);
    QLabel* go = captions_.Label(C::GoLabel, QStringLiteral("goLabel"), this);
    column->addWidget(go);
    AddLinks(column);
    column->addStretch(1);
    AddUpdateLink(column);
    column->addSpacing(8);
    QLabel* version = captions_.Label(C::VersionLine, QStringLiteral("versionLabel"), this);
    version->setStyleSheet(QStringLiteral("color: #9fb7cf;"));
    column->addWidget(version);
    // The pictures and plain texts are the column's surface: the pointer on
    // them reaches the column, which clears the highlight.
    for (QLabel* surface : {picture, go, version}) surface->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void NavigationColumn::AddLinks(QVBoxLayout* column) {
    for (const LinkLine& line : kLinks) {
        const auto index = static_cast<std::size_t>(line.link);
        const QString role = QString::fromLatin1(line.role);
        auto* row = new QHBoxLayout;
        auto* highlight = new QLabel(this);
        highlight->setObjectName(role + QStringLiteral("Highlight"));
        highlight->setPixmap(Highlight());
        highlight->setFixedWidth(18);
        highlight->setAttribute(Qt::WA_TransparentForMouseEvents);
        LinkLabel* link = captions_.Link(line.control, role + QStringLiteral("Link"), this);
        link->setProperty("navLink", true);
        connect(link, &LinkLabel::hovered, this, [this, target = line.link] {
            model_.HoverLink(target);
            Refresh();
        });
        connect(link, &LinkLabel::clicked, this, [this, target = line.link] { execute_(model_.LinkClicked(target)); });
        links_[index] = link;
        highlights_[index] = highlight;
        row->addWidget(highlight);
        row->addWidget(link, 1);
        column->addLayout(row);
    }
}

void NavigationColumn::AddUpdateLink(QVBoxLayout* column) {
    auto* row = new QHBoxLayout;
    auto* picture = new LinkLabel(this);
    picture->setObjectName(QStringLiteral("updatePicture"));
    picture->setPixmap(QIcon(QStringLiteral(":/pictures/update.svg")).pixmap(QSize(22, 22)));
    picture->setFocusPolicy(Qt::NoFocus);  // the link next to it takes the keyboard
    LinkLabel* link = captions_.Link(C::UpdateLink, QStringLiteral("updateLink"), this);
    link->setWordWrap(true);
    for (LinkLabel* clickable : {picture, link}) {
        connect(clickable, &LinkLabel::clicked, this, [this] { execute_(model_.UpdateLinkClicked()); });
    }
    row->addWidget(picture);
    row->addWidget(link, 1);
    column->addLayout(row);
}

void NavigationColumn::Refresh() {
    captions_.Apply(model_);
    for (const LinkLine& line : kLinks) {
        const auto index = static_cast<std::size_t>(line.link);
        highlights_[index]->setPixmap(model_.HighlightVisible(line.link) ? Highlight() : QPixmap());
        QFont font = links_[index]->font();
        font.setUnderline(model_.Underlined(line.link));
        links_[index]->setFont(font);
    }
}

}  // namespace quellstone::gui
