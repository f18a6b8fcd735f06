#pragma once

#include <QWidget>
#include <functional>
#include <initializer_list>

#include "core/windows/MainWindowModel.h"
#include "gui/main/CaptionBindings.h"

class QVBoxLayout;

namespace quellstone::gui {

// One frame of the main window's content area: a header with the frame's
// title over a column of its controls. A frame draws its share of the model
// and hands the user's events to it; the window shows one frame at a time.
class MainFrame : public QWidget {
    Q_OBJECT
public:
    // What a frame needs of the window around it.
    struct Host {
        windows::MainWindowModel& model;
        // Does what a handler's action asks for, then redraws the whole window.
        std::function<void(windows::MainWindowModel::Action)> execute;
    };

    // The frame is named `role` + "Frame", its header `role` + "Title".
    MainFrame(Host host, windows::MainControl title, const QString& role, QWidget* parent);

    // Draws what the frame shows of the model.
    virtual void Refresh();

protected:
    [[nodiscard]] windows::MainWindowModel& Model() const { return host_.model; }
    [[nodiscard]] CaptionBindings& Captions() { return captions_; }
    [[nodiscard]] QVBoxLayout* Column() const { return column_; }
    void Execute(windows::MainWindowModel::Action action) const { host_.execute(action); }
    // After a handler that changed what the window shows.
    void Redraw() const { host_.execute(windows::MainWindowModel::Action::None); }
    // The frame's last row: `left` at its start, `right` at its end.
    void AddBottomRow(std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right);

private:
    Host host_;
    CaptionBindings captions_;
    QVBoxLayout* column_ = nullptr;
};

}  // namespace quellstone::gui
