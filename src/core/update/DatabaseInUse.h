#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/ports/FileStore.h"
#include "core/ports/SignatureVerifier.h"
#include "core/settings/ProgramPaths.h"
#include "core/update/DatabaseVersion.h"

namespace quellstone::update {

// The largest database an update installs (and so the largest user database used).
inline constexpr std::size_t kMaxUserDatabaseBytes = 64u * 1024 * 1024;

inline constexpr std::string_view kSignatureSuffix = ".minisig";  // bdts.dll.minisig
// The new signature an install writes first; renamed over the signature last.
inline constexpr std::string_view kPendingSignatureSuffix = ".minisig.next";

// The user's downloaded database: data folder + "/Orvanta/Quellstone/bdts.dll".
std::string UserDatabasePath(const settings::ProgramPaths& paths);
// The system's, which root's updates install for every user: /var/lib/quellstone/bdts.dll.
std::string SystemDatabasePath(const settings::ProgramPaths& paths);

// Where the database in use comes from.
enum class DatabaseSource { Shipped, System, User };

struct DatabaseInUse {
    std::string path;  // the file scans, the quarantine list and the window use
    std::optional<DatabaseVersion> version;
    DatabaseSource source = DatabaseSource::Shipped;
    // Why a downloaded database that is present was ignored (in English), and which; empty when none was.
    std::string warning;
    std::string warningPath;
};

// The newest of the shipped database, the system's and the user's. A
// downloaded one counts only when it verifies against `publicKeyText` with
// bdts.dll.minisig -- or, failing that, with bdts.dll.minisig.next, the
// signature an install interrupted between its two renames left -- and reads
// as a database with [Scanfiles] and a version; at equal versions the shipped
// one wins, then the system's. A downloaded database that is simply absent
// gives no warning; of two refused, the user's reason is told. `upTo` System
// leaves the user's out: what an update of the system's database competes with.
DatabaseInUse ChooseDatabase(const settings::ProgramPaths& paths, std::string_view publicKeyText,
                             ports::FileStore& files, ports::SignatureVerifier& verifier,
                             DatabaseSource upTo = DatabaseSource::User);

}  // namespace quellstone::update

namespace quellstone::update {

// Why `bytes` read from the user database at `databasePath` are not to be
// used (a signature beside it that does not verify, no [Scanfiles] section,
// no version); empty when they may be. The version is not compared.
std::string UserDatabaseRefusal(std::string_view bytes, const std::string& databasePath, std::string_view publicKeyText,
                                ports::FileStore& files, ports::SignatureVerifier& verifier);

// A check for SignatureDatabase::SetLoadCheck: the user database is refused
// as UserDatabaseRefusal says, every other file passes. `files` and
// `verifier` must outlive the check.
std::function<std::string(const std::string&, std::string_view)> UserDatabaseLoadCheck(
    const settings::ProgramPaths& paths, std::string publicKeyText, ports::FileStore& files,
    ports::SignatureVerifier& verifier);

}  // namespace quellstone::update
