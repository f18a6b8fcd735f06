#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/Dialogs.h"
#include "core/ports/Shell.h"

namespace quellstone::testing {

// Records what the program hands to the desktop's default action; with
// `fails` set, no action can be started (no opener on this desktop).
class FakeShell final : public ports::Shell {
public:
    std::vector<std::string> opened;
    bool fails = false;
    bool OpenWithDefaultAction(const std::string& target) override {
        opened.push_back(target);
        return !fails;
    }
};

// Records message boxes and answers them with `answer`.
class FakeDialogs final : public ports::Dialogs {
public:
    struct Message {
        std::string text;
        ports::MessageIcon icon;
        ports::MessageButtons buttons;
        ports::MessageAnswer defaultAnswer;  // the button that Enter presses
        std::vector<std::string> choices;    // a question with named answers (Cancel besides them)
    };
    std::vector<Message> shown;
    std::function<void()> whileAsking;  // runs while a question or save dialog is open
    ports::MessageAnswer answer = ports::MessageAnswer::Ok;
    std::vector<ports::MessageAnswer> nextAnswers;  // the answers to the next messages, before `answer`
    std::string folderAnswer;                       // "" is a cancelled folder picker
    std::optional<std::string> saveAnswer;          // nullopt is a cancelled save dialog
    std::vector<std::string> foldersOffered;

    ports::MessageAnswer ShowMessage(std::string_view text, ports::MessageIcon icon, ports::MessageButtons buttons,
                                     ports::MessageAnswer defaultAnswer) override {
        shown.push_back({std::string(text), icon, buttons, defaultAnswer, {}});
        if (whileAsking) whileAsking();
        if (!nextAnswers.empty()) {
            const ports::MessageAnswer next = nextAnswers.front();
            nextAnswers.erase(nextAnswers.begin());
            return next;
        }
        return answer;
    }
    std::optional<std::size_t> choice;  // the named answer a question with them gets; nullopt is Cancel
    std::optional<std::size_t> AskChoice(std::string_view text, ports::MessageIcon icon,
                                         const std::vector<std::string>& choices) override {
        shown.push_back({std::string(text), icon, ports::MessageButtons::Ok, ports::MessageAnswer::Ok, choices});
        return choice;
    }
    std::string ChooseFolder(std::string_view, std::string_view start) override {
        foldersOffered.emplace_back(start);
        return folderAnswer;
    }
    std::string saveSuggested;  // the name the last save dialog started with
    std::string saveButton;     // its accept button's text; "" for the platform's own
    std::optional<std::string> ChooseSaveFile(std::string_view, std::string_view suggested,
                                              std::string_view acceptButton) override {
        saveSuggested = suggested;
        saveButton = acceptButton;
        if (whileAsking) whileAsking();
        return saveAnswer;
    }
};

}  // namespace quellstone::testing
