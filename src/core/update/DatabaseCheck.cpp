#include "core/update/DatabaseCheck.h"

#include <algorithm>
#include <functional>
#include <map>

#include "core/ini/IniFormat.h"
#include "core/scan/PathPattern.h"
#include "core/scan/SignatureDatabase.h"
#include "core/text/DisplayEscape.h"
#include "core/text/Trim.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"
#include "core/update/DatabaseVersion.h"

namespace quellstone::update {

namespace {

using Kind = DatabaseFinding::Kind;
using scan::HoldsWildcard;
using scan::IsPathPattern;
using scan::kPathSection;
using scan::kSignatureSection;
using scan::LastNameOfPath;

constexpr std::string_view kDatabaseSection = "Database";
constexpr std::string_view kVersionKey = "Version";
// A line that is not an entry is quoted up to this many characters.
constexpr std::size_t kQuotedLineChars = 60;

enum class Section { Other, Names, Paths, Database };

// The names of a pattern as matching reads them, empty ones and "." left
// out: "/tmp//./x/" gives "/tmp/x".
std::string NamesOfPattern(std::string_view pattern) {
    std::string names;
    while (!pattern.empty()) {
        const std::size_t end = std::min(pattern.find('/'), pattern.size());
        const std::string_view name = pattern.substr(0, end);
        if (!name.empty() && name != ".") names.append("/").append(name);
        pattern.remove_prefix(std::min(end + 1, pattern.size()));
    }
    return names;
}

// A line that the section holds but reads nothing from: neither blank nor a comment.
bool IsStray(std::string_view trimmed) {
    return !trimmed.empty() && !trimmed.starts_with(';');
}

// One pass over the lines, section by section; the path entries are judged
// at the end, since a name entry anywhere in the file wins over them.
class Checker {
public:
    void Read(std::size_t number, std::string_view raw) {
        const ini::IniLine line = ini::ParseIniLine(raw);
        if (line.kind == ini::IniLine::Kind::Section) {
            EnterSection(number, line.name);
            return;
        }
        const std::string_view trimmed = text::Trim(raw);
        if (section_ == Section::Other) return;
        if (line.kind != ini::IniLine::Kind::Entry) {
            if (section_ != Section::Database && IsStray(trimmed)) Note(number, Kind::NotAnEntry, trimmed);
            return;
        }
        if (section_ == Section::Names) ReadName(number, line, trimmed);
        if (section_ == Section::Paths) paths_.push_back({number, line.name, line.value});
        if (section_ == Section::Database) ReadVersion(number, line);
    }

    DatabaseCheckResult Finish() {
        std::map<std::string, std::size_t, std::less<>> patterns;  // names of the pattern -> its line
        for (const PathLine& path : paths_) {
            if (!IsPathPattern(path.pattern)) {
                ++result_.skippedPatterns;
                Note(path.line, Kind::RelativePattern, path.pattern);
                continue;
            }
            const auto [first, added] = patterns.try_emplace(NamesOfPattern(path.pattern), path.line);
            if (!added) {
                Note(path.line, Kind::RepeatedPattern, path.pattern, first->second);
                continue;
            }
            // Kept under its last name, a pattern meets the name entry of that
            // name first; one with a detection name answers for it.
            const std::string_view lastName = LastNameOfPath(path.pattern);
            const auto named =
                HoldsWildcard(lastName) ? names_.end() : names_.find(text::UpperCase(scan::LookupKeyOf(lastName)));
            if (named != names_.end() && named->second.detects) {
                Note(path.line, Kind::NameEntryWins, path.pattern, named->second.line);
            } else {
                NoteDetection(path.line, path.pattern, path.value);
            }
        }
        result_.names = names_.size();
        result_.patterns = patterns.size();
        std::ranges::stable_sort(result_.findings, std::less<>(), &DatabaseFinding::line);
        return std::move(result_);
    }

private:
    struct NameEntry {
        std::size_t line;
        bool detects;  // it has a detection name
    };
    struct PathLine {
        std::size_t line;
        std::string_view pattern;
        std::string_view value;
    };

    // Only the first section of a name is read: a later one is skipped whole.
    void EnterSection(std::size_t number, std::string_view name) {
        text::UpperCaseInto(name, upper_);
        Section entered = Section::Other;
        if (upper_ == text::UpperCase(kSignatureSection)) entered = Section::Names;
        if (upper_ == text::UpperCase(kPathSection)) entered = Section::Paths;
        if (upper_ == text::UpperCase(kDatabaseSection)) entered = Section::Database;
        section_ = Section::Other;
        if (entered == Section::Other) return;
        const auto [first, added] = sectionLines_.try_emplace(upper_, number);
        if (!added) {
            Note(number, Kind::RepeatedSection, name, first->second);
            return;
        }
        section_ = entered;
        if (entered == Section::Names) result_.hasNameSection = true;
    }

    void ReadName(std::size_t number, const ini::IniLine& line, std::string_view trimmed) {
        text::UpperCaseInto(line.name, upper_);
        const auto [first, added] = names_.try_emplace(upper_, NameEntry{number, !line.value.empty()});
        if (!added) {
            Note(number, Kind::RepeatedName, line.name, first->second.line);
        } else if (line.name.starts_with(';')) {
            Note(number, Kind::CommentEntry, trimmed);
        } else if (line.name.empty()) {
            Note(number, Kind::EmptyName, trimmed);
        } else {
            NoteDetection(number, line.name, line.value);
        }
    }

    // The first Version line of the section is the version, as an update reads it.
    void ReadVersion(std::size_t number, const ini::IniLine& line) {
        if (result_.version || !text::EqualsIgnoringCase(line.name, kVersionKey)) return;
        const std::string_view value = text::TruncateCharacters(line.value, ini::kMaxIniValueChars);
        result_.version = std::string(value);
        result_.versionValid = update::ParseDatabaseVersion(value).has_value();
        if (!result_.versionValid) Note(number, Kind::NotAVersion, value);
    }

    void NoteDetection(std::size_t number, std::string_view key, std::string_view value) {
        if (value.empty()) {
            Note(number, Kind::EmptyDetection, key);
        } else if (text::TruncateCharacters(value, ini::kMaxIniValueChars).size() < value.size()) {
            Note(number, Kind::LongDetection, key);
        }
    }

    void Note(std::size_t line, Kind kind, std::string_view subject, std::size_t earlierLine = 0) {
        result_.findings.push_back({line, kind, std::string(subject), earlierLine});
    }

    DatabaseCheckResult result_;
    Section section_ = Section::Other;
    std::map<std::string, std::size_t, std::less<>> sectionLines_;  // upper-cased name -> line of its header
    std::map<std::string, NameEntry, std::less<>> names_;           // upper-cased [Scanfiles] names
    std::vector<PathLine> paths_;
    std::string upper_;
};

}  // namespace

DatabaseCheckResult CheckDatabase(std::string_view decodedText) {
    Checker checker;
    std::size_t number = 0;
    ini::ForEachLine(decodedText, [&](std::string_view line) { checker.Read(++number, line); });
    return checker.Finish();
}

std::string DescribeFinding(const DatabaseFinding& finding) {
    const std::string subject = text::EscapeForDisplay(finding.subject);
    const std::string earlier = std::to_string(finding.earlierLine);
    switch (finding.kind) {
        case Kind::RepeatedSection:
            return "[" + subject + "] again (the first is on line " + earlier + "): its lines are never read";
        case Kind::NotAnEntry: {
            const std::string_view quoted = text::TruncateCharacters(finding.subject, kQuotedLineChars);
            const std::string more = quoted.size() < finding.subject.size() ? "..." : "";
            return "not an entry (no \"=\"), ignored: " + text::EscapeForDisplay(quoted) + more;
        }
        case Kind::CommentEntry: return "a comment with \"=\" is read as an entry for a file named so: " + subject;
        case Kind::EmptyName: return "no file name before \"=\": the entry matches no file";
        case Kind::RepeatedName:
            return "name " + subject + " is given on line " + earlier + " already; this line is never read";
        case Kind::EmptyDetection: return subject + " has no detection name: what it matches is reported clean";
        case Kind::LongDetection:
            return "the detection name of " + subject + " is cut to " + std::to_string(ini::kMaxIniValueChars) +
                   " characters";
        case Kind::RelativePattern: return "path key " + subject + " is not an absolute path: skipped";
        case Kind::RepeatedPattern:
            return "pattern " + subject + " is given on line " + earlier + " already; this line never matches";
        case Kind::NameEntryWins:
            return "pattern " + subject + " never matches: the name entry on line " + earlier +
                   " names its last name and wins";
        case Kind::NotAVersion:
            return "Version " + subject + " is not a version (numbers joined by single dots): the database has none";
    }
    return subject;
}

}  // namespace quellstone::update
