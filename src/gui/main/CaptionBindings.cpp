#include "gui/main/CaptionBindings.h"

#include <QLabel>

#include "core/windows/MainWindowModel.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/WidgetText.h"

namespace quellstone::gui {

void CaptionBindings::Bind(windows::MainControl control, Setter setter) {
    setters_.emplace_back(control, std::move(setter));
}

QLabel* CaptionBindings::Label(windows::MainControl control, const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    Bind(control, [label](const QString& text, const QString&) { label->setText(text); });
    return label;
}

LinkLabel* CaptionBindings::Link(windows::MainControl control, const QString& name, QWidget* parent, bool accelerated) {
    auto* link = new LinkLabel(parent);
    link->setObjectName(name);
    link->setProperty("link", true);  // the window's style keeps room for its focus frame
    link->setIndent(0);               // a framed label would otherwise indent its text
    if (accelerated) {
        Bind(control, [link](const QString&, const QString& text) { link->SetAcceleratedText(text); });
    } else {
        Bind(control, [link](const QString& text, const QString&) { link->setText(text); });
    }
    return link;
}

void CaptionBindings::Apply(const windows::MainWindowModel& model) const {
    for (const auto& [control, setter] : setters_) {
        const std::string& caption = model.Caption(control);
        setter(ForLabel(caption), ForButton(caption));
    }
}

}  // namespace quellstone::gui
