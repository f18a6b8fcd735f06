#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <utility>

#include "core/ports/Dialogs.h"

class QWidget;

namespace quellstone::gui {

// Dialogs for the screenshot renderer: every message box is built exactly as
// QtDialogs builds it, saved as OUTPUT/NAME-SUFFIX.png under the name given
// with Expect(), and answered without a user. Pickers are cancelled.
class PhotographingDialogs final : public ports::Dialogs {
public:
    PhotographingDialogs(QString output, QString suffix) : output_(std::move(output)), suffix_(std::move(suffix)) {}

    // The boxes to come, in order, are saved as NAME and answered with ANSWER
    // (a choice box: Yes takes its first named answer, anything else cancels).
    void Expect(QString name, ports::MessageAnswer answer) { expected_.emplace_back(std::move(name), answer); }
    [[nodiscard]] bool AllSaved() const { return allSaved_; }
    [[nodiscard]] std::size_t Pending() const { return expected_.size(); }

    ports::MessageAnswer ShowMessage(std::string_view text, ports::MessageIcon icon, ports::MessageButtons buttons,
                                     ports::MessageAnswer defaultAnswer) override;
    std::optional<std::size_t> AskChoice(std::string_view text, ports::MessageIcon icon,
                                         const std::vector<std::string>& choices) override;
    std::string ChooseFolder(std::string_view, std::string_view) override { return {}; }
    std::optional<std::string> ChooseSaveFile(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }

private:
    // Saves the box under the next expected name and returns the answer to give.
    ports::MessageAnswer Photograph(QWidget& box);

    QString output_;
    QString suffix_;
    std::deque<std::pair<QString, ports::MessageAnswer>> expected_;
    int unnamed_ = 0;
    bool allSaved_ = true;
};

}  // namespace quellstone::gui
