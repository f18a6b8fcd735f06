// Which database the program uses: the program folder's, or a downloaded one
// that verifies and is newer, with real files in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/scan/SignatureDatabase.h"
#include "core/update/DatabaseInUse.h"
#include "platform/PosixFileStore.h"
#include "platform/SodiumSignatureVerifier.h"
#include "support/MinisignSigner.h"
#include "support/TempDir.h"

namespace quellstone::update {
namespace {

using namespace quellstone::testing;

std::string Database(const std::string& version, const std::string& entry = "KNOWN.EXE=Trojan.Test") {
    return "; a database\n[Database]\nVersion=" + version + "\n[Scanfiles]\n" + entry + "\n";
}

class DatabaseInUseTest : public ::testing::Test {
protected:
    DatabaseInUseTest() {
        paths = settings::ProgramPaths::OnThisSystem(dir / "program", dir / "data");
        paths.systemDataFolder = dir / "system";
        std::filesystem::create_directories(paths.programFolder);
        std::filesystem::create_directories(paths.systemDataFolder);
        std::filesystem::create_directories(paths.ProductDataFolder());
        WriteFile(paths.SignatureDatabase(), Database("2026.12.1"));
        userPath = UserDatabasePath(paths);
    }
    void InstallUser(const std::string& bytes, const std::string& signature,
                     std::string_view suffix = kSignatureSuffix) {
        WriteFile(userPath, bytes);
        WriteFile(userPath + std::string(suffix), signature);
    }
    DatabaseInUse Choose(const std::string& publicKey) { return ChooseDatabase(paths, publicKey, files, verifier); }
    void ExpectProgramDatabase(const DatabaseInUse& chosen, const std::string& reasonPart) {
        EXPECT_EQ(chosen.path, paths.SignatureDatabase());
        EXPECT_EQ(chosen.source, DatabaseSource::Shipped);
        EXPECT_EQ(chosen.version, (DatabaseVersion{2026, 12, 1}));
        if (reasonPart.empty()) {
            EXPECT_EQ(chosen.warning, "");
        } else {
            EXPECT_NE(chosen.warning.find(reasonPart), std::string::npos) << chosen.warning;
        }
    }

    TempDir dir;
    settings::ProgramPaths paths;
    std::string userPath;
    platform::PosixFileStore files;
    platform::SodiumSignatureVerifier verifier;
    MinisignKey key = MinisignKey::Generate();
};

TEST_F(DatabaseInUseTest, UsesAVerifiedNewerUserDatabaseAndOtherwiseTheProgramsWithoutAWord) {
    EXPECT_EQ(userPath, dir / "data/Orvanta/Quellstone/bdts.dll");
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "");

    const std::string newer = Database("2026.12.9");
    InstallUser(newer, key.Sign(newer));
    const DatabaseInUse chosen = Choose(key.PublicKeyText());
    EXPECT_EQ(chosen.path, userPath);
    EXPECT_EQ(chosen.source, DatabaseSource::User);
    EXPECT_EQ(chosen.version, (DatabaseVersion{2026, 12, 9}));
    EXPECT_EQ(chosen.warning, "");

    // A program folder without a version, or without a database, is older than any.
    WriteFile(paths.SignatureDatabase(), "[Scanfiles]\nA=b\n");
    EXPECT_EQ(Choose(key.PublicKeyText()).source, DatabaseSource::User);
    std::filesystem::remove(paths.SignatureDatabase());
    EXPECT_EQ(Choose(key.PublicKeyText()).source, DatabaseSource::User);
}

TEST_F(DatabaseInUseTest, AnInstallStoppedBetweenItsRenamesLeavesAUsableDatabase) {
    const std::string older = Database("2026.12.5");
    const std::string newer = Database("2026.12.9");
    // The new database is in place, its signature still waits beside the old one.
    InstallUser(newer, key.Sign(older));
    WriteFile(userPath + std::string(kPendingSignatureSuffix), key.Sign(newer));
    DatabaseInUse chosen = Choose(key.PublicKeyText());
    EXPECT_EQ(chosen.source, DatabaseSource::User);
    EXPECT_EQ(chosen.version, (DatabaseVersion{2026, 12, 9}));

    // Only the pending signature: the first install stopped after the database's rename.
    std::filesystem::remove(userPath + std::string(kSignatureSuffix));
    EXPECT_EQ(Choose(key.PublicKeyText()).source, DatabaseSource::User);

    // Before the database's rename: the old pair, and a pending signature for a file not yet there.
    InstallUser(older, key.Sign(older));
    chosen = Choose(key.PublicKeyText());
    EXPECT_EQ(chosen.source, DatabaseSource::User);
    EXPECT_EQ(chosen.version, (DatabaseVersion{2026, 12, 5}));
}

TEST_F(DatabaseInUseTest, IgnoresAPresentUserDatabaseThatFailsAnyCheckWithOneReason) {
    const std::string newer = Database("2026.12.9");
    InstallUser(newer + "EVIL.EXE=\n", key.Sign(newer));
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "does not match");

    InstallUser(newer, MinisignKey::Generate().Sign(newer));
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "another key");

    InstallUser(newer, key.Sign(newer).substr(0, 50));
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "malformed");

    std::filesystem::remove(userPath + std::string(kSignatureSuffix));
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "signature file is missing");

    // A sound download that the program's own database has overtaken is
    // passed over without a word: nothing is wrong with it.
    for (const std::string& version : {std::string("2026.12.1"), std::string("2026.11.30.9"), std::string("2026.12")}) {
        const std::string notNewer = Database(version);
        InstallUser(notNewer, key.Sign(notNewer));
        ExpectProgramDatabase(Choose(key.PublicKeyText()), "");
    }

    const std::string noSection = "[Database]\nVersion=2027.1.1\n[Scanfile]\nKNOWN.EXE=x\n";
    InstallUser(noSection, key.Sign(noSection));
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "[Scanfiles]");

    const std::string noVersion = "[Scanfiles]\nKNOWN.EXE=x\n";
    InstallUser(noVersion, key.Sign(noVersion));
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "Version");

    InstallUser(newer, key.Sign(newer));
    ExpectProgramDatabase(Choose(""), "no update key is configured");
    std::filesystem::remove(userPath + std::string(kSignatureSuffix));
    ExpectProgramDatabase(Choose(""), "no update key is configured");
    ExpectProgramDatabase(Choose("RWQ"), "malformed");

    // A folder where the database should be cannot be read as one.
    std::filesystem::remove(userPath);
    std::filesystem::create_directory(userPath);
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "cannot be read");
}

TEST_F(DatabaseInUseTest, ADatabaseChangedAfterItWasChosenIsCheckedAgainWhenItIsRead) {
    const std::string newer = Database("2026.12.9", "NEW.EXE=Trojan.New");
    InstallUser(newer, key.Sign(newer));
    scan::SignatureDatabase signatures(files, paths.programFolder);
    signatures.UseDatabase(Choose(key.PublicKeyText()).path);
    signatures.SetLoadCheck(UserDatabaseLoadCheck(paths, key.PublicKeyText(), files, verifier));
    EXPECT_EQ(signatures.LookupSignature("/x/new.exe"), "Trojan.New");
    EXPECT_EQ(signatures.TakeRefusal(), "");

    // Rewritten after the choice, its old signature left beside it.
    WriteFile(userPath, Database("2026.12.9", "EVIL.EXE=Trojan.Planted"));
    EXPECT_EQ(signatures.LookupSignature("/x/evil.exe"), "");
    EXPECT_EQ(signatures.LookupSignature("/x/known.exe"), "Trojan.Test");
    EXPECT_EQ(signatures.DefaultPath(), paths.SignatureDatabase());
    EXPECT_NE(signatures.TakeRefusal().find("does not match"), std::string::npos);
    EXPECT_EQ(signatures.TakeRefusal(), "");

    // A scan's index of the user database is refused the same way.
    signatures.UseDatabase(userPath);
    const auto index = signatures.IndexInUse();
    EXPECT_EQ(index->Find("KNOWN.EXE"), "Trojan.Test");
    EXPECT_EQ(index->Find("EVIL.EXE"), "");
    EXPECT_EQ(signatures.DefaultPath(), paths.SignatureDatabase());
    EXPECT_NE(signatures.TakeRefusal(), "");

    // Other files, the program folder's among them, are not the check's business.
    const std::string other = dir / "other.dll";
    WriteFile(other, "[Scanfiles]\nOTHER.EXE=Trojan.Other\n");
    signatures.UseDatabase(other);
    EXPECT_EQ(signatures.LookupSignature("/x/other.exe"), "Trojan.Other");
    EXPECT_EQ(signatures.TakeRefusal(), "");
}

TEST_F(DatabaseInUseTest, AUserDatabaseLargerThanAnyInstallIsRefusedUnread) {
    InstallUser("", key.Sign(""));
    std::filesystem::resize_file(userPath, kMaxUserDatabaseBytes + 1);  // sparse: costs no disk
    ExpectProgramDatabase(Choose(key.PublicKeyText()), "larger");
}

// Scans use the newest of the shipped database, the system's (root's
// updates) and the user's own; at equal versions the shipped one, then the
// system's. A system database that fails its checks is passed over with its reason.
TEST_F(DatabaseInUseTest, UsesTheNewestOfTheShippedTheSystemsAndTheUsers) {
    const struct {
        const char* system;  // its version; "" for none, "bad" for one whose signature fails
        const char* user;
        DatabaseSource chosen;
    } cases[] = {
        {"2026.12.5", "", DatabaseSource::System},          {"2026.12.5", "2026.12.7", DatabaseSource::User},
        {"2026.12.7", "2026.12.5", DatabaseSource::System}, {"2026.12.7", "2026.12.7", DatabaseSource::System},
        {"2026.12.1", "", DatabaseSource::Shipped},         {"bad", "2026.12.3", DatabaseSource::User},
    };
    const std::string systemPath = SystemDatabasePath(paths);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.system) + " / " + c.user);
        std::filesystem::remove(systemPath);
        std::filesystem::remove(userPath);
        if (*c.system) {
            const std::string bytes = Database(std::string(c.system) == "bad" ? "2026.12.9" : c.system);
            WriteFile(systemPath, bytes);
            WriteFile(systemPath + std::string(kSignatureSuffix),
                      key.Sign(std::string(c.system) == "bad" ? "x" : bytes));
        }
        if (*c.user) InstallUser(Database(c.user), key.Sign(Database(c.user)));
        const DatabaseInUse chosen = Choose(key.PublicKeyText());
        EXPECT_EQ(chosen.source, c.chosen);
        EXPECT_EQ(chosen.path, c.chosen == DatabaseSource::System ? systemPath
                               : c.chosen == DatabaseSource::User ? userPath
                                                                  : paths.SignatureDatabase());
        EXPECT_EQ(chosen.warningPath, std::string(c.system) == "bad" ? systemPath : "");
        // What an update of the system's database competes with: never the user's own.
        EXPECT_NE(ChooseDatabase(paths, key.PublicKeyText(), files, verifier, DatabaseSource::System).source,
                  DatabaseSource::User);
    }
}

}  // namespace
}  // namespace quellstone::update
