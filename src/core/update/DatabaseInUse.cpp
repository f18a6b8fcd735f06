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
    return [userPath = UserDatabasePath(paths), systemPath = SystemDatabasePath(paths), key = std::move(publicKeyText),
            &files, &verifier](const std::string& path, std::string_view bytes) -> std::string {
        if (path != userPath && path != systemPath) return {};
        return UserDatabaseRefusal(bytes, path, key, files, verifier);
    };
}

std::string UserDatabasePath(const settings::ProgramPaths& paths) {
    return paths.ProductDataFolder() + "/" + std::string(settings::kDatabaseFileName);
}

std::string SystemDatabasePath(const settings::ProgramPaths& paths) {
    return paths.systemDataFolder + "/" + std::string(settings::kDatabaseFileName);
}

namespace {

// A downloaded database's version when it may be used; else nullopt, with
// why in `refusal` unless it is simply absent.
std::optional<DatabaseVersion> UsableDownload(const std::string& path, std::string_view publicKeyText,
                                              ports::FileStore& files, ports::SignatureVerifier& verifier,
                                              std::string& refusal) {
    // Sized before it is read: no install writes a file this large.
    if (const std::optional<ports::FileStamp> stamp = files.Stamp(path); stamp && stamp->size > kMaxUserDatabaseBytes) {
        refusal = "it is larger than any database an update installs";
        return std::nullopt;
    }
    const ports::FileContent bytes = files.ReadFile(path);
    if (bytes.status == ports::ReadStatus::Missing) return std::nullopt;
    if (bytes.status != ports::ReadStatus::Ok) {
        refusal = "it cannot be read";
        return std::nullopt;
    }
    refusal = UserDatabaseRefusal(bytes.bytes, path, publicKeyText, files, verifier);
    if (!refusal.empty()) return std::nullopt;
    return DatabaseVersionOf(bytes.bytes);
}

}  // namespace

DatabaseInUse ChooseDatabase(const settings::ProgramPaths& paths, std::string_view publicKeyText,
                             ports::FileStore& files, ports::SignatureVerifier& verifier, DatabaseSource upTo) {
    DatabaseInUse chosen;
    chosen.path = paths.SignatureDatabase();
    const ports::FileContent shipped = files.ReadFile(chosen.path);
    if (shipped.status == ports::ReadStatus::Ok) chosen.version = DatabaseVersionOf(shipped.bytes);

    for (const auto& [source, path] : {std::pair{DatabaseSource::System, SystemDatabasePath(paths)},
                                       std::pair{DatabaseSource::User, UserDatabasePath(paths)}}) {
        if (source > upTo) break;
        std::string refusal;
        const std::optional<DatabaseVersion> version = UsableDownload(path, publicKeyText, files, verifier, refusal);
        if (!refusal.empty()) {
            chosen.warning = refusal;
            chosen.warningPath = path;
        }
        // A sound download that a newer one has since overtaken is simply
        // not used: nothing is wrong with it, so there is nothing to warn about.
        if (version && IsNewerDatabase(*version, chosen.version)) {
            chosen.path = path;
            chosen.version = version;
            chosen.source = source;
        }
    }
    return chosen;
}

}  // namespace quellstone::update
