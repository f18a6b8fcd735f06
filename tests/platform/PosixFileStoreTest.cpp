#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/PosixFileStore.h"
#include "support/TempDir.h"

namespace quellstone::platform {
namespace {

using ports::FileRole;
using ports::ReadStatus;
using quellstone::testing::ReadAll;
using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;

// How each role takes a link at the file's name, a large file and the old file's permissions.
struct RoleCase {
    FileRole role;
    ReadStatus throughLink;
    ReadStatus largerThanARecord;
    bool linkStays;  // replaced at the link's target, or a new file where the link was
    mode_t replacedMode;
};

class PosixFileStoreRoles : public ::testing::TestWithParam<RoleCase> {
protected:
    TempDir dir;
    PosixFileStore files;
};

TEST_P(PosixFileStoreRoles, ReadsOnlyRegularFilesWithinTheLimit) {
    const RoleCase& c = GetParam();
    WriteFile(dir / "a.ini", "[s]\nk=v\n");
    const ports::FileContent read = files.ReadFile(dir / "a.ini", c.role);
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.bytes, "[s]\nk=v\n");
    ASSERT_EQ(::symlink("a.ini", (dir / "link").c_str()), 0);
    EXPECT_EQ(files.ReadFile(dir / "link", c.role).status, c.throughLink);
    WriteFile(dir / "large", std::string(PosixFileStore::kMaxRecordSize + 1, 'x'));
    EXPECT_EQ(files.ReadFile(dir / "large", c.role).status, c.largerThanARecord);
    EXPECT_EQ(files.ReadFile(dir / "absent", c.role).status, ReadStatus::Missing);
    EXPECT_EQ(files.ReadFile(dir / "absent/deeper", c.role).status, ReadStatus::Missing);
    EXPECT_EQ(files.ReadFile(dir.Path(), c.role).status, ReadStatus::Failed);
    // A FIFO with no writer would block a plain read for ever.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(files.ReadFile(dir / "fifo", c.role).status, ReadStatus::Failed);
    EXPECT_EQ(files.ReadFile("/dev/zero", c.role).status, ReadStatus::Failed);
}

TEST_P(PosixFileStoreRoles, ReplacesAtomicallyLeavingNoTemporaryFile) {
    const RoleCase& c = GetParam();
    const std::string target = dir / "real.ini";
    WriteFile(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("real.ini", (dir / "link.ini").c_str()), 0);

    const auto before = files.Stamp(target);
    ASSERT_TRUE(files.ReplaceFile(dir / "link.ini", "through the link", c.role));
    EXPECT_EQ(std::filesystem::is_symlink(dir / "link.ini"), c.linkStays);
    EXPECT_EQ(ReadAll(dir / "link.ini"), "through the link");
    EXPECT_EQ(ReadAll(target), c.linkStays ? "through the link" : "old");
    ASSERT_TRUE(files.ReplaceFile(target, "new content", c.role));
    EXPECT_EQ(files.ReadFile(target, c.role).bytes, "new content");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.replacedMode);
    EXPECT_NE(files.Stamp(target), before);

    ASSERT_TRUE(files.ReplaceFile(dir / "created.ini", "x", c.role));
    EXPECT_EQ(files.ReadFile(dir / "created.ini", c.role).bytes, "x");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
    // A replacement that fails leaves nothing behind.
    EXPECT_FALSE(files.ReplaceFile(dir / "missing-folder/a.ini", "x", c.role));
    EXPECT_FALSE(files.Stamp(dir / "missing-folder/a.ini"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

INSTANTIATE_TEST_SUITE_P(
    EachRole, PosixFileStoreRoles,
    ::testing::Values(RoleCase{FileRole::ProgramFile, ReadStatus::Ok, ReadStatus::Ok, true, 0600},
                      RoleCase{FileRole::Record, ReadStatus::Failed, ReadStatus::Failed, false, 0644}),
    [](const auto& each) { return each.param.role == FileRole::ProgramFile ? "ProgramFile" : "Record"; });

TEST(PosixFileStore, ARecordAbandonedWhileWrittenLeavesTheOldOneAlone) {
    TempDir dir;
    PosixFileStore* self = nullptr;
    PosixFileStore files([&](ReplaceStep step) {
        if (step == ReplaceStep::Written) self->AbandonRecordInProgress();
    });
    self = &files;
    WriteFile(dir / "a.arc.info", "old");
    EXPECT_FALSE(files.ReplaceFile(dir / "a.arc.info", "new", FileRole::Record));
    EXPECT_EQ(ReadAll(dir / "a.arc.info"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace quellstone::platform
