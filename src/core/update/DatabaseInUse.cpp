#include "core/update/DatabaseInUse.h"

#include "core/update/DatabaseSignature.h"

namespace quellstone::update {

namespace {

// Why a present user database is not used; empty when it is.
std::string RefusalOf(std::string_view bytes, const std::string& databasePath, std::string_view publicKeyText,
                      ports::FileStore& files, ports::SignatureVerifier& verifier,
                      const std::optional<DatabaseVersion>& programVersion) {
    SignatureCheck check = SignatureCheck::MalformedSignature;
    bool anySignature = false;
    for (const std::string_view suffix : {kSignatureSuffix, kPendingSignatureSuffix}) {
        const std::string path = databasePath + std::string(suffix);
        const ports::FileContent signature = files.ReadFile(path);
        if (signature.status != ports::ReadStatus::Ok) continue;
        const SignatureCheck pending = VerifyDatabaseSignature(bytes, signature.bytes, publicKeyText, verifier);
        // The first signature's reason is the one to tell: the pending one is
        // only a fallback for an install that stopped between its renames.
        if (!anySignature || pending == SignatureCheck::Valid) check = pending;
        anySignature = true;
        if (check == SignatureCheck::Valid || check == SignatureCheck::NoKeyConfigured ||
            check == SignatureCheck::MalformedKey)
            break;
    }
    if (!anySignature) {
        // A missing or broken key is the reason to tell even without a signature.
        const SignatureCheck keyCheck = VerifyDatabaseSignature(bytes, "", publicKeyText, verifier);
        if (keyCheck == SignatureCheck::NoKeyConfigured || keyCheck == SignatureCheck::MalformedKey)
            return std::string(SignatureCheckText(keyCheck));
        return "its signature file is missing";
    }
    if (check != SignatureCheck::Valid) return std::string(SignatureCheckText(check));
    if (!HasScanSection(bytes)) return "it has no [Scanfiles] section";
    const std::optional<DatabaseVersion> version = DatabaseVersionOf(bytes);
    if (!version) return "it carries no [Database] Version";
    if (!IsNewerDatabase(*version, programVersion))
        return "it is not newer than the program's (" + DatabaseVersionText(*version) + ")";
    return {};
}

}  // namespace

std::string UserDatabasePath(const settings::ProgramPaths& paths) {
    return paths.ProductDataFolder() + "/" + std::string(settings::kDatabaseFileName);
}

DatabaseInUse ChooseDatabase(const settings::ProgramPaths& paths, std::string_view publicKeyText,
                             ports::FileStore& files, ports::SignatureVerifier& verifier) {
    DatabaseInUse programs;
    programs.path = paths.SignatureDatabase();
    const ports::FileContent programBytes = files.ReadFile(programs.path);
    if (programBytes.status == ports::ReadStatus::Ok) programs.version = DatabaseVersionOf(programBytes.bytes);

    const std::string userPath = UserDatabasePath(paths);
    const ports::FileContent user = files.ReadFile(userPath);
    if (user.status == ports::ReadStatus::Missing) return programs;
    if (user.status != ports::ReadStatus::Ok) {
        programs.warning = "it cannot be read";
        return programs;
    }
    programs.warning = RefusalOf(user.bytes, userPath, publicKeyText, files, verifier, programs.version);
    if (!programs.warning.empty()) return programs;
    return {userPath, DatabaseVersionOf(user.bytes), true, {}};
}

}  // namespace quellstone::update
