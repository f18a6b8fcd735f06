#include "core/i18n/LanguageFile.h"

#include <cmath>

#include "core/i18n/BuiltInEnglish.h"
#include "core/ini/IniFormat.h"
#include "core/settings/ProgramPaths.h"
#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"
#include "core/text/NumberText.h"
#include "core/text/PathText.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::i18n {

namespace {

// Byte position where the character numbered `chars` (from 0) starts; a byte
// that is not valid UTF-8 counts as one character.
std::size_t OffsetOfCharacter(std::string_view text, std::size_t chars) {
    return text::TruncateCharacters(text, chars).size();
}

}  // namespace

void ApplyLanguageText(std::string_view decodedText, LanguageTable& table) {
    ini::ForEachLine(decodedText, [&](std::string_view line) {
        if (line.starts_with(';') || line.find_first_not_of(' ') == std::string_view::npos) return;
        const double number = text::LeadingWholeNumber(line.substr(0, OffsetOfCharacter(line, 3)));
        if (!(number >= 0 && number <= LanguageTable::kSize - 1)) return;
        std::string entry(text::TruncateCharacters(line.substr(OffsetOfCharacter(line, 4)), kMaxTextChars));
        for (char& c : entry) {
            if (c == '_') c = '\r';
        }
        table.Set(static_cast<int>(number), std::move(entry));
    });
}

std::string FindIgnoringCase(ports::DirectoryTree& tree, const std::string& base, std::string_view relative) {
    std::string found = base;
    while (!relative.empty()) {
        const std::size_t slash = relative.find('/');
        const std::string_view part = relative.substr(0, slash);
        relative.remove_prefix(slash == std::string_view::npos ? relative.size() : slash + 1);
        if (part.empty()) continue;
        const std::unique_ptr<ports::Directory> folder = tree.OpenFolder(found.empty() ? "/" : found);
        if (!folder) return {};
        ports::DirectoryListing listing;
        folder->List(listing);
        std::string match;
        for (std::size_t i = 0; i < listing.Size(); ++i) {
            const std::string_view name = listing.Name(i);
            if (text::IsHiddenName(name)) continue;
            if (name == part) {
                match = name;
                break;
            }
            if (match.empty() && text::EqualsIgnoringCase(name, part)) match = name;
        }
        if (match.empty()) return {};
        found += '/';
        found += match;
    }
    return found;
}

void LanguageLoader::LoadLanguage(LanguageTable& table) {
    if (store_.Read(settings::keys::kLanguage).empty()) {
        dialogs_.ShowMessage(kNoLanguageMessage, ports::MessageIcon::Error, ports::MessageButtons::Ok);
        store_.Write(settings::keys::kLanguage, kDefaultLanguage);
    }
    // Said once per start, as the language is loaded once per start; in
    // English, since those are the texts the table now holds.
    if (const std::optional<std::string> unread = LoadTexts(StoredLanguage(), table)) {
        dialogs_.ShowMessage(text::FillIn(table.Text(TextId::LanguageFileUnreadable), text::EscapeForDisplay(*unread)),
                             ports::MessageIcon::Warning, ports::MessageButtons::Ok);
    }
}

std::string LanguageLoader::StoredLanguage() {
    // A store that cannot keep the choice (a settings file that cannot be
    // read or written) still gets the default language.
    std::string language = store_.Read(settings::keys::kLanguage);
    return language.empty() ? std::string(kDefaultLanguage) : language;
}

std::optional<std::string> LanguageLoader::LoadTexts(std::string_view language, LanguageTable& table) {
    const std::string path = LanguageFilePath(language);
    LanguageTable read;
    ReadLanguageFile(path, read);
    if (read.Empty()) {
        table = BuiltInEnglishTexts();
        // A name that would leave the languages folder has no path: the one it asks for is named.
        if (!path.empty()) return path;
        return programFolder_ + "/" + settings::LanguageDocumentRelative(language, std::string(language) + ".txt");
    }
    read.SetLanguage(std::string(language));
    table = std::move(read);
    return std::nullopt;
}

std::string LanguageLoader::LanguageFilePath(std::string_view name) {
    // A name that would leave the languages folder is not a language.
    if (name.find('/') != std::string_view::npos || name == "." || name == "..") return {};
    const std::string relative = settings::LanguageDocumentRelative(name, std::string(name) + ".txt");
    std::string found = FindIgnoringCase(tree_, programFolder_, relative);
    return found.empty() ? programFolder_ + "/" + relative : found;
}

int LanguageLoader::ReadLanguageFile(const std::string& path, LanguageTable& table) {
    if (path.empty()) return 1;
    // A file far larger than any language file is not even read into memory.
    if (const std::optional<ports::FileStamp> stamp = files_.Stamp(path); stamp && stamp->size > kMaxLanguageFileBytes)
        return 0;
    ports::FileContent content = files_.ReadFile(path);
    if (content.status == ports::ReadStatus::Missing) return 1;
    // A file that exists but cannot be read loads nothing, as an empty file
    // would; so does one that grew too large since its size was asked.
    if (content.status == ports::ReadStatus::Ok && content.bytes.size() <= kMaxLanguageFileBytes)
        ApplyLanguageText(text::DecodeTextFile(std::move(content.bytes)), table);
    return 0;
}

}  // namespace quellstone::i18n
