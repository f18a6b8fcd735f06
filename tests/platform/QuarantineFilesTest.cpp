#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/quarantine/QuarantineManager.h"
#include "core/quarantine/Remover.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "support/FakeDesktop.h"
#include "support/TempDir.h"

namespace quellstone::platform {
namespace {

using ports::CopyResult;
using quarantine::RemovalProblem;
using quellstone::testing::ReadAll;
using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;

// Removal and the quarantine on real files, with quarantine on.
class QuarantineFilesTest : public ::testing::Test {
protected:
    QuarantineFilesTest()
        : backend(store_files, dir / "registry.reg"),
          store(backend),
          paths{"/prog", dir / "data", "/usr", "/opt/", ""},
          remover(files, store_files, store, paths),
          manager(files, store_files, signatures, dialogs, paths) {
        store.Write("Settings", "Quarintine", "1");
        std::filesystem::create_directories(dir / "t");
    }
    std::string Archive(const std::string& name) const { return paths.QuarantineFolder() + "/" + name; }

    TempDir dir;
    PosixFileStore store_files;
    RegFileSettingsBackend backend;
    settings::SettingsStore store;
    PosixFileOperations files;
    settings::ProgramPaths paths;
    quarantine::Remover remover;
    PosixFileStore dbFiles;
    scan::SignatureDatabase signatures{dbFiles, "/prog"};
    quellstone::testing::FakeDialogs dialogs;
    quarantine::QuarantineManager manager;
};

TEST_F(QuarantineFilesTest, ArchivesAndRestoresByteForByte) {
    std::string binary;
    for (int i = 0; i < 300000; ++i) binary += static_cast<char>(i * 7 % 256);
    WriteFile(dir / "t/evil.exe", binary);
    WriteFile(dir / "t/sub-evil.exe", "same name elsewhere");
    std::filesystem::create_directories(dir / "t/sub");
    WriteFile(dir / "t/sub/evil.exe", "the second one");

    const quarantine::Removal first = remover.Remove(dir / "t/evil.exe");
    const quarantine::Removal second = remover.Remove(dir / "t/sub/evil.exe");
    EXPECT_TRUE(first.Gone() && second.Gone());
    EXPECT_EQ(first.archive, "evil.exe.arc");
    EXPECT_EQ(second.archive, "evil (2).exe.arc");
    EXPECT_FALSE(std::filesystem::exists(dir / "t/evil.exe"));
    EXPECT_EQ(ReadAll(Archive("evil.exe.arc")), binary);
    EXPECT_EQ(ReadAll(Archive("evil (2).exe.arc")), "the second one");

    WriteFile(dir / "t/restored.exe", "an older file at the target");
    EXPECT_EQ(manager.RestoreTo("evil.exe.arc", dir / "t/restored.exe"), quarantine::RestoreOutcome::Restored);
    EXPECT_EQ(ReadAll(dir / "t/restored.exe"), binary);
    EXPECT_FALSE(std::filesystem::exists(Archive("evil.exe.arc")));
    EXPECT_EQ(manager.RestoreTo("evil (2).exe.arc", dir / "t"),
              quarantine::RestoreOutcome::Restored);  // into a folder: the original name
    EXPECT_EQ(ReadAll(dir / "t/evil.exe"), "the second one");
}

TEST_F(QuarantineFilesTest, RestoresNeverDestroyTheArchiveOrAFileAlreadyThere) {
    WriteFile(dir / "t/a.exe", "payload");
    ASSERT_EQ(remover.Remove(dir / "t/a.exe").archive, "a.exe.arc");
    // Onto the archive itself, directly or through a link: refused, the archive stays.
    EXPECT_EQ(manager.RestoreTo("a.exe.arc", Archive("a.exe.arc")), quarantine::RestoreOutcome::InsideQuarantine);
    ASSERT_EQ(::symlink(Archive("a.exe.arc").c_str(), (dir / "t/to-archive").c_str()), 0);
    EXPECT_EQ(manager.RestoreTo("a.exe.arc", dir / "t/to-archive"), quarantine::RestoreOutcome::InsideQuarantine);
    EXPECT_EQ(ReadAll(Archive("a.exe.arc")), "payload");
    // Into a folder that already holds a file of that name: refused, both kept.
    WriteFile(dir / "t/a.exe", "a newer file of the same name");
    EXPECT_EQ(manager.RestoreTo("a.exe.arc", dir / "t"), quarantine::RestoreOutcome::TargetTaken);
    EXPECT_EQ(ReadAll(dir / "t/a.exe"), "a newer file of the same name");
    // Into a folder reached through a link: the link stays a link.
    std::filesystem::create_directories(dir / "elsewhere");
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "t/downloads").c_str()), 0);
    EXPECT_EQ(manager.RestoreTo("a.exe.arc", dir / "t/downloads"), quarantine::RestoreOutcome::Restored);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "t/downloads"));
    EXPECT_EQ(ReadAll(dir / "elsewhere/a.exe"), "payload");
}

TEST_F(QuarantineFilesTest, AFolderSwappedForALinkAfterTheScanLeadsNowhere) {
    // Found as t/sub/evil.exe; before the removal someone puts a link to
    // another folder where t/sub was.
    std::filesystem::create_directories(dir / "t/sub");
    WriteFile(dir / "t/sub/evil.exe", "found by the scan");
    std::filesystem::create_directories(dir / "victim");
    WriteFile(dir / "victim/evil.exe", "someone else's file");
    std::filesystem::rename(dir / "t/sub", dir / "t/sub-moved");
    ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / "t/sub").c_str()), 0);
    for (const char* on : {"1", "0"}) {
        store.Write("Settings", "Quarintine", on);
        EXPECT_FALSE(remover.Remove(dir / "t/sub/evil.exe").Gone());
    }
    EXPECT_EQ(ReadAll(dir / "victim/evil.exe"), "someone else's file");
    EXPECT_FALSE(std::filesystem::exists(Archive("evil.exe.arc")));
}

TEST_F(QuarantineFilesTest, ALinkIsKeptAsALinkAndSpecialFilesAreNeverOpened) {
    WriteFile(dir / "t/target.txt", "keep me");
    ASSERT_EQ(::symlink("target.txt", (dir / "t/link.exe").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "t/pipe.exe").c_str(), 0600), 0);
    // Quarantine on: the link is kept as its text, never read through; the
    // FIFO cannot be archived, so it is not deleted (and does not block).
    EXPECT_EQ(remover.Remove(dir / "t/link.exe").linkTarget, "target.txt");
    EXPECT_EQ(ReadAll(Archive("link.exe.arc")), "target.txt");
    EXPECT_EQ(remover.Remove(dir / "t/pipe.exe").problem, RemovalProblem::NotRegularFile);
    EXPECT_EQ(remover.Remove(dir / "t").problem, RemovalProblem::Folder);
    // Restored as the same link: at its own place, and over a chosen file in one step.
    EXPECT_EQ(manager.RestoreTo("link.exe.arc", std::nullopt), quarantine::RestoreOutcome::Restored);
    ASSERT_TRUE(remover.Remove(dir / "t/link.exe").archive);
    WriteFile(dir / "t/chosen.exe", "replaced");
    EXPECT_EQ(manager.RestoreTo("link.exe.arc", dir / "t/chosen.exe"), quarantine::RestoreOutcome::Restored);
    EXPECT_EQ(std::filesystem::read_symlink(dir / "t/chosen.exe"), "target.txt");
    // Quarantine off: the link goes as a link, its target stays.
    store.Write("Settings", "Quarintine", "0");
    EXPECT_TRUE(remover.Remove(dir / "t/chosen.exe").Gone());
    EXPECT_EQ(ReadAll(dir / "t/target.txt"), "keep me");
    EXPECT_FALSE(remover.Remove(dir / "t").Gone());                                   // a folder is not deleted
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "t"), {}), 2);  // no temporary left
}

TEST_F(QuarantineFilesTest, AFullDiskKeepsTheFileAndLeavesNoPartialCopy) {
    WriteFile(dir / "t/big.exe", std::string(64 * 1024, 'x'));
    WriteFile(dir / "t/target.exe", "must survive");
    store_files.CreateFolders(paths.QuarantineFolder());
    // The file-size limit binds root too; in a child, so the suite keeps its own limits.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        PosixFileOperations childFiles;
        PosixFileStore childStore;
        RegFileSettingsBackend childBackend(childStore, dir / "registry.reg");
        settings::SettingsStore childSettings(childBackend);
        quarantine::Remover childRemover(childFiles, childStore, childSettings, paths);
        const bool saidNoSpace = childRemover.Remove(dir / "t/big.exe").problem == RemovalProblem::NoSpace;
        const CopyResult restoredOver =
            childFiles.CopyFile(ports::ReachablePath::FromRoot(dir / "t/big.exe"),
                                ports::ReachablePath::InFolder(dir / "t/target.exe"), true, std::nullopt);
        ::_exit(saidNoSpace && restoredOver == CopyResult::NoSpace ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(std::filesystem::file_size(dir / "t/big.exe"), 64u * 1024);
    EXPECT_EQ(ReadAll(dir / "t/target.exe"), "must survive");
    EXPECT_TRUE(std::filesystem::is_empty(paths.QuarantineFolder()));  // no archive, no temporary file
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "t"), {}), 2);
}

TEST_F(QuarantineFilesTest, ANameAsLongAsNamesGoIsArchivedUnderAShorterOne) {
    const std::string name = std::string(250, 'x') + ".exe";  // 254 bytes: ".arc" would not fit
    WriteFile(dir / ("t/" + name), "long");
    const quarantine::Removal removal = remover.Remove(dir / ("t/" + name), "TROJAN.LONG");
    EXPECT_EQ(removal.outcome, quarantine::RemovalOutcome::Removed);
    ASSERT_TRUE(removal.archive);
    EXPECT_EQ(ReadAll(Archive(*removal.archive)), "long");
    // The record keeps the whole name, and a restore into a folder uses it.
    EXPECT_EQ(manager.RestoreTo(*removal.archive, dir / "t"), quarantine::RestoreOutcome::Restored);
    EXPECT_EQ(ReadAll(dir / ("t/" + name)), "long");
}

TEST_F(QuarantineFilesTest, OnlyTheFileThatWasLookedAtIsCopiedAndOnlyLeftoversAreSwept) {
    WriteFile(dir / "t/evil.exe", "found by the scan");
    const auto location = ports::ReachablePath::FromRoot(dir / "t/evil.exe");
    const ports::EntryLookup found = files.Find(location);
    ASSERT_EQ(found.presence, ports::Presence::Present);
    // Another file put under the name between the look and the copy is not copied.
    WriteFile(dir / "t/other", "someone else's file");
    std::filesystem::rename(dir / "t/other", dir / "t/evil.exe");
    store_files.CreateFolders(paths.QuarantineFolder());
    EXPECT_EQ(files.CopyFile(location, ports::ReachablePath::InFolder(Archive("evil.exe.arc")), false, found.identity),
              CopyResult::SourceChanged);
    EXPECT_FALSE(std::filesystem::exists(Archive("evil.exe.arc")));

    // Exactly the names of unfinished copies are swept, never an archive that starts the same way.
    for (const char* name : {".quellstone-copy-Ab12Cd", ".quellstone-copy-abcdef.arc", ".quellstone-copy-abc"})
        WriteFile(Archive(name), "x");
    files.RemoveUnfinishedCopies(paths.QuarantineFolder());
    EXPECT_FALSE(std::filesystem::exists(Archive(".quellstone-copy-Ab12Cd")));
    EXPECT_TRUE(std::filesystem::exists(Archive(".quellstone-copy-abcdef.arc")));
    EXPECT_TRUE(std::filesystem::exists(Archive(".quellstone-copy-abc")));
}

TEST_F(QuarantineFilesTest, ARemovalKilledAtAnyStepLeavesNoArchiveWithoutItsRecordAndLosesNoFile) {
    const std::string payload = "found by the scan";
    for (int killAt = 1;; ++killAt) {
        SCOPED_TRACE("killed at step " + std::to_string(killAt));
        std::filesystem::remove_all(paths.QuarantineFolder());
        store_files.CreateFolders(paths.QuarantineFolder());
        // Left from an archive deleted by hand: never listed, replaced by the next record.
        WriteFile(Archive("evil.exe.arc.info"), "[Quarantine]\nPath=/another/file.exe\n");
        WriteFile(dir / "t/evil.exe", payload);
        const pid_t child = ::fork();
        if (child == 0) {
            int steps = 0;
            const auto step = [&](ReplaceStep) {
                if (++steps == killAt) ::raise(SIGKILL);
            };
            PosixFileOperations killing(step);
            PosixFileStore killingStore(step);
            quarantine::Remover childRemover(killing, killingStore, store, paths);
            ::_exit(childRemover.Remove(dir / "t/evil.exe").outcome == quarantine::RemovalOutcome::Removed ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        // Whatever the kill left half-written, the next removal's sweep clears.
        files.RemoveUnfinishedCopies(paths.QuarantineFolder());
        for (const auto& entry : std::filesystem::directory_iterator(paths.QuarantineFolder())) {
            const std::string name = entry.path().filename();
            EXPECT_TRUE(name.ends_with(".arc") || name.ends_with(".arc.info")) << name;
        }
        // Every archive listed is whole and has its own record.
        manager.Rebuild();
        for (const quarantine::QuarantineRow& row : manager.Rows()) {
            EXPECT_EQ(row.originalPath, dir / "t/evil.exe") << row.name;
            EXPECT_EQ(ReadAll(Archive(row.name)), payload);
        }
        if (std::filesystem::exists(dir / "t/evil.exe")) {
            EXPECT_EQ(ReadAll(dir / "t/evil.exe"), payload);
        } else {
            EXPECT_EQ(manager.Rows().size(), 1u);
        }
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) continue;
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        break;
    }
}

}  // namespace
}  // namespace quellstone::platform
