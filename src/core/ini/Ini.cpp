#include "core/ini/Ini.h"

#include <algorithm>
#include <vector>

#include "core/ini/IniDocument.h"
#include "core/ini/IniFormat.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::ini {

namespace {

constexpr std::size_t kKeyNamesBuffer = 255;

std::string ReadText(ports::FileStore& files, const std::string& path) {
    ports::FileContent content = files.ReadFile(path);
    if (content.status != ports::ReadStatus::Ok) return {};
    return text::DecodeTextFile(std::move(content.bytes));
}

}  // namespace

std::string Ini::Value() const {
    const std::string content = ReadText(*files_, path_);
    const std::string wanted = text::UpperCase(key_);
    std::string found = default_;
    std::string upper;
    ForEachEntryInSection(content, section_, [&](std::string_view key, std::string_view value) {
        text::UpperCaseInto(key, upper);
        if (upper != wanted) return true;
        found.assign(value);
        return false;
    });
    return std::string(text::TruncateCharacters(found, kMaxIniValueChars));
}

template <typename Edit>
void Ini::Rewrite(Edit&& edit) {
    lastReturnCode_ = 0;
    const ports::FileContent content = files_->ReadFile(path_);
    // A file that exists but cannot be read is left alone rather than replaced
    // by a file that holds only the new entry.
    if (content.status == ports::ReadStatus::Failed) return;
    IniDocument doc = IniDocument::Parse(text::DecodeTextFile(content.bytes));
    if (!edit(doc)) return;
    lastReturnCode_ = files_->ReplaceFile(path_, doc.Serialize()) ? 1 : 0;
}

void Ini::SetValue(std::string& value) {
    std::erase(value, '\0');
    if (!IsWritableSectionName(section_) || !IsWritableKey(key_) || !IsWritableValue(value)) {
        lastReturnCode_ = 0;
        return;
    }
    Rewrite([&](IniDocument& doc) {
        doc.SetValue(section_, key_, value);
        return true;
    });
}

void Ini::DeleteValue() {
    Rewrite([&](IniDocument& doc) { return doc.DeleteKey(section_, key_); });
}

void Ini::DeleteSection() {
    Rewrite([&](IniDocument& doc) { return doc.DeleteSection(section_); });
}

std::string Ini::IniSection() const {
    const std::string content = ReadText(*files_, path_);
    std::string names;
    const bool exists = ForEachEntryInSection(content, section_, [&](std::string_view key, std::string_view) {
        names.append(key);
        names.push_back('\0');
        return true;
    });
    if (!exists && !default_.empty()) return default_;
    // Names that do not fit are cut, as a fixed buffer that must still end in
    // two NUL characters would cut them.
    return std::string(text::TruncateCharacters(names, kKeyNamesBuffer - 2));
}

void Ini::SetIniSection(std::string_view entries) {
    std::vector<std::string> lines;
    while (!entries.empty()) {
        const std::size_t end = entries.find('\0');
        const std::string_view entry = entries.substr(0, end);
        if (!entry.empty()) lines.emplace_back(entry);
        if (end == std::string_view::npos) break;
        entries.remove_prefix(end + 1);
    }
    const bool writable =
        IsWritableSectionName(section_) && std::all_of(lines.begin(), lines.end(), [](const std::string& l) {
            const IniLine line = ParseIniLine(l);
            return line.kind == IniLine::Kind::Entry && IsWritableKey(line.name) && IsWritableValue(l);
        });
    if (!writable) {
        lastReturnCode_ = 0;
        return;
    }
    Rewrite([&](IniDocument& doc) {
        doc.ReplaceSection(section_, lines);
        return true;
    });
}

}  // namespace quellstone::ini
