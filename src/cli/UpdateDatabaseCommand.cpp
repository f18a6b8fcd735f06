#include "cli/UpdateDatabaseCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include "cli/NoEvents.h"
#include "core/i18n/VendorAddresses.h"
#include "core/text/DisplayEscape.h"
#include "core/update/DatabaseInUse.h"
#include "core/update/DatabaseUpdate.h"
#include "core/update/UpdateCheck.h"
#include "platform/CurlHttpClient.h"
#include "platform/PosixFileStore.h"
#include "platform/SodiumSignatureVerifier.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

namespace {

// How much of a failure's reason is printed; it may quote the server.
constexpr std::size_t kMaxShownReasonChars = 300;

}  // namespace

UpdateDatabaseCommand::UpdateDatabaseCommand()
    : Command({
          .name = "update-database",
          .summary = "Download and install a newer signed signature database",
          .options = {{"server", "URL", "Download from the server at URL instead"},
                      {"system", "", "Install it for every user (root only; root's updates always do)"},
                      {"if-configured", "",
                       "Without a PublicKey or an update server in vendor.ini, say so and end with status 0 "
                       "instead of failing (the scheduled scan updates this way before it scans)"}},
          .description = "Downloads updates/bdts.dll and its signature updates/bdts.dll.minisig from\n"
                         "the update server (Server in [Update] of vendor.ini,\n"
                         "or URL), checks the signature with PublicKey in [Update], checks that the\n"
                         "file is a database with a [Scanfiles] section and a [Database] Version,\n"
                         "and installs it as $XDG_DATA_HOME/Orvanta/Quellstone/bdts.dll -- run by\n"
                         "root, or with --system, as /var/lib/quellstone/bdts.dll for every user --\n"
                         "when it is newer than the database in use. Every scan uses the newest of\n"
                         "the shipped database, the system's and the user's. A database over 64 MiB is refused; its\n"
                         "download may take up to 15 minutes but ends when it stays under 1 KiB/s\n"
                         "for a minute.\n",
          .details = "Exit status: 0 the database in use is the newest the server has (installed\n"
                     "now or already), or with --if-configured no key or no server is configured;\n"
                     "2 the update failed (no key or no server configured, no answer, a\n"
                     "status other than 200, a file too large, a signature that does not\n"
                     "verify, a file that is no database, an older version); the reason goes\n"
                     "to the error output.\n",
      }) {}

int UpdateDatabaseCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    // The system's database is root's to write; root's updates are everyone's.
    const bool root = ::geteuid() == 0;
    if (args.Has("system") && !root) {
        Error(io) << "--system installs the database for every user and needs root\n";
        return kExitError;
    }
    const update::DatabaseSource into = root ? update::DatabaseSource::System : update::DatabaseSource::User;
    platform::PosixFileStore files;
    const settings::ProgramPaths paths = platform::LinuxProgramPaths(platform::ProcessEnvironment(), io.layout);
    if (root) {
        // Whatever umask root's shell or sudo brought: every user must read what is installed.
        ::umask(022);
        platform::OpenFolderToEveryone(paths.systemDataFolder);
    }
    const i18n::VendorAddresses vendor = i18n::VendorAddresses::Load(files, paths.VendorFile());
    const std::string server = args.Has("server") ? args.Value("server") : vendor.updateServer;
    // Nothing could be verified without a key: for the timer that is a
    // computer not set up for updates, not a failed update.
    if (args.Has("if-configured") && (vendor.updatePublicKey.empty() || server.empty())) {
        io.out << (server.empty() ? "No update server is configured (Server" : "No update key is configured (PublicKey")
               << " in [Update] of " << text::EscapeForDisplay(paths.VendorFile())
               << "): the database is not updated.\n";
        return kExitOk;
    }

    platform::CurlHttpClient databaseHttp = platform::CurlHttpClient::ForDatabase(update::kMaxDatabaseBytes);
    platform::CurlHttpClient signatureHttp(std::chrono::seconds(60), update::kMaxSignatureDownloadBytes);
    platform::SodiumSignatureVerifier verifier;
    NoEvents pump;
    const update::DatabaseUpdateResult result = update::UpdateDatabase(
        server, vendor.updatePublicKey, paths, {databaseHttp, signatureHttp, pump, verifier, files}, {}, into);
    if (!result.Succeeded()) {
        Error(io) << update::ServerTextForDisplay(result.detail, kMaxShownReasonChars) << '\n';
        return kExitError;
    }
    const std::string version = result.version ? update::DatabaseVersionText(*result.version) : "";
    if (result.outcome == update::DatabaseUpdateOutcome::Installed) {
        io.out << "Installed database version " << version << " as "
               << text::EscapeForDisplay(update::DownloadedDatabasePath(paths, into)) << ".\n";
    } else {
        io.out << "The database in use is already the newest: version " << version << ".\n";
    }
    return kExitOk;
}

}  // namespace quellstone::cli
