#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/PosixFileStore.h"
#include "support/TempDir.h"

namespace quellstone::platform {
namespace {

using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;

TEST(PosixFileStore, ReadsOnlyRegularFiles) {
    TempDir dir;
    PosixFileStore files;
    WriteFile(dir / "a.ini", "[s]\nk=v\n");
    const ports::FileContent read = files.ReadFile(dir / "a.ini");
    EXPECT_EQ(read.status, ports::ReadStatus::Ok);
    EXPECT_EQ(read.bytes, "[s]\nk=v\n");
    EXPECT_EQ(files.ReadFile(dir / "absent").status, ports::ReadStatus::Missing);
    EXPECT_EQ(files.ReadFile(dir / "absent/deeper").status, ports::ReadStatus::Missing);
    EXPECT_EQ(files.ReadFile(dir.Path()).status, ports::ReadStatus::Failed);
    // A FIFO with no writer would block a plain read for ever.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(files.ReadFile(dir / "fifo").status, ports::ReadStatus::Failed);
    EXPECT_EQ(files.ReadFile("/dev/zero").status, ports::ReadStatus::Failed);
}

TEST(PosixFileStore, ReplacesAtomicallyKeepingModeAndLinks) {
    TempDir dir;
    PosixFileStore files;
    const std::string target = dir / "real.ini";
    WriteFile(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("real.ini", (dir / "link.ini").c_str()), 0);

    const auto before = files.Stamp(target);
    ASSERT_TRUE(files.ReplaceFile(dir / "link.ini", "new content"));
    EXPECT_EQ(files.ReadFile(target).bytes, "new content");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_NE(files.Stamp(target), before);

    ASSERT_TRUE(files.ReplaceFile(dir / "created.ini", "x"));
    EXPECT_EQ(files.ReadFile(dir / "created.ini").bytes, "x");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

TEST(PosixFileStore, AFailedReplaceLeavesNothingBehind) {
    TempDir dir;
    PosixFileStore files;
    EXPECT_FALSE(files.ReplaceFile(dir / "missing-folder/a.ini", "x"));
    EXPECT_FALSE(files.Stamp(dir / "missing-folder/a.ini"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace quellstone::platform
