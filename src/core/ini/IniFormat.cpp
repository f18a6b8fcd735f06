#include "core/ini/IniFormat.h"

namespace quellstone::ini {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

IniLine ParseIniLine(std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty()) return {};
    if (line.front() == '[') {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) return {};
        return {IniLine::Kind::Section, Trim(line.substr(1, close - 1)), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return {IniLine::Kind::Entry, Trim(line.substr(0, equals)), Unquote(Trim(line.substr(equals + 1)))};
}

}  // namespace quellstone::ini
