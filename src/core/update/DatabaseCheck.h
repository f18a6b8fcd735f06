#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::update {

// A line of a signature database that a scan skips, or reads to no effect:
// what the keeper of a database wants to hear of before shipping it.
struct DatabaseFinding {
    enum class Kind {
        RepeatedSection,  // a second [Scanfiles], [Scanpaths] or [Database]: only the first is read
        NotAnEntry,       // neither an entry, a blank line nor a comment, inside [Scanfiles] or [Scanpaths]
        CommentEntry,     // a ";" line with "=" in [Scanfiles]: read as an entry for a file named ";..."
        EmptyName,        // a [Scanfiles] entry with no file name: no file matches it
        RepeatedName,     // a [Scanfiles] name an earlier line gives: this line is never read
        EmptyDetection,   // no detection name: what the entry matches is clean
        LongDetection,    // a detection name past 1023 characters, which is cut there
        RelativePattern,  // a [Scanpaths] key that is not an absolute path: skipped
        RepeatedPattern,  // a [Scanpaths] pattern an earlier line gives (the same names): never matched
        NameEntryWins,    // a pattern whose fixed last name a [Scanfiles] entry names: that entry wins
        NotAVersion,      // [Database] Version that is not numbers joined by single dots
    };
    std::size_t line = 0;  // 1-based
    Kind kind = Kind::NotAnEntry;
    std::string subject;          // the key, pattern, section or line as written
    std::size_t earlierLine = 0;  // the line that wins over this one, for the repeated kinds and NameEntryWins
};

struct DatabaseCheckResult {
    bool hasNameSection = false;         // false: not a signature database
    std::optional<std::string> version;  // [Database] Version as written; none when not given
    bool versionValid = false;
    std::size_t names = 0;                  // distinct [Scanfiles] names, as a scan loads them
    std::size_t patterns = 0;               // distinct absolute [Scanpaths] patterns
    std::size_t skippedPatterns = 0;        // [Scanpaths] keys that are not absolute paths
    std::vector<DatabaseFinding> findings;  // in line order
};

// Reads a decoded database (text::DecodeTextFile) line by line with the
// rules a scan loads it by (SignatureIndex), noting every line that is
// skipped or shadowed.
DatabaseCheckResult CheckDatabase(std::string_view decodedText);

// One line about the finding, its subject escaped for display:
// "name AVSERVE.EXE is given on line 12 already; this line is never read".
std::string DescribeFinding(const DatabaseFinding& finding);

}  // namespace quellstone::update
