#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::update {

// A database version: dot-separated numbers, compared numerically.
using DatabaseVersion = std::vector<std::uint32_t>;

// "2026.12.9", "2026.12.9.1": digits and single dots only, at least one number.
std::optional<DatabaseVersion> ParseDatabaseVersion(std::string_view text);

// The [Database] Version= of a database file, read with the program's INI rules.
std::optional<DatabaseVersion> DatabaseVersionOf(std::string_view databaseBytes);

// True when the file has a [Scanfiles] section header.
bool HasScanSection(std::string_view databaseBytes);

// Numeric, element by element; a missing version is older than any.
bool IsNewerDatabase(const DatabaseVersion& candidate, const std::optional<DatabaseVersion>& inUse);

// "2026.12.9"
std::string DatabaseVersionText(const DatabaseVersion& version);

}  // namespace quellstone::update
