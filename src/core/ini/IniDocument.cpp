#include "core/ini/IniDocument.h"

#include "core/ini/IniFormat.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::ini {

namespace {

constexpr std::string_view kLineBreaks = "\r\n";

std::string EntryLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

std::string HeaderLine(std::string_view section) {
    std::string line = "[";
    line += section;
    line += ']';
    return line;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    if (const std::size_t lf = text.find('\n'); lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r') {
        doc.lineEnd_ = "\r\n";
    }
    ForEachLine(text, [&](std::string_view line) { doc.lines_.emplace_back(line); });
    return doc;
}

std::optional<IniDocument::SectionSpan> IniDocument::FindSection(std::string_view section) const {
    const std::string wanted = text::UpperCase(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const IniLine line = ParseIniLine(lines_[i]);
        if (line.kind != IniLine::Kind::Section || text::UpperCase(line.name) != wanted) continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && ParseIniLine(lines_[end]).kind != IniLine::Kind::Section) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const SectionSpan& span, std::string_view key) const {
    const std::string wanted = text::UpperCase(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const IniLine line = ParseIniLine(lines_[i]);
        if (line.kind == IniLine::Kind::Entry && text::UpperCase(line.name) == wanted) return i;
    }
    return std::nullopt;
}

void IniDocument::AppendSection(std::string_view section, const std::vector<std::string>& lines) {
    lines_.push_back(HeaderLine(section));
    lines_.insert(lines_.end(), lines.begin(), lines.end());
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    const auto span = FindSection(section);
    if (!span) {
        AppendSection(section, {EntryLine(key, value)});
        return;
    }
    if (const auto at = FindKey(*span, key)) {
        lines_[*at] = EntryLine(ParseIniLine(lines_[*at]).name, value);
        return;
    }
    // After the section's last entry, so blank lines and comments that
    // separate it from the next section stay where they are.
    std::size_t insertAt = span->header + 1;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (ParseIniLine(lines_[i]).kind == IniLine::Kind::Entry) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), EntryLine(key, value));
}

bool IniDocument::DeleteKey(std::string_view section, std::string_view key) {
    const auto span = FindSection(section);
    if (!span) return false;
    const auto at = FindKey(*span, key);
    if (!at) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
    return true;
}

bool IniDocument::DeleteSection(std::string_view section) {
    const auto span = FindSection(section);
    if (!span) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
    return true;
}

void IniDocument::ReplaceSection(std::string_view section, const std::vector<std::string>& lines) {
    const auto span = FindSection(section);
    if (!span) {
        AppendSection(section, lines);
        return;
    }
    const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(span->header + 1);
    lines_.erase(first, lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(span->header + 1), lines.begin(), lines.end());
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += lineEnd_;
    }
    return out;
}

namespace {

// Names are read back trimmed and files that are not UTF-8 are read as
// Windows-1250, so only names that survive both can be written.
bool IsReadableBackAsIs(std::string_view name) {
    return !name.empty() && text::IsValidUtf8(name) && name.find_first_of(kLineBreaks) == std::string_view::npos &&
           name.find_first_of(" \t") != 0 && name.find_last_of(" \t") != name.size() - 1;
}

}  // namespace

bool IsWritableSectionName(std::string_view section) {
    return IsReadableBackAsIs(section) && section.find(']') == std::string_view::npos;
}

bool IsWritableKey(std::string_view key) {
    return IsReadableBackAsIs(key) && key.front() != '[' && key.find('=') == std::string_view::npos;
}

bool IsWritableValue(std::string_view value) {
    return text::IsValidUtf8(value) && value.find_first_of(kLineBreaks) == std::string_view::npos;
}

}  // namespace quellstone::ini
