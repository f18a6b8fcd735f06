// A database update over real files, a real HTTP server on 127.0.0.1 and a
// signing key made for the test run.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "core/update/DatabaseInUse.h"
#include "core/update/DatabaseUpdate.h"
#include "platform/CurlHttpClient.h"
#include "platform/PosixFileStore.h"
#include "platform/SodiumSignatureVerifier.h"
#include "support/MinisignSigner.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

namespace quellstone::update {

// A database of `version` that lists `names` (each as "NAME=Detection").
inline std::string DatabaseText(const std::string& version, const std::string& names = "EVIL.EXE=Trojan.Evil\n") {
    return "[Database]\nVersion=" + version + "\n[Scanfiles]\n" + names;
}

class DatabaseUpdateFixture : public ::testing::Test {
protected:
    // Small enough that a test can send a database over it.
    static constexpr std::size_t kTestDatabaseLimit = 4096;

    DatabaseUpdateFixture() {
        std::filesystem::create_directories(dir / "prog");
        testing::WriteFile(dir / "prog/bdts.dll", "[Scanfiles]\nOLD.EXE=Trojan.Old\n");
        paths = {dir / "prog", dir / "data", "/usr", "/opt/", "", "", dir / "system"};
    }
    void Serve(const std::string& database, const std::string& signature) {
        server.routes["/updates/bdts.dll"] = testing::HttpResponse("200 OK", database);
        server.routes["/updates/bdts.dll.minisig"] = testing::HttpResponse("200 OK", signature);
    }
    void ServeSigned(const std::string& database) { Serve(database, key.Sign(database)); }
    DatabaseUpdateResult Update(const std::string& publicKey) {
        return UpdateDatabase(server.Address(), publicKey, paths, {databaseHttp, signatureHttp, pump, verifier, files});
    }
    DatabaseUpdateResult Update() { return Update(key.PublicKeyText()); }
    [[nodiscard]] std::string UserDatabase() const { return testing::ReadAll(UserDatabasePath(paths)); }
    [[nodiscard]] std::string UserSignature() const {
        return testing::ReadAll(UserDatabasePath(paths) + std::string(kSignatureSuffix));
    }
    [[nodiscard]] bool PendingSignatureExists() const {
        return std::filesystem::exists(UserDatabasePath(paths) + std::string(kPendingSignatureSuffix));
    }
    DatabaseInUse InUse() { return ChooseDatabase(paths, key.PublicKeyText(), files, verifier); }

    testing::TempDir dir;
    settings::ProgramPaths paths;
    testing::TestHttpServer server;
    testing::MinisignKey key = testing::MinisignKey::Generate();
    platform::CurlHttpClient databaseHttp{std::chrono::seconds(60), kTestDatabaseLimit};
    platform::CurlHttpClient signatureHttp{std::chrono::seconds(60)};
    testing::CountingPump pump;
    platform::SodiumSignatureVerifier verifier;
    platform::PosixFileStore files;
};

}  // namespace quellstone::update
