#include "core/update/DatabaseUpdate.h"

#include "core/text/PathText.h"
#include "core/update/DatabaseInUse.h"
#include "core/update/DatabaseSignature.h"
#include "core/update/UpdateCheck.h"

namespace quellstone::update {

namespace {

using Outcome = DatabaseUpdateOutcome;

std::string AddressOn(std::string_view server, std::string_view path) {
    std::string address(server);
    if (!address.empty() && !address.ends_with('/')) address += '/';
    address += path;
    return address;
}

DatabaseUpdateResult Failure(Outcome outcome, std::string detail) {
    return {outcome, std::nullopt, std::move(detail)};
}

// Downloads `url` with `http`; nullopt with `failure` set when no whole 200 response came.
std::optional<std::string> Download(ports::HttpClient& http, ports::EventPump& pump, const std::string& url,
                                    std::stop_token quit, DatabaseUpdateResult& failure) {
    const auto request = http.NewRequest();
    std::string body;
    DownloadFailure why;
    if (DownloadVersionFile(*request, pump, url, body, quit, why)) return body;
    if (quit.stop_requested()) {
        failure = Failure(Outcome::Cancelled, "cancelled");
    } else if (why.transport == ports::HttpFailure::TooLarge) {
        failure = Failure(Outcome::TooLarge, url + " is too large: " + why.text);
    } else if (why.answered) {
        failure = Failure(Outcome::Refused, url + " answered " + why.text);
    } else {
        failure = Failure(Outcome::NoAnswer, "could not download " + url + ": " + why.text);
    }
    failure.download = std::move(why);
    return std::nullopt;
}

void Report(const InstallObserver& onStep, InstallStep step) {
    if (onStep) onStep(step);
}

}  // namespace

std::string DatabaseFileAddress(std::string_view server) {
    return AddressOn(server, kDatabaseFileUrlPath);
}

std::string DatabaseSignatureAddress(std::string_view server) {
    return AddressOn(server, kDatabaseSignatureUrlPath);
}

std::string DownloadedDatabasePath(const settings::ProgramPaths& paths, DatabaseSource into) {
    return into == DatabaseSource::System ? SystemDatabasePath(paths) : UserDatabasePath(paths);
}

void SettleInterruptedInstall(const std::string& target, std::string_view publicKeyText, ports::FileStore& files,
                              ports::SignatureVerifier& verifier) {
    const ports::FileContent database = files.ReadFile(target);
    if (database.status != ports::ReadStatus::Ok) return;
    const auto verifies = [&](std::string_view suffix) {
        const ports::FileContent signature = files.ReadFile(target + std::string(suffix));
        return signature.status == ports::ReadStatus::Ok &&
               VerifyDatabaseSignature(database.bytes, signature.bytes, publicKeyText, verifier) ==
                   SignatureCheck::Valid;
    };
    if (verifies(kSignatureSuffix) || !verifies(kPendingSignatureSuffix)) return;
    files.RenameOver(target + std::string(kPendingSignatureSuffix), target + std::string(kSignatureSuffix));
}

bool InstallDatabase(const std::string& target, std::string_view database, std::string_view signature,
                     ports::FileStore& files, const InstallObserver& onStep) {
    const std::string signaturePath = target + std::string(kSignatureSuffix);
    const std::string pendingPath = target + std::string(kPendingSignatureSuffix);
    if (!files.CreateFolders(std::string(text::FolderOf(target)))) return false;
    // What earlier interrupted installs left half-written goes first.
    files.RemoveTemporariesOf(target);
    files.RemoveTemporariesOf(pendingPath);
    Report(onStep, InstallStep::FoldersCreated);
    // Until the database is replaced, the old one still verifies with its own
    // signature; from then on the new one verifies with the pending one.
    if (!files.ReplaceFile(pendingPath, signature)) return false;
    Report(onStep, InstallStep::PendingSignatureWritten);
    if (!files.ReplaceFile(target, database)) return false;
    Report(onStep, InstallStep::DatabaseReplaced);
    if (!files.RenameOver(pendingPath, signaturePath)) return false;
    Report(onStep, InstallStep::SignatureMoved);
    return true;
}

DatabaseUpdateResult UpdateDatabase(std::string_view server, std::string_view publicKeyText,
                                    const settings::ProgramPaths& paths, const DatabaseUpdatePorts& ports,
                                    std::stop_token quit, DatabaseSource into) {
    const std::string target = DownloadedDatabasePath(paths, into);
    if (publicKeyText.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return Failure(Outcome::NoKey, "no update key is configured");
    if (server.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return Failure(Outcome::NoServer, "no update server is configured");
    // Before anything is downloaded or written, so that this install (or the
    // finding that none is needed) starts from a pair that verifies.
    SettleInterruptedInstall(target, publicKeyText, ports.files, ports.verifier);
    DatabaseUpdateResult failure;
    const std::optional<std::string> database =
        Download(ports.databaseHttp, ports.pump, DatabaseFileAddress(server), quit, failure);
    if (!database) return failure;
    const std::optional<std::string> signature =
        Download(ports.signatureHttp, ports.pump, DatabaseSignatureAddress(server), quit, failure);
    if (!signature) return failure;

    const SignatureCheck check = VerifyDatabaseSignature(*database, *signature, publicKeyText, ports.verifier);
    if (check == SignatureCheck::NoKeyConfigured) return Failure(Outcome::NoKey, "no update key is configured");
    if (check != SignatureCheck::Valid)
        return Failure(Outcome::BadSignature,
                       "the signature of the database does not verify: " + std::string(SignatureCheckText(check)));
    if (!HasScanSection(*database)) return Failure(Outcome::NotADatabase, "the file has no [Scanfiles] section");
    const std::optional<DatabaseVersion> version = DatabaseVersionOf(*database);
    if (!version) return Failure(Outcome::NotADatabase, "the file has no readable [Database] Version");

    // The system's database serves every user: root's own download does not stand in for it.
    const DatabaseInUse inUse = ChooseDatabase(paths, publicKeyText, ports.files, ports.verifier, into);
    if (!IsNewerDatabase(*version, inUse.version)) {
        if (inUse.version && !IsNewerDatabase(*inUse.version, version)) return {Outcome::AlreadyNewest, version, {}};
        return {Outcome::Older, inUse.version,
                "the server's database (version " + DatabaseVersionText(*version) +
                    ") is older than the one in use (version " + DatabaseVersionText(*inUse.version) + ")"};
    }
    if (quit.stop_requested()) return Failure(Outcome::Cancelled, "cancelled");
    if (!InstallDatabase(target, *database, *signature, ports.files, ports.onInstallStep))
        return Failure(Outcome::WriteFailed, "the database could not be written to " + target);
    return {Outcome::Installed, version, {}};
}

}  // namespace quellstone::update
