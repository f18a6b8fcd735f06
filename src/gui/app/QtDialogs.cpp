#include "gui/app/QtDialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "gui/app/WidgetText.h"

namespace quellstone::gui {

ports::MessageAnswer QtDialogs::ShowMessage(std::string_view text, ports::MessageIcon icon,
                                            ports::MessageButtons buttons, ports::MessageAnswer defaultAnswer) {
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    switch (icon) {
        case ports::MessageIcon::Information: qtIcon = QMessageBox::Information; break;
        case ports::MessageIcon::Warning: qtIcon = QMessageBox::Warning; break;
        case ports::MessageIcon::Error: qtIcon = QMessageBox::Critical; break;
        case ports::MessageIcon::Question: qtIcon = QMessageBox::Question; break;
    }
    const bool yesNo = buttons == ports::MessageButtons::YesNo;
    QMessageBox box(qtIcon, QStringLiteral("Quellstone"), ForButton(std::string(text)),
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, QApplication::activeWindow());
    if (yesNo) box.setDefaultButton(defaultAnswer == ports::MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    const int answer = box.exec();
    if (!yesNo) return ports::MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? ports::MessageAnswer::Yes : ports::MessageAnswer::No;
}

}  // namespace quellstone::gui
