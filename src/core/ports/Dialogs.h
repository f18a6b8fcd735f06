#pragma once

#include <string_view>

namespace quellstone::ports {

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Message boxes, always titled with the program's name. A text may hold
// carriage returns, which are line breaks.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons,
                                      MessageAnswer defaultAnswer = MessageAnswer::Ok) = 0;
};

}  // namespace quellstone::ports
