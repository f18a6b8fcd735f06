#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "core/i18n/LanguageTable.h"
#include "core/ports/FileStore.h"
#include "core/update/DatabaseVersion.h"

namespace quellstone::update {

// Why a signature database cannot be used for a scan.
enum class DatabaseProblem {
    None,
    Missing,       // no file at its path
    Unreadable,    // the file cannot be read (not a regular file, no permission, ...)
    NoSignatures,  // it reads, but has no signature section: not a database
};

// What the information frame says of a signature database.
struct DatabaseFacts {
    bool readable = false;
    std::optional<DatabaseVersion> version;  // its [Database] Version
    std::size_t entries = 0;                 // the keys of its name and path sections
    std::optional<std::chrono::system_clock::time_point> modified;
    DatabaseProblem problem = DatabaseProblem::Missing;
};

DatabaseFacts ReadDatabaseFacts(const std::string& path, ports::FileStore& files);

// "2026.12.9 (97 entries, 09.12.2026)", or "97 entries, 09.12.2026" for a
// database without a version; the date as the language writes one.
std::string DatabaseFactsText(const DatabaseFacts& facts, const i18n::LanguageTable& texts);

// What is wrong with the database at `path`, naming it: "The signature
// database /x/bdts.dll does not exist." and the like; "" for no problem.
std::string DatabaseProblemText(DatabaseProblem problem, const std::string& path, const i18n::LanguageTable& texts);

}  // namespace quellstone::update
