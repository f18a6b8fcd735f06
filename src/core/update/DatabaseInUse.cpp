#include "core/update/DatabaseInUse.h"

#include "core/update/DatabaseSignature.h"

namespace quellstone::update {

std::string UserDatabaseRefusal(std::string_view bytes, const std::string& databasePath, std::string_view publicKeyText,
                                ports::FileStore& files, ports::SignatureVerifier& verifier) {
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
    return {};
}

std::function<std::string(const std::string&, std::string_view)> UserDatabaseLoadCheck(
    const settings::ProgramPaths& paths, std::string publicKeyText, ports::FileStore& files,
    ports::SignatureVerifier& verifier) {
    return [userPath = UserDatabasePath(paths), key = std::move(publicKeyText), &files, &verifier](
               const std::string& path, std::string_view bytes) -> std::string {
        if (path != userPath) return {};
        return UserDatabaseRefusal(bytes, path, key, files, verifier);
    };
}

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
    // Sized before it is read: no install writes a file this large.
    if (const std::optional<ports::FileStamp> stamp = files.Stamp(userPath);
        stamp && stamp->size > kMaxUserDatabaseBytes) {
        programs.warning = "it is larger than any database an update installs";
        return programs;
    }
    const ports::FileContent user = files.ReadFile(userPath);
    if (user.status == ports::ReadStatus::Missing) return programs;
    if (user.status != ports::ReadStatus::Ok) {
        programs.warning = "it cannot be read";
        return programs;
    }
    programs.warning = UserDatabaseRefusal(user.bytes, userPath, publicKeyText, files, verifier);
    if (!programs.warning.empty()) return programs;
    // A sound download that a newer program has since overtaken is simply
    // not used: nothing is wrong with it, so there is nothing to warn about.
    const std::optional<DatabaseVersion> userVersion = DatabaseVersionOf(user.bytes);
    if (!IsNewerDatabase(*userVersion, programs.version)) return programs;
    return {userPath, userVersion, true, {}};
}

}  // namespace quellstone::update
