#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::ReadAll;
using quellstone::testing::WriteFile;
using ::testing::HasSubstr;

class QuarantineCommandTest : public quellstone::testing::CliTest {};

TEST_F(QuarantineCommandTest, ScanRemoveListRestoreDelete) {
    const std::string tree = dir / "tree";
    std::filesystem::create_directories(tree + "/a");
    std::filesystem::create_directories(tree + "/b");
    WriteFile(tree + "/a/QUELLSTONE-TEST.EXE", "first copy");
    WriteFile(tree + "/b/QUELLSTONE-TEST.EXE", "second copy");
    WriteFile(tree + "/b/MSBLAST.EXE", "third");
    WriteFile(tree + "/b/harmless.txt", "stays");
    ASSERT_EQ(Run({"settings", "set", "Settings", "Quarintine", "1"}).status, 0);

    const auto scan = Run({"scan", "--remove", tree});
    EXPECT_EQ(scan.status, 1);
    EXPECT_THAT(scan.out, HasSubstr("Removed: 3\n"));
    EXPECT_THAT(scan.out, HasSubstr(": REMOVED (kept in quarantine as QUELLSTONE-TEST (2).EXE.arc)\n"));
    EXPECT_TRUE(std::filesystem::exists(tree + "/b/harmless.txt"));
    EXPECT_FALSE(std::filesystem::exists(tree + "/b/MSBLAST.EXE"));

    const auto list = Run({"quarantine", "list"});
    EXPECT_EQ(list.status, 0);
    // Name, detection, size, original path and time of removal, in name order. Which of the two
    // same-named files took the numbered name follows the walk, which goes in the folder's own order.
    const std::string eitherCopy =
        "\tTest.File.Quellstone\t(10\t" + tree + "/a/|11\t" + tree + "/b/)QUELLSTONE-TEST.EXE\t[-0-9: ]+\n";
    EXPECT_THAT(list.out, ::testing::MatchesRegex("MSBLAST.EXE.arc\tWorm.Win32.Lovesan.a\t5\t" + tree +
                                                  "/b/MSBLAST.EXE\t[-0-9: ]+\n"
                                                  "QUELLSTONE-TEST \\(2\\).EXE.arc" +
                                                  eitherCopy + "QUELLSTONE-TEST.EXE.arc" + eitherCopy));
    // The record says which file each archive holds: the two hold different ones.
    const bool numberedFromA =
        list.out.find("(2).EXE.arc\tTest.File.Quellstone\t10\t" + tree + "/a/") != std::string::npos;
    const bool plainFromA =
        list.out.find("TEST.EXE.arc\tTest.File.Quellstone\t10\t" + tree + "/a/") != std::string::npos;
    EXPECT_NE(numberedFromA, plainFromA);
    const std::string numberedOrigin = numberedFromA ? "first copy" : "second copy";
    ASSERT_EQ(Run({"quarantine", "restore", "QUELLSTONE-TEST (2).EXE.arc", tree + "/a"}).status, 0);
    EXPECT_EQ(ReadAll(tree + "/a/QUELLSTONE-TEST.EXE"), numberedOrigin);
    EXPECT_EQ(Run({"quarantine", "delete", "MSBLAST.EXE.arc"}).status, 0);
    EXPECT_EQ(Run({"quarantine", "list"}).out.find("MSBLAST"), std::string::npos);

    EXPECT_EQ(Run({"quarantine", "delete", "../registry.reg"}).status, 2);
    EXPECT_EQ(Run({"quarantine", "delete", "a/b.arc"}).status, 2);
    EXPECT_EQ(Run({"quarantine", "delete", ".."}).status, 2);
    EXPECT_EQ(Run({"quarantine", "delete", "absent.arc"}).status, 2);
    EXPECT_EQ(Run({"quarantine", "restore", "QUELLSTONE-TEST.EXE.arc", dir / "no/such/folder/x"}).status, 2);
    EXPECT_EQ(Run({"quarantine", "list"}).out.find("QUELLSTONE-TEST.EXE.arc") != std::string::npos, true);

    EXPECT_THAT(Run({"stats"}).out, HasSubstr("Scans started: 1\nObjects removed: 3\n"));
    EXPECT_THAT(Run({"stats", "--reset"}).out,
                ::testing::StartsWith("Scans started: 0\nObjects removed: 0\nLast system scan: -\nDatabase in use: "));
}

}  // namespace
}  // namespace quellstone::cli
