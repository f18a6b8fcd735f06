#pragma once

#include <QMessageBox>
#include <memory>

#include "core/ports/Dialogs.h"

class QWidget;

namespace quellstone::gui {

// The boxes QtDialogs shows, built but not yet shown, so that the screenshot
// renderer draws exactly what a user sees. A choice box's named answers are
// its buttons with the accept role, in the order given.
std::unique_ptr<QMessageBox> MessageBoxFor(std::string_view text, ports::MessageIcon icon,
                                           ports::MessageButtons buttons, ports::MessageAnswer defaultAnswer,
                                           QWidget* parent);
std::unique_ptr<QMessageBox> ChoiceBoxFor(std::string_view text, ports::MessageIcon icon,
                                          const std::vector<std::string>& choices, QWidget* parent);

// Message boxes titled "Quellstone", owned by the active window.
class QtDialogs final : public ports::Dialogs {
public:
    ports::MessageAnswer ShowMessage(std::string_view text, ports::MessageIcon icon, ports::MessageButtons buttons,
                                     ports::MessageAnswer defaultAnswer) override;
    std::optional<std::size_t> AskChoice(std::string_view text, ports::MessageIcon icon,
                                         const std::vector<std::string>& choices) override;
    std::string ChooseFolder(std::string_view title, std::string_view start) override;
    std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view suggested,
                                              std::string_view acceptButton) override;
};

}  // namespace quellstone::gui
