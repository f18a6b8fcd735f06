// Downloading, checking and installing a signed database.
#include "platform/DatabaseUpdateFixture.h"

namespace quellstone::update {
namespace {

using Outcome = DatabaseUpdateOutcome;
using testing::HttpResponse;

class DatabaseUpdateTest : public DatabaseUpdateFixture {};

TEST_F(DatabaseUpdateTest, InstallsANewerSignedDatabaseThatIsThenInUse) {
    const std::string database = DatabaseText("2026.12.9");
    ServeSigned(database);
    const DatabaseUpdateResult result = Update();
    ASSERT_EQ(result.outcome, Outcome::Installed) << result.detail;
    EXPECT_EQ(DatabaseVersionText(*result.version), "2026.12.9");
    EXPECT_EQ(UserDatabase(), database);
    EXPECT_EQ(UserSignature(), key.Sign(database));
    EXPECT_FALSE(PendingSignatureExists());
    const DatabaseInUse inUse = InUse();
    EXPECT_EQ(inUse.path, UserDatabasePath(paths));
    EXPECT_EQ(inUse.source, DatabaseSource::User);
    EXPECT_EQ(DatabaseVersionText(*inUse.version), "2026.12.9");
    EXPECT_GT(pump.calls, 0);  // the window stayed alive during the downloads

    // The same database again: nothing to do, nothing written.
    const auto before = files.Stamp(UserDatabasePath(paths));
    const DatabaseUpdateResult again = Update();
    EXPECT_EQ(again.outcome, Outcome::AlreadyNewest) << again.detail;
    EXPECT_EQ(DatabaseVersionText(*again.version), "2026.12.9");
    EXPECT_EQ(files.Stamp(UserDatabasePath(paths)), before);

    // A newer one replaces it with its own signature.
    const std::string newer = DatabaseText("2026.12.10", "EVIL.EXE=Trojan.Evil\nWORSE.EXE=Trojan.Worse\n");
    ServeSigned(newer);
    EXPECT_EQ(Update().outcome, Outcome::Installed);
    EXPECT_EQ(UserDatabase(), newer);
    EXPECT_EQ(DatabaseVersionText(*InUse().version), "2026.12.10");
}

// Every refusal leaves the database in use and its signature as they were, byte for byte.
TEST_F(DatabaseUpdateTest, RefusesWhatIsNotANewerDatabaseSignedWithTheKeyAndKeepsTheOneInUse) {
    const std::string installed = DatabaseText("2026.6.1");
    ServeSigned(installed);
    ASSERT_EQ(Update().outcome, Outcome::Installed);
    const std::string installedSignature = UserSignature();
    const std::string newer = DatabaseText("2026.12.9");
    const testing::MinisignKey otherKey = testing::MinisignKey::Generate();

    struct Case {
        const char* name;
        std::function<void()> serve;
        Outcome expected;
        const char* detail;  // a part of the reason
    };
    const Case cases[] = {
        {"tampered after signing", [&] { Serve(DatabaseText("2026.12.9", "EVIL.EXE=Nothing\n"), key.Sign(newer)); },
         Outcome::BadSignature, "signature"},
        {"signed by another key", [&] { Serve(newer, otherKey.Sign(newer)); }, Outcome::BadSignature, "signature"},
        {"signed by another key under this key's id", [&] { Serve(newer, key.OtherKeyWithSameId().Sign(newer)); },
         Outcome::BadSignature, "signature"},
        {"truncated without a length",
         [&] {
             server.routes["/updates/bdts.dll"] =
                 "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + newer.substr(0, newer.size() - 8);
             server.routes["/updates/bdts.dll.minisig"] = HttpResponse("200 OK", key.Sign(newer));
         },
         Outcome::BadSignature, "signature"},
        {"truncated against its length",
         [&] {
             server.routes["/updates/bdts.dll"] = HttpResponse("200 OK", newer).substr(0, 60);
             server.routes["/updates/bdts.dll.minisig"] = HttpResponse("200 OK", key.Sign(newer));
         },
         Outcome::NoAnswer, "could not download"},
        {"no [Scanfiles] section",
         [&] { ServeSigned("[Database]\nVersion=2026.12.9\n[Scan]\nEVIL.EXE=Trojan.Evil\n"); }, Outcome::NotADatabase,
         "[Scanfiles]"},
        {"no version", [&] { ServeSigned("[Scanfiles]\nEVIL.EXE=Trojan.Evil\n"); }, Outcome::NotADatabase, "Version"},
        {"an older version", [&] { ServeSigned(DatabaseText("2026.5.30")); }, Outcome::Older, "older"},
        {"no database on the server",
         [&] {
             server.routes["/updates/bdts.dll"] = HttpResponse("404 Not Found", "none");
             server.routes["/updates/bdts.dll.minisig"] = HttpResponse("200 OK", key.Sign(newer));
         },
         Outcome::Refused, "404"},
        {"no signature on the server",
         [&] {
             server.routes["/updates/bdts.dll"] = HttpResponse("200 OK", newer);
             server.routes["/updates/bdts.dll.minisig"] = HttpResponse("404 Not Found", "none");
         },
         Outcome::Refused, "404"},
        {"over the size limit",
         [&] { ServeSigned(DatabaseText("2026.12.9", std::string(kTestDatabaseLimit, 'X') + "=Trojan.Big\n")); },
         Outcome::TooLarge, "too large"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        server.routes.clear();
        test.serve();
        const DatabaseUpdateResult result = Update();
        EXPECT_EQ(result.outcome, test.expected) << result.detail;
        EXPECT_NE(result.detail.find(test.detail), std::string::npos) << result.detail;
        EXPECT_EQ(result.download.status, test.expected == Outcome::Refused ? "404" : "");
        EXPECT_EQ(result.download.transport == ports::HttpFailure::TooLarge, test.expected == Outcome::TooLarge);
        EXPECT_FALSE(result.Succeeded());
        EXPECT_EQ(UserDatabase(), installed);
        EXPECT_EQ(UserSignature(), installedSignature);
        EXPECT_FALSE(PendingSignatureExists());
        EXPECT_EQ(DatabaseVersionText(*InUse().version), "2026.6.1");
    }
}

TEST_F(DatabaseUpdateTest, WithoutAKeyOrAServerNothingIsDownloaded) {
    ServeSigned(DatabaseText("2026.12.9"));
    for (const std::string& none : {std::string(), std::string(" \n")}) {
        const DatabaseUpdateResult result = Update(none);
        EXPECT_EQ(result.outcome, Outcome::NoKey);
        EXPECT_EQ(result.detail, "no update key is configured");
        const DatabaseUpdateResult noServer =
            UpdateDatabase(none, key.PublicKeyText(), paths, {databaseHttp, signatureHttp, pump, verifier, files});
        EXPECT_EQ(noServer.outcome, Outcome::NoServer);
        EXPECT_EQ(noServer.detail, "no update server is configured");
    }
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_FALSE(std::filesystem::exists(UserDatabasePath(paths)));
}

TEST_F(DatabaseUpdateTest, AQuitDuringTheDownloadCancelsItAndInstallsNothing) {
    ServeSigned(DatabaseText("2026.12.9"));
    // The second half of each response waits, so the download is still running when the pump runs.
    server.pieces = 2;
    server.hold = true;
    std::stop_source quit;
    pump.action = [&] { quit.request_stop(); };
    const DatabaseUpdateResult result =
        UpdateDatabase(server.Address(), key.PublicKeyText(), paths,
                       {databaseHttp, signatureHttp, pump, verifier, files}, quit.get_token());
    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(UserDatabasePath(paths)));
}

}  // namespace
}  // namespace quellstone::update
