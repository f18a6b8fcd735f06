#include "gui/app/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "gui/app/WidgetText.h"

namespace quellstone::gui {

namespace {

QMessageBox::Icon QtIcon(ports::MessageIcon icon) {
    switch (icon) {
        case ports::MessageIcon::Information: return QMessageBox::Information;
        case ports::MessageIcon::Warning: return QMessageBox::Warning;
        case ports::MessageIcon::Error: return QMessageBox::Critical;
        case ports::MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::Information;
}

}  // namespace

std::unique_ptr<QMessageBox> MessageBoxFor(std::string_view text, ports::MessageIcon icon,
                                           ports::MessageButtons buttons, ports::MessageAnswer defaultAnswer,
                                           QWidget* parent) {
    const bool yesNo = buttons == ports::MessageButtons::YesNo;
    auto box = std::make_unique<QMessageBox>(QtIcon(icon), QStringLiteral("Quellstone"), ForButton(std::string(text)),
                                             yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    // Messages carry file names and a server's words: never read them as markup.
    box->setTextFormat(Qt::PlainText);
    if (yesNo) box->setDefaultButton(defaultAnswer == ports::MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box;
}

std::unique_ptr<QMessageBox> ChoiceBoxFor(std::string_view text, ports::MessageIcon icon,
                                          const std::vector<std::string>& choices, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QtIcon(icon), QStringLiteral("Quellstone"), ForButton(std::string(text)),
                                             QMessageBox::Cancel, parent);
    box->setTextFormat(Qt::PlainText);
    for (const std::string& choice : choices) box->addButton(ForButton(choice), QMessageBox::AcceptRole);
    box->setDefaultButton(QMessageBox::Cancel);
    box->setEscapeButton(QMessageBox::Cancel);
    return box;
}

ports::MessageAnswer QtDialogs::ShowMessage(std::string_view text, ports::MessageIcon icon,
                                            ports::MessageButtons buttons, ports::MessageAnswer defaultAnswer) {
    const auto box = MessageBoxFor(text, icon, buttons, defaultAnswer, QApplication::activeWindow());
    const int answer = box->exec();
    if (buttons != ports::MessageButtons::YesNo) return ports::MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? ports::MessageAnswer::Yes : ports::MessageAnswer::No;
}

std::optional<std::size_t> QtDialogs::AskChoice(std::string_view text, ports::MessageIcon icon,
                                                const std::vector<std::string>& choices) {
    const auto box = ChoiceBoxFor(text, icon, choices, QApplication::activeWindow());
    box->exec();
    const QList<QAbstractButton*> buttons = box->buttons();
    std::size_t index = 0;
    for (QAbstractButton* button : buttons) {
        if (box->buttonRole(button) != QMessageBox::AcceptRole) continue;
        if (box->clickedButton() == button) return index;
        ++index;
    }
    return std::nullopt;
}

std::string QtDialogs::ChooseFolder(std::string_view title, std::string_view start) {
    const QString chosen = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), ForLabel(std::string(title)),
        QFile::decodeName(QByteArray(start.data(), static_cast<qsizetype>(start.size()))));
    // The file system's own bytes, not a re-encoding of the shown name.
    const QByteArray bytes = QFile::encodeName(chosen);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<std::string> QtDialogs::ChooseSaveFile(std::string_view title, std::string_view suggested,
                                                     std::string_view acceptButton) {
    QFileDialog dialog(QApplication::activeWindow(), ForLabel(std::string(title)),
                       QDir::home().filePath(QString::fromStdString(std::string(suggested))));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The button says what accepting does (a restore is no "Save").
    if (!acceptButton.empty()) dialog.setLabelText(QFileDialog::Accept, ForButton(std::string(acceptButton)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty()) return std::nullopt;
    const QByteArray bytes = QFile::encodeName(chosen);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quellstone::gui
