#include "core/ini/IniFormat.h"

#include "core/text/Trim.h"

namespace quellstone::ini {

namespace {

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

IniLine ParseIniLine(std::string_view raw) {
    const std::string_view line = text::Trim(raw);
    if (line.empty()) return {};
    if (line.front() == '[') {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) return {};
        return {IniLine::Kind::Section, text::Trim(line.substr(1, close - 1)), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return {IniLine::Kind::Entry, text::Trim(line.substr(0, equals)), Unquote(text::Trim(line.substr(equals + 1)))};
}

}  // namespace quellstone::ini
