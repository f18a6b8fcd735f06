#include "gui/app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "core/text/LanguageFormat.h"

namespace quellstone::gui {

QString QtLanguageCode(std::string_view language) {
    const std::string_view code = text::FormatOf(language).code;
    // Qt's own texts are written in English: there is nothing to load for it.
    if (code == "en") return {};
    return QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size()));
}

QtTranslations::QtTranslations(std::string_view language, const QString& folder) {
    const QString code = QtLanguageCode(language);
    if (code.isEmpty() || !QCoreApplication::instance()) return;
    // qtbase_xx holds the texts of Qt's widgets and dialogs; a missing file is no error.
    const QString where = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    if (!translator_.load(QStringLiteral("qtbase_") + code, where)) return;
    installed_ = QCoreApplication::installTranslator(&translator_);
}

QtTranslations::~QtTranslations() {
    if (installed_ && QCoreApplication::instance()) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace quellstone::gui
