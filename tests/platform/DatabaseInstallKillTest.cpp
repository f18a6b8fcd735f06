// An install killed at any of its steps leaves a database that verifies: the
// old one or the new one, never a part of one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/update/DatabaseInUse.h"
#include "core/update/DatabaseSignature.h"
#include "core/update/DatabaseUpdate.h"
#include "platform/PosixFileStore.h"
#include "platform/SodiumSignatureVerifier.h"
#include "support/MinisignSigner.h"
#include "support/TempDir.h"

namespace quellstone::update {
namespace {

std::string DatabaseOf(const std::string& version, const std::string& name) {
    return "[Database]\nVersion=" + version + "\n[Scanfiles]\n" + name + "=Trojan.Test\n";
}

class DatabaseInstallKillTest : public ::testing::Test {
protected:
    DatabaseInstallKillTest() {
        std::filesystem::create_directories(dir / "prog");
        testing::WriteFile(dir / "prog/bdts.dll", programDatabase);
        paths = {dir / "prog", dir / "data", "/usr", "/opt/", "", "", dir / "system"};
    }
    // Runs the install with every step it and its file store report counted; `onStep` sees the count.
    bool CountedInstall(const std::string& database, const std::function<void(int)>& onStep) {
        int steps = 0;
        const auto step = [&] { onStep(++steps); };
        platform::PosixFileStore store([&](platform::ReplaceStep) { step(); });
        return InstallDatabase(UserDatabasePath(paths), database, key.Sign(database), store,
                               [&](InstallStep) { step(); });
    }
    // The install of `database` in a child process that kills itself at step
    // `killAt`; `settleFirst` finishes an interrupted install first, as an update does.
    void InstallKilledAt(const std::string& database, int killAt, bool settleFirst = false) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (settleFirst) SettleInterruptedInstall(UserDatabasePath(paths), key.PublicKeyText(), files, verifier);
            CountedInstall(database, [&](int step) {
                if (step == killAt) ::raise(SIGKILL);
            });
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "not killed at step " << killAt;
    }
    // The database in use after a kill: one of `allowed`, with a signature that verifies beside it.
    void ExpectAWholeDatabase(const std::vector<std::string>& allowed) {
        const DatabaseInUse inUse = ChooseDatabase(paths, key.PublicKeyText(), files, verifier);
        const std::string bytes = testing::ReadAll(inUse.path);
        EXPECT_NE(std::ranges::find(allowed, bytes), allowed.end()) << bytes;
        EXPECT_EQ(inUse.version, DatabaseVersionOf(bytes));
        if (inUse.source != DatabaseSource::User) return;
        const auto verifies = [&](std::string_view suffix) {
            return VerifyDatabaseSignature(bytes, testing::ReadAll(inUse.path + std::string(suffix)),
                                           key.PublicKeyText(), verifier) == SignatureCheck::Valid;
        };
        EXPECT_TRUE(verifies(kSignatureSuffix) || verifies(kPendingSignatureSuffix));
    }

    testing::TempDir dir;
    settings::ProgramPaths paths;
    testing::MinisignKey key = testing::MinisignKey::Generate();
    platform::PosixFileStore files;
    platform::SodiumSignatureVerifier verifier;
    const std::string programDatabase = "[Scanfiles]\nOLD.EXE=Trojan.Old\n";
    const std::string oldDatabase = DatabaseOf("2026.6.1", "OLD.EXE");
    const std::string newDatabase = DatabaseOf("2026.12.9", "NEW.EXE");
};

TEST_F(DatabaseInstallKillTest, AKillAtEveryStepLeavesTheOldOrTheNewDatabase) {
    int steps = 0;
    ASSERT_TRUE(CountedInstall(oldDatabase, [&](int step) { steps = step; }));
    ASSERT_GE(steps, 10);  // the file store's steps of two replacements and the install's own
    for (const bool replacing : {false, true}) {
        for (int killAt = 1; killAt <= steps; ++killAt) {
            SCOPED_TRACE((replacing ? "replacing, step " : "first install, step ") + std::to_string(killAt));
            std::filesystem::remove_all(paths.dataFolder);
            if (replacing) {
                ASSERT_TRUE(CountedInstall(oldDatabase, [](int) {}));
            }
            InstallKilledAt(newDatabase, killAt);
            ExpectAWholeDatabase({replacing ? oldDatabase : programDatabase, newDatabase});
        }
    }
    // Killed after its last step, the new database is in use.
    InstallKilledAt(newDatabase, steps);
    EXPECT_EQ(testing::ReadAll(ChooseDatabase(paths, key.PublicKeyText(), files, verifier).path), newDatabase);
}

TEST_F(DatabaseInstallKillTest, ASecondInterruptedInstallStillLeavesADatabaseThatVerifies) {
    int steps = 0;
    ASSERT_TRUE(CountedInstall(oldDatabase, [&](int step) { steps = step; }));
    const std::string userPath = UserDatabasePath(paths);
    const std::string middleDatabase = DatabaseOf("2026.9.1", "MIDDLE.EXE");
    for (int killAt = 1; killAt <= steps; ++killAt) {
        SCOPED_TRACE("step " + std::to_string(killAt));
        // An earlier install stopped between its renames: the new database
        // verifies only with the pending signature.
        testing::WriteFile(userPath, middleDatabase);
        testing::WriteFile(userPath + std::string(kSignatureSuffix), key.Sign(oldDatabase));
        testing::WriteFile(userPath + std::string(kPendingSignatureSuffix), key.Sign(middleDatabase));
        ExpectAWholeDatabase({middleDatabase});
        InstallKilledAt(newDatabase, killAt, true);
        ExpectAWholeDatabase({middleDatabase, newDatabase});
    }
}

TEST_F(DatabaseInstallKillTest, AnInstallRemovesTheTemporariesKilledInstallsLeftAndNothingElse) {
    int steps = 0;
    ASSERT_TRUE(CountedInstall(oldDatabase, [&](int step) { steps = step; }));
    const std::filesystem::path folder = std::filesystem::path(UserDatabasePath(paths)).parent_path();
    const auto temporaries = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().find(".tmp-") != std::string::npos)
                names.push_back(entry.path().filename().string());
        std::ranges::sort(names);
        return names;
    };
    // Killed after a temporary file was made and before it was renamed.
    for (int killAt = 1; killAt <= steps && temporaries().empty(); ++killAt) InstallKilledAt(newDatabase, killAt);
    ASSERT_EQ(temporaries().size(), 1u);
    testing::WriteFile(folder / "bdts.dll.minisig.next.tmp-Ab12Cd", "a pending signature's");
    // Names that only resemble a temporary of ours stay.
    testing::WriteFile(folder / "bdts.dll.tmp-abc", "short suffix");
    testing::WriteFile(folder / "other.dll.tmp-abcdef", "another file's");
    std::filesystem::create_directory(folder / "bdts.dll.tmp-folder");

    ASSERT_TRUE(CountedInstall(newDatabase, [](int) {}));
    EXPECT_EQ(temporaries(),
              (std::vector<std::string>{"bdts.dll.tmp-abc", "bdts.dll.tmp-folder", "other.dll.tmp-abcdef"}));
    ExpectAWholeDatabase({newDatabase});
}

TEST_F(DatabaseInstallKillTest, SettlingLeavesASoundPairAndMissingFilesAlone) {
    const std::string userPath = UserDatabasePath(paths);
    SettleInterruptedInstall(UserDatabasePath(paths), key.PublicKeyText(), files, verifier);  // nothing installed
    EXPECT_FALSE(std::filesystem::exists(paths.dataFolder));
    ASSERT_TRUE(CountedInstall(newDatabase, [](int) {}));
    // A pending signature of another file beside a sound pair stays where it is.
    testing::WriteFile(userPath + std::string(kPendingSignatureSuffix), key.Sign(oldDatabase));
    SettleInterruptedInstall(UserDatabasePath(paths), key.PublicKeyText(), files, verifier);
    EXPECT_EQ(testing::ReadAll(userPath + std::string(kSignatureSuffix)), key.Sign(newDatabase));
    // One that verifies the database when the signature does not replaces it.
    const std::string pending = key.Sign(newDatabase, "timestamp:2");
    testing::WriteFile(userPath + std::string(kSignatureSuffix), key.Sign(oldDatabase));
    testing::WriteFile(userPath + std::string(kPendingSignatureSuffix), pending);
    SettleInterruptedInstall(UserDatabasePath(paths), key.PublicKeyText(), files, verifier);
    EXPECT_EQ(testing::ReadAll(userPath + std::string(kSignatureSuffix)), pending);
    EXPECT_FALSE(std::filesystem::exists(userPath + std::string(kPendingSignatureSuffix)));
}

}  // namespace
}  // namespace quellstone::update
