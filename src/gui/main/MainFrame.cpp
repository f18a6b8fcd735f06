#include "gui/main/MainFrame.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/main/FrameHeader.h"

namespace quellstone::gui {

MainFrame::MainFrame(Host host, windows::MainControl title, const QString& role, QWidget* parent)
    : QWidget(parent), host_(std::move(host)), column_(new QVBoxLayout(this)) {
    setObjectName(role + QStringLiteral("Frame"));
    auto* header = new FrameHeader(role + QStringLiteral("Title"), this);
    captions_.Bind(title, [header](const QString& text, const QString&) { header->setText(text); });
    column_->addWidget(header);
}

void MainFrame::Refresh() {
    captions_.Apply(host_.model);
}

void MainFrame::AddBottomRow(std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : left) row->addWidget(widget);
    row->addStretch(1);
    for (QWidget* widget : right) row->addWidget(widget);
    column_->addLayout(row);
}

}  // namespace quellstone::gui
