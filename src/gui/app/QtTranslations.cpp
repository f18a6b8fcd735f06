#include "gui/app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace quellstone::gui {

QString QtLanguageCode(std::string_view language) {
    const QString name = QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size()));
    if (name.compare(QLatin1String("Polish"), Qt::CaseInsensitive) == 0) return QStringLiteral("pl");
    if (name.compare(QLatin1String("Deutsch"), Qt::CaseInsensitive) == 0) return QStringLiteral("de");
    return {};
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
