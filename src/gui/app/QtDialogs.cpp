#include "gui/app/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
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
    // Messages carry file names and a server's words: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    if (yesNo) box.setDefaultButton(defaultAnswer == ports::MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    const int answer = box.exec();
    if (!yesNo) return ports::MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? ports::MessageAnswer::Yes : ports::MessageAnswer::No;
}

std::string QtDialogs::ChooseFolder(std::string_view title, std::string_view start) {
    const QString chosen = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), ForLabel(std::string(title)),
        QFile::decodeName(QByteArray(start.data(), static_cast<qsizetype>(start.size()))));
    // The file system's own bytes, not a re-encoding of the shown name.
    const QByteArray bytes = QFile::encodeName(chosen);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<std::string> QtDialogs::ChooseSaveFile(std::string_view title, std::string_view suggested) {
    const QString chosen =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), ForLabel(std::string(title)),
                                     QDir::home().filePath(QString::fromStdString(std::string(suggested))));
    if (chosen.isEmpty()) return std::nullopt;
    const QByteArray bytes = QFile::encodeName(chosen);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quellstone::gui
