#include "core/update/DatabaseVersion.h"

#include <algorithm>
#include <limits>

#include "core/ini/IniFormat.h"
#include "core/scan/SignatureDatabase.h"
#include "core/text/Utf8.h"

namespace quellstone::update {

namespace {

constexpr std::string_view kDatabaseSection = "Database";
constexpr std::string_view kVersionKey = "Version";

}  // namespace

std::optional<DatabaseVersion> ParseDatabaseVersion(std::string_view text) {
    DatabaseVersion version;
    std::uint64_t number = 0;
    bool inNumber = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            number = number * 10 + static_cast<std::uint64_t>(c - '0');
            if (number > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
            inNumber = true;
        } else if (c == '.' && inNumber) {
            version.push_back(static_cast<std::uint32_t>(number));
            number = 0;
            inNumber = false;
        } else {
            return std::nullopt;
        }
    }
    if (!inNumber) return std::nullopt;  // empty, or ends with a dot
    version.push_back(static_cast<std::uint32_t>(number));
    return version;
}

std::optional<DatabaseVersion> DatabaseVersionOf(std::string_view databaseBytes) {
    const std::string text = text::DecodeTextFile(std::string(databaseBytes));
    const std::string wantedKey = text::UpperCase(kVersionKey);
    std::optional<DatabaseVersion> version;
    std::string key;
    ini::ForEachEntryInSection(text, kDatabaseSection, [&](std::string_view name, std::string_view value) {
        text::UpperCaseInto(name, key);
        if (key != wantedKey) return true;
        version = ParseDatabaseVersion(text::TruncateCharacters(value, ini::kMaxIniValueChars));
        return false;  // the first line of a key wins
    });
    return version;
}

bool HasScanSection(std::string_view databaseBytes) {
    const std::string text = text::DecodeTextFile(std::string(databaseBytes));
    return ini::ForEachEntryInSection(text, scan::kSignatureSection,
                                      [](std::string_view, std::string_view) { return false; });
}

bool IsNewerDatabase(const DatabaseVersion& candidate, const std::optional<DatabaseVersion>& inUse) {
    if (!inUse) return true;
    // Missing trailing numbers count as zero: 2026.12.9 and 2026.12.9.0 are the same version.
    const std::size_t length = std::max(candidate.size(), inUse->size());
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint32_t mine = i < candidate.size() ? candidate[i] : 0;
        const std::uint32_t theirs = i < inUse->size() ? (*inUse)[i] : 0;
        if (mine != theirs) return mine > theirs;
    }
    return false;
}

std::string DatabaseVersionText(const DatabaseVersion& version) {
    std::string text;
    for (std::size_t i = 0; i < version.size(); ++i) {
        if (i > 0) text += '.';
        text += std::to_string(version[i]);
    }
    return text;
}

}  // namespace quellstone::update
