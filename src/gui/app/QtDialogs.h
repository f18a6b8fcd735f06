#pragma once

#include "core/ports/Dialogs.h"

class QWidget;

namespace quellstone::gui {

// Message boxes titled "Quellstone", owned by the active window.
class QtDialogs final : public ports::Dialogs {
public:
    ports::MessageAnswer ShowMessage(std::string_view text, ports::MessageIcon icon, ports::MessageButtons buttons,
                                     ports::MessageAnswer defaultAnswer) override;
    std::optional<std::size_t> AskChoice(std::string_view text, ports::MessageIcon icon,
                                         const std::vector<std::string>& choices) override;
    std::string ChooseFolder(std::string_view title, std::string_view start) override;
    std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view suggested) override;
};

}  // namespace quellstone::gui
