#pragma once

#include <QString>
#include <QTranslator>
#include <memory>
#include <string_view>

namespace quellstone::gui {

// Qt's own code for a language name as the settings store it ("Polish" gives
// "pl", "Deutsch" "de": the code of text::FormatOf); "" for English, whose
// texts Qt has already, and for a name the program does not know.
QString QtLanguageCode(std::string_view language);

// Qt's own texts (the buttons of message boxes, the folder picker) in the
// program's language: Qt's translation file for it, from Qt's translations
// folder, installed on the application for as long as this object lives.
// English, an unknown language or a missing file leave Qt's English texts.
class QtTranslations {
public:
    // `folder`: where Qt's translation files lie; Qt's own folder when empty.
    explicit QtTranslations(std::string_view language, const QString& folder = {});
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    [[nodiscard]] bool Installed() const { return installed_; }

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace quellstone::gui
