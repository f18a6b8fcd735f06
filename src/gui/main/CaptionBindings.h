#pragma once

#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "core/windows/MainControls.h"

class QLabel;
class QWidget;

namespace quellstone::windows {
class MainWindowModel;
}

namespace quellstone::gui {

class LinkLabel;

// The widgets of one piece of the main window that show a caption of the
// model, and how each shows it: a label drops the "&" markers, a button or
// menu keeps them.
class CaptionBindings {
public:
    using Setter = std::function<void(const QString& label, const QString& button)>;

    void Bind(windows::MainControl control, Setter setter);
    // A word-wrapped label showing the control's caption.
    QLabel* Label(windows::MainControl control, const QString& name, QWidget* parent);
    // A link showing the control's caption; with `accelerated`, its "&"
    // letter clicks it (links whose texts the menus share have none).
    LinkLabel* Link(windows::MainControl control, const QString& name, QWidget* parent, bool accelerated = false);

    // Shows every bound control's current caption.
    void Apply(const windows::MainWindowModel& model) const;

private:
    std::vector<std::pair<windows::MainControl, Setter>> setters_;
};

}  // namespace quellstone::gui
