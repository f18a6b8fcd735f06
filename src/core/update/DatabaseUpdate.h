#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "core/ports/EventPump.h"
#include "core/ports/FileStore.h"
#include "core/ports/HttpClient.h"
#include "core/ports/SignatureVerifier.h"
#include "core/settings/ProgramPaths.h"
#include "core/update/DatabaseInUse.h"
#include "core/update/DatabaseVersion.h"
#include "core/update/UpdateCheck.h"

namespace quellstone::update {

// Where the update server keeps the newest signed database.
inline constexpr std::string_view kDatabaseFileUrlPath = "updates/bdts.dll";
inline constexpr std::string_view kDatabaseSignatureUrlPath = "updates/bdts.dll.minisig";
// A downloaded database larger than this is refused.
inline constexpr std::size_t kMaxDatabaseBytes = kMaxUserDatabaseBytes;
// A signature file is a few hundred bytes; a download larger than this is refused.
inline constexpr std::size_t kMaxSignatureDownloadBytes = 64u * 1024;

enum class DatabaseUpdateOutcome {
    Installed,      // a newer database was installed and is now in use
    AlreadyNewest,  // the server's database is the one in use
    NoKey,          // no public key to check signatures with
    NoServer,       // no update server is configured
    NoAnswer,       // the server could not be reached or sent no response
    Refused,        // the server answered with a status other than 200
    TooLarge,       // the database is over the download limit
    BadSignature,   // the signature does not verify with the configured key
    NotADatabase,   // no [Scanfiles] section, or no readable [Database] Version
    Older,          // the server's database is older than the one in use
    WriteFailed,    // the files could not be written
    Cancelled,      // the program is closing
};

struct DatabaseUpdateResult {
    DatabaseUpdateOutcome outcome = DatabaseUpdateOutcome::Cancelled;
    // The version installed, or the one in use when nothing was installed.
    std::optional<DatabaseVersion> version;
    // Why it failed, in English; raw: it may quote the server or the network.
    std::string detail;
    // NoAnswer, Refused, TooLarge: how the download failed, for a window to name it.
    DownloadFailure download{};

    [[nodiscard]] bool Succeeded() const {
        return outcome == DatabaseUpdateOutcome::Installed || outcome == DatabaseUpdateOutcome::AlreadyNewest;
    }
};

// The steps of an install, each reported once it is done.
enum class InstallStep { FoldersCreated, PendingSignatureWritten, DatabaseReplaced, SignatureMoved };
using InstallObserver = std::function<void(InstallStep)>;

struct DatabaseUpdatePorts {
    ports::HttpClient& databaseHttp;   // its body limit is kMaxDatabaseBytes (or a test's smaller one)
    ports::HttpClient& signatureHttp;  // its body limit is kMaxSignatureDownloadBytes
    ports::EventPump& pump;
    ports::SignatureVerifier& verifier;
    ports::FileStore& files;
    InstallObserver onInstallStep{};
};

// The database file's and its signature's addresses on `server`.
std::string DatabaseFileAddress(std::string_view server);
std::string DatabaseSignatureAddress(std::string_view server);

// Downloads the server's database and its signature, checks both, and
// installs the database as the user's (`into` System: the system's) when it is newer
// than the one in use.
// The downloads yield to `pump`; a stop requested on `quit` cancels them.
DatabaseUpdateResult UpdateDatabase(std::string_view server, std::string_view publicKeyText,
                                    const settings::ProgramPaths& paths, const DatabaseUpdatePorts& ports,
                                    std::stop_token quit = {}, DatabaseSource into = DatabaseSource::User);

// Finishes an install that stopped between its two renames: when the
// database at `target`'s signature does not verify it but the pending signature does,
// the pending one is moved over the signature. Without this, a second
// interrupted install could overwrite the only signature that verifies.
void SettleInterruptedInstall(const std::string& target, std::string_view publicKeyText, ports::FileStore& files,
                              ports::SignatureVerifier& verifier);

// The file an update installs into: the user's database, or the system's.
std::string DownloadedDatabasePath(const settings::ProgramPaths& paths, DatabaseSource into);

// Installs `database` with `signature` at `target` (the user's or the system's database) so that a kill
// at any moment leaves a pair that verifies: the signature goes beside it as
// the pending one, the database replaces the old one, then the pending
// signature moves over the old signature. False when a step failed.
bool InstallDatabase(const std::string& target, std::string_view database, std::string_view signature,
                     ports::FileStore& files, const InstallObserver& onStep = {});

}  // namespace quellstone::update
