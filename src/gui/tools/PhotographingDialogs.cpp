#include "gui/tools/PhotographingDialogs.h"

#include <QApplication>
#include <cstdio>
#include <tuple>

#include "gui/app/QtDialogs.h"

namespace quellstone::gui {

ports::MessageAnswer PhotographingDialogs::Photograph(QWidget& box) {
    QString name = QStringLiteral("dialog-%1").arg(++unnamed_);
    ports::MessageAnswer answer = ports::MessageAnswer::Ok;
    if (!expected_.empty()) {
        std::tie(name, answer) = expected_.front();
        expected_.pop_front();
    }
    box.show();
    QCoreApplication::processEvents();
    const QString path = output_ + "/" + name + "-" + suffix_ + ".png";
    const bool saved = box.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    allSaved_ &= saved;
    box.hide();
    return answer;
}

ports::MessageAnswer PhotographingDialogs::ShowMessage(std::string_view text, ports::MessageIcon icon,
                                                       ports::MessageButtons buttons,
                                                       ports::MessageAnswer defaultAnswer) {
    const ports::MessageAnswer answer =
        Photograph(*MessageBoxFor(text, icon, buttons, defaultAnswer, QApplication::activeWindow()));
    if (buttons != ports::MessageButtons::YesNo) return ports::MessageAnswer::Ok;
    return answer == ports::MessageAnswer::Yes ? ports::MessageAnswer::Yes : ports::MessageAnswer::No;
}

std::optional<std::size_t> PhotographingDialogs::AskChoice(std::string_view text, ports::MessageIcon icon,
                                                           const std::vector<std::string>& choices) {
    const ports::MessageAnswer answer = Photograph(*ChoiceBoxFor(text, icon, choices, QApplication::activeWindow()));
    if (answer == ports::MessageAnswer::Yes && !choices.empty()) return 0;
    return std::nullopt;
}

}  // namespace quellstone::gui
