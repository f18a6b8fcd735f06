#include "gui/app/WidgetText.h"

#include "core/text/DisplayEscape.h"

namespace quellstone::gui {

QString ForPlainText(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QString ForButton(const std::string& text) {
    return ForPlainText(text);
}

QString ForLabel(const std::string& text) {
    const QString withBreaks = ForButton(text);
    QString result;
    for (qsizetype i = 0; i < withBreaks.size(); ++i) {
        if (withBreaks[i] == QLatin1Char('&') && i + 1 < withBreaks.size()) ++i;
        result += withBreaks[i];
    }
    return result;
}

QString ForDisplay(const std::string& bytes) {
    return QString::fromStdString(text::EscapeForDisplay(bytes));
}

}  // namespace quellstone::gui
