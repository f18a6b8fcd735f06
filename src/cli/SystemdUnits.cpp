#include "cli/SystemdUnits.h"

#include "cli/UnitTemplates.h"

namespace quellstone::cli {

std::string ExecStartWord(std::string_view path) {
    std::string word = "\"";
    for (const char c : path) {
        if (c == '\\' || c == '"') word += '\\';
        if (c == '%' || c == '$') word += c;
        word += c;
    }
    return word + "\"";
}

std::string ServiceUnitText(std::string_view program) {
    std::string text(kServiceUnitTemplate);
    const std::size_t mark = text.find(kCommandMark);
    if (mark != std::string::npos) text.replace(mark, kCommandMark.size(), ExecStartWord(program));
    return text;
}

std::string TimerUnitText() {
    return std::string(kTimerUnit);
}

}  // namespace quellstone::cli
