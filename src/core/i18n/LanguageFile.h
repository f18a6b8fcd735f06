#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/DirectoryTree.h"
#include "core/ports/FileStore.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::i18n {

inline constexpr std::string_view kDefaultLanguage = "English";
// A language file larger than this is not loaded (as a file that cannot be
// read); a single text longer than kMaxTextChars characters is cut there.
inline constexpr std::uint64_t kMaxLanguageFileBytes = 16u * 1024 * 1024;
inline constexpr std::size_t kMaxTextChars = 4096;
// Shown before any language is loaded, so it cannot come from a language file.
inline constexpr std::string_view kNoLanguageMessage = "Error: Failed loading selected language.";

// Applies the lines of a language file to `table`. A line starting with ";"
// and a line of spaces only are skipped. Any other line is an entry: its first
// three characters, read as a decimal number and rounded, give the entry
// number; the fourth character is skipped; the rest, with every "_" turned into
// a carriage return, is the text, cut at kMaxTextChars characters (never
// inside a UTF-8 sequence). Numbers outside 0 to 999 change nothing; a later
// line of a number wins.
void ApplyLanguageText(std::string_view decodedText, LanguageTable& table);

// Finds `relative` ("a/b/c") below `base` without regard to the letter case
// of its parts, an exact match preferred; "" when nothing matches.
std::string FindIgnoringCase(ports::DirectoryTree& tree, const std::string& base, std::string_view relative);

// Reads the language file and the choice of language.
class LanguageLoader {
public:
    LanguageLoader(settings::SettingsStore& store, ports::FileStore& files, ports::DirectoryTree& tree,
                   ports::Dialogs& dialogs, std::string programFolder)
        : store_(store), files_(files), tree_(tree), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

    // Loads the stored language into `table`. With no language stored (the
    // first start) it says so, stores English and loads that. When the
    // language's file cannot be used (see LoadTexts), a message names it.
    void LoadLanguage(LanguageTable& table);

    // The language chosen in the settings; English when none is stored.
    [[nodiscard]] std::string StoredLanguage();

    // Replaces `table` with the texts of `language`, storing and showing
    // nothing. When its file is missing, cannot be read, is larger than
    // kMaxLanguageFileBytes or holds no text at all, the table gets the
    // English texts built into the program instead and the file's path is
    // returned, for the caller to name; nullopt when the file was used. A
    // file that lacks only some entries is used as it is.
    std::optional<std::string> LoadTexts(std::string_view language, LanguageTable& table);

    // 0 when the file was read, 1 when `path` is empty or names no file. A
    // file that exists but cannot be read, or is larger than
    // kMaxLanguageFileBytes, loads nothing and gives 0, as an empty file would.
    int ReadLanguageFile(const std::string& path, LanguageTable& table);

    // The language file of `name` below the program folder, found without
    // regard to letter case; the path as written when there is none.
    [[nodiscard]] std::string LanguageFilePath(std::string_view name);

private:
    settings::SettingsStore& store_;
    ports::FileStore& files_;
    ports::DirectoryTree& tree_;
    ports::Dialogs& dialogs_;
    std::string programFolder_;
};

}  // namespace quellstone::i18n
