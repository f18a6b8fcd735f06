// The command line uses a downloaded database in the user's data folder when
// it verifies with the vendor's key and is newer than the program folder's;
// otherwise it warns once and uses the program folder's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "cli/CliRunner.h"
#include "support/MinisignSigner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using namespace quellstone::testing;
using ::testing::HasSubstr;

const std::string kUserDatabase =
    "[Database]\nVersion=2099.1.1\n[Scanfiles]\nQUELLSTONE-TEST.EXE=Test.File.Quellstone\n"
    "ONLYUSER.EXE=Trojan.Linux.UserOnly\n";

// Scans print detection names in capitals, the quarantine list as stored.
std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class UserDatabaseTest : public CliTest {
protected:
    UserDatabaseTest() {
        // A program folder of its own, whose vendor.ini names the test's key.
        std::filesystem::create_directories(program);
        const std::filesystem::path built(QUELLSTONE_CLI);
        std::filesystem::copy_file(built, program + "/quellstone-cli");
        std::filesystem::copy_file(built.parent_path() / "bdts.dll", program + "/bdts.dll");
        WriteFile(program + "/vendor.ini", "[Update]\nPublicKey=" + key.PublicKeyText() + "\n");
        std::filesystem::create_directories(userFolder + "/Archiwum");
        std::filesystem::create_directories(dir / "tree");
        WriteFile(dir / "tree/ONLYUSER.EXE", "x");
        WriteFile(dir / "tree/QUELLSTONE-TEST.EXE", "");
        WriteFile(userFolder + "/Archiwum/ONLYUSER.EXE.arc", "archived");
    }
    CliResult Run(const std::vector<std::string>& args) { return CliTest::Run(args, {}, program + "/quellstone-cli"); }

    const std::string program = dir / "program";
    const std::string userFolder = dir / "data/Orvanta/Quellstone";
    MinisignKey key = MinisignKey::Generate();
};

TEST_F(UserDatabaseTest, AVerifiedNewerDatabaseIsUsedByScansAndTheQuarantineList) {
    WriteFile(userFolder + "/bdts.dll", kUserDatabase);
    WriteFile(userFolder + "/bdts.dll.minisig", key.Sign(kUserDatabase));

    const CliResult scan = Run({"scan", dir / "tree"});
    EXPECT_EQ(scan.status, 1);
    EXPECT_THAT(scan.out, HasSubstr("TROJAN.LINUX.USERONLY"));
    EXPECT_EQ(scan.err, "");
    EXPECT_THAT(Upper(Run({"quarantine", "list"}).out), HasSubstr("TROJAN.LINUX.USERONLY"));

    // --db names the database outright.
    WriteFile(dir / "other.db", "[Scanfiles]\nNOTHING.EXE=x\n");
    const CliResult named = Run({"scan", "--db", dir / "other.db", dir / "tree"});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.err, "");
}

TEST_F(UserDatabaseTest, ATamperedDatabaseIsIgnoredWithOneWarning) {
    std::string tampered = kUserDatabase;
    tampered[tampered.find("UserOnly")] = 'u';
    WriteFile(userFolder + "/bdts.dll", tampered);
    WriteFile(userFolder + "/bdts.dll.minisig", key.Sign(kUserDatabase));

    const CliResult scan = Run({"scan", dir / "tree", dir / "tree/ONLYUSER.EXE"});
    EXPECT_EQ(scan.status, 1);  // the shipped database's test entry
    EXPECT_THAT(scan.out, HasSubstr("TEST.FILE.QUELLSTONE"));
    EXPECT_THAT(Upper(scan.out), ::testing::Not(HasSubstr("USERONLY")));
    EXPECT_EQ(Count(scan.err, "warning"), 1u) << scan.err;
    EXPECT_EQ(scan.err, "quellstone-cli: warning: ignoring the downloaded database " + userFolder +
                            "/bdts.dll: the signature does not match the file; using " + program + "/bdts.dll\n");

    const CliResult list = Run({"quarantine", "list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_THAT(Upper(list.out), ::testing::Not(HasSubstr("USERONLY")));
    EXPECT_EQ(Count(list.err, "warning"), 1u) << list.err;
}

}  // namespace
}  // namespace quellstone::cli
