#pragma once

#include "core/ports/Dialogs.h"

namespace quellstone::platform {

// Dialogs for runs without a user to ask (the command line, the screenshot
// renderer): no message is shown, every question takes its default answer,
// every picker is cancelled.
class SilentDialogs final : public ports::Dialogs {
public:
    ports::MessageAnswer ShowMessage(std::string_view, ports::MessageIcon, ports::MessageButtons,
                                     ports::MessageAnswer defaultAnswer) override {
        return defaultAnswer;
    }
    std::optional<std::size_t> AskChoice(std::string_view, ports::MessageIcon,
                                         const std::vector<std::string>&) override {
        return std::nullopt;
    }
    std::string ChooseFolder(std::string_view, std::string_view) override { return {}; }
    std::optional<std::string> ChooseSaveFile(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
};

}  // namespace quellstone::platform
