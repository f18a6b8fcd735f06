#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::ports {

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Message boxes, always titled with the program's name (a text may hold
// carriage returns, which are line breaks), and the file and folder pickers.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons,
                                      MessageAnswer defaultAnswer = MessageAnswer::Ok) = 0;
    // A question answered with one of the caller's `choices` (interface
    // texts; "&" marks an accelerator) or with the platform's Cancel, which
    // is the default button and what Escape presses. The chosen index, or
    // nullopt for Cancel.
    virtual std::optional<std::size_t> AskChoice(std::string_view text, MessageIcon icon,
                                                 const std::vector<std::string>& choices) = 0;
    // The folder the user picks, starting at `start`; "" when cancelled.
    virtual std::string ChooseFolder(std::string_view title, std::string_view start) = 0;
    // The file the user names to save to; nullopt when cancelled. The accept
    // button reads `acceptButton` (an interface text), or the platform's own
    // "Save" when it is empty.
    virtual std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view suggested,
                                                      std::string_view acceptButton) = 0;
    std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view suggested) {
        return ChooseSaveFile(title, suggested, {});
    }
};

}  // namespace quellstone::ports
