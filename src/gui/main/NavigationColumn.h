#pragma once

#include <QFrame>
#include <array>
#include <functional>

#include "core/windows/MainWindowModel.h"
#include "gui/main/CaptionBindings.h"

class QLabel;
class QVBoxLayout;

namespace quellstone::gui {

class LinkLabel;

// The column on the left of the main window: the program's picture, the
// links to the frames and to the program's ends, each with a highlight that
// follows the pointer, the update link and the version line.
class NavigationColumn : public QFrame {
    Q_OBJECT
public:
    NavigationColumn(windows::MainWindowModel& model, std::function<void(windows::MainWindowModel::Action)> execute,
                     QWidget* parent);

    // Draws the captions and the hover highlight.
    void Refresh();

private:
    void AddLinks(QVBoxLayout* column);
    void AddUpdateLink(QVBoxLayout* column);

    windows::MainWindowModel& model_;
    std::function<void(windows::MainWindowModel::Action)> execute_;
    CaptionBindings captions_;
    std::array<LinkLabel*, windows::kNavigationLinkCount> links_{};
    std::array<QLabel*, windows::kNavigationLinkCount> highlights_{};
};

}  // namespace quellstone::gui
