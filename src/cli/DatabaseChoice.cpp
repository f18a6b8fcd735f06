#include "cli/DatabaseChoice.h"

#include <memory>

#include "core/i18n/VendorAddresses.h"
#include "core/text/DisplayEscape.h"
#include "core/update/DatabaseInUse.h"
#include "platform/PosixFileStore.h"
#include "platform/SodiumSignatureVerifier.h"
#include "platform/UserFolders.h"

namespace quellstone::cli {

std::string DatabaseInUseLine(const platform::InstallLayout& layout) {
    const settings::ProgramPaths paths = platform::LinuxProgramPaths(platform::ProcessEnvironment(), layout);
    platform::PosixFileStore files;
    platform::SodiumSignatureVerifier verifier;
    const std::string publicKey = i18n::VendorAddresses::Load(files, paths.VendorFile()).updatePublicKey;
    const update::DatabaseInUse chosen = update::ChooseDatabase(paths, publicKey, files, verifier);
    std::string line = "Database in use: ";
    line += chosen.version ? update::DatabaseVersionText(*chosen.version) : "no version";
    line += ", " + text::EscapeForDisplay(chosen.path);
    switch (chosen.source) {
        case update::DatabaseSource::Shipped: line += " (shipped with the program)"; break;
        case update::DatabaseSource::System: line += " (the system's, updated for every user)"; break;
        case update::DatabaseSource::User: line += " (this user's own update)"; break;
    }
    return line;
}

void UseDatabaseInUse(scan::SignatureDatabase& signatures, const CommandIo& io) {
    std::ostream& err = io.err;
    const settings::ProgramPaths paths = platform::LinuxProgramPaths(platform::ProcessEnvironment(), io.layout);
    // Shared with the load check, which runs whenever the database is read.
    const auto sharedFiles = std::make_shared<platform::PosixFileStore>();
    const auto sharedVerifier = std::make_shared<platform::SodiumSignatureVerifier>();
    platform::PosixFileStore& files = *sharedFiles;
    platform::SodiumSignatureVerifier& verifier = *sharedVerifier;
    const std::string publicKey = i18n::VendorAddresses::Load(files, paths.VendorFile()).updatePublicKey;
    const update::DatabaseInUse chosen = update::ChooseDatabase(paths, publicKey, files, verifier);
    if (!chosen.warning.empty()) {
        err << "quellstone-cli: warning: ignoring the downloaded database "
            << text::EscapeForDisplay(chosen.warningPath) << ": " << chosen.warning << "; using "
            << text::EscapeForDisplay(chosen.path) << "\n";
    }
    signatures.UseDatabase(chosen.path);
    signatures.SetLoadCheck(
        [sharedFiles, sharedVerifier, check = update::UserDatabaseLoadCheck(paths, publicKey, files, verifier)](
            const std::string& path, std::string_view bytes) { return check(path, bytes); });
}

}  // namespace quellstone::cli
