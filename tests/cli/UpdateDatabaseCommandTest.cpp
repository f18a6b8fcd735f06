// quellstone-cli update-database against a real HTTP server on 127.0.0.1,
// from a program folder whose vendor.ini names the server and a key made for
// the test run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "support/MinisignSigner.h"
#include "support/TestHttpServer.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::CliResult;
using quellstone::testing::HttpResponse;
using quellstone::testing::ReadAll;
using quellstone::testing::WriteFile;
using ::testing::HasSubstr;

class UpdateDatabaseCommandTest : public quellstone::testing::CliTest {
protected:
    UpdateDatabaseCommandTest() {
        std::filesystem::create_directories(dir / "program");
        std::filesystem::create_directories(dir / "tree");
        std::filesystem::copy_file(QUELLSTONE_CLI, dir / "program/quellstone-cli");
        WriteFile(dir / "program/bdts.dll", "[Scanfiles]\nOLD.EXE=Trojan.Old\n");
        Configure(key.PublicKeyText());
    }
    void Configure(const std::string& publicKey) {
        WriteFile(dir / "program/vendor.ini",
                  "[Update]\nServer=" + server.Address() + "\n; the test run's key\nPublicKey=" + publicKey + "\n");
    }
    void ServeSigned(const std::string& database) {
        server.routes["/updates/bdts.dll"] = HttpResponse("200 OK", database);
        server.routes["/updates/bdts.dll.minisig"] = HttpResponse("200 OK", key.Sign(database));
    }
    CliResult Run(const std::vector<std::string>& args) {
        return CliTest::Run(args, {}, dir / "program/quellstone-cli");
    }
    // Root's updates go to the system's database, everyone else's to their own.
    [[nodiscard]] std::string Installed() const {
        return ReadAll(::geteuid() == 0 ? dir / "system/bdts.dll" : dir / "data/Orvanta/Quellstone/bdts.dll");
    }

    quellstone::testing::TestHttpServer server;
    quellstone::testing::MinisignKey key = quellstone::testing::MinisignKey::Generate();
};

TEST_F(UpdateDatabaseCommandTest, InstallsTheServersDatabaseWhichScansThenUse) {
    WriteFile(dir / "tree/fresh-threat.bin", "payload");
    EXPECT_EQ(Run({"scan", dir / "tree"}).status, 0);  // the program folder's database does not list it

    const std::string database = "[Database]\nVersion=2026.12.9\n[Scanfiles]\nFRESH-THREAT.BIN=Trojan.Fresh\n";
    ServeSigned(database);
    const CliResult update = Run({"update-database"});
    EXPECT_EQ(update.status, 0) << update.err;
    EXPECT_THAT(update.out, HasSubstr("Installed database version 2026.12.9"));
    EXPECT_EQ(Installed(), database);

    const CliResult scan = Run({"scan", dir / "tree"});
    EXPECT_EQ(scan.status, 1) << scan.out << scan.err;
    EXPECT_THAT(scan.out, HasSubstr("/fresh-threat.bin: "));

    const CliResult again = Run({"update-database"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "The database in use is already the newest: version 2026.12.9.\n");
}

TEST_F(UpdateDatabaseCommandTest, FailuresExitWithTwoAndTheReason) {
    Configure("");
    ServeSigned("[Database]\nVersion=2026.12.9\n[Scanfiles]\nA.EXE=Trojan.A\n");
    const CliResult noKey = Run({"update-database"});
    EXPECT_EQ(noKey.status, 2);
    EXPECT_THAT(noKey.err, HasSubstr("no update key is configured"));
    // The scheduled scan's update: a computer without a key is not set up for updates.
    const CliResult unconfigured = Run({"update-database", "--if-configured"});
    EXPECT_EQ(unconfigured.status, 0) << unconfigured.err;
    EXPECT_THAT(unconfigured.out, HasSubstr("No update key is configured"));
    EXPECT_EQ(server.Connections(), 0);

    Configure(key.PublicKeyText());
    ASSERT_EQ(Run({"update-database", "--if-configured"}).status, 0);
    ServeSigned("[Database]\nVersion=2026.1.1\n[Scanfiles]\nA.EXE=Trojan.A\n");
    const CliResult older = Run({"update-database"});
    EXPECT_EQ(older.status, 2);
    EXPECT_THAT(older.err, HasSubstr("older than the one in use"));

    // --server names another server than vendor.ini's.
    quellstone::testing::TestHttpServer other;
    other.response = HttpResponse("404 Not Found", "");
    const CliResult missing = Run({"update-database", "--server", other.Address()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.err, HasSubstr("404"));
    EXPECT_EQ(other.Connections(), 1);
    EXPECT_THAT(Installed(), HasSubstr("Version=2026.12.9"));

    // A signature download far larger than any signature file ends early.
    const std::string newer = "[Database]\nVersion=2027.1.1\n[Scanfiles]\nA.EXE=Trojan.A\n";
    server.routes["/updates/bdts.dll"] = HttpResponse("200 OK", newer);
    server.routes["/updates/bdts.dll.minisig"] = HttpResponse("200 OK", key.Sign(newer) + std::string(70000, ' '));
    const CliResult hugeSignature = Run({"update-database"});
    EXPECT_EQ(hugeSignature.status, 2);
    EXPECT_THAT(hugeSignature.err, HasSubstr("too large"));

    // No server anywhere: said plainly, not as a malformed address.
    WriteFile(dir / "program/vendor.ini", "[Update]\nServer=\nPublicKey=" + key.PublicKeyText() + "\n");
    const CliResult noServer = Run({"update-database"});
    EXPECT_EQ(noServer.status, 2);
    EXPECT_THAT(noServer.err, HasSubstr("no update server is configured"));
    EXPECT_THAT(Run({"update-database", "--if-configured"}).out, HasSubstr("No update server is configured (Server"));
    EXPECT_THAT(Installed(), HasSubstr("Version=2026.12.9"));
}

}  // namespace
}  // namespace quellstone::cli
