#include "cli/SystemdUnits.h"

#include <algorithm>

#include "cli/UnitTemplates.h"
#include "core/text/Utf8.h"

namespace quellstone::cli {

std::optional<std::string_view> ExecStartRefusal(std::string_view program) {
    if (!program.starts_with('/')) return "it is not an absolute path";
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; };
    if (std::ranges::any_of(program, isControl)) return "it holds a control character";
    if (!text::IsValidUtf8(program)) return "it is not valid UTF-8";
    if (program.find_first_of("\"'\\") != std::string_view::npos)
        return "systemd runs no program whose path holds a quote or a backslash";
    return std::nullopt;
}

std::string ExecStartWord(std::string_view program) {
    std::string word = "\"";
    for (const char c : program) {
        if (c == '\\' || c == '"') word += '\\';
        if (c == '%') word += '%';
        word += c;
    }
    return word + "\"";
}

std::string ServiceUnitText(std::string_view program) {
    std::string text(kServiceUnitTemplate);
    const std::string word = ExecStartWord(program);
    for (std::size_t mark = text.find(kCommandMark); mark != std::string::npos;
         mark = text.find(kCommandMark, mark + word.size()))
        text.replace(mark, kCommandMark.size(), word);
    return text;
}

std::string TimerUnitText() {
    return std::string(kTimerUnit);
}

}  // namespace quellstone::cli
