// Removal, the quarantine and scan reports through the real command line, on
// real files: links in ordinary paths, paths longer than PATH_MAX, two
// removals at once, leftovers of a killed removal, unreadable folders.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/CliRunner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::CliResult;
using quellstone::testing::ReadAll;
using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;
using ::testing::HasSubstr;

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class RemovalPathsTest : public ::testing::Test {
protected:
    RemovalPathsTest() {
        std::filesystem::create_directories(dir / "tree");
        dataHome = dir / "data";
    }
    CliResult Run(const std::vector<std::string>& args, bool asNobody = false) {
        return quellstone::testing::RunCli(args,
                                           {"XDG_CONFIG_HOME=" + dir / "config", "XDG_DATA_HOME=" + dataHome,
                                            "QUELLSTONE_STATE_DIRECTORY=" + dir / "system"},
                                           asNobody,
                                           asNobody ? quellstone::testing::ProgramForNobody(dir) : QUELLSTONE_CLI);
    }
    void QuarantineOn() { ASSERT_EQ(Run({"settings", "set", "Settings", "Quarintine", "1"}).status, 0); }
    std::string Archive(const std::string& name) const { return dataHome + "/Orvanta/Quellstone/Archiwum/" + name; }

    TempDir dir;
    std::string dataHome;
};

TEST_F(RemovalPathsTest, LinksInTheStartFolderAndTheQuarantinePathAreFollowed) {
    // The start folder named through a link (as "/home -> var/home"), and the
    // data folder behind a link too.
    std::filesystem::create_directories(dir / "var/home/u");
    std::filesystem::create_directory_symlink(dir / "var/home", dir / "home");
    std::filesystem::create_directories(dir / "real-data");
    std::filesystem::create_directory_symlink(dir / "real-data", dir / "data-link");
    dataHome = dir / "data-link";
    WriteFile(dir / "var/home/u/MSBLAST.EXE", "payload");
    QuarantineOn();

    const CliResult scan = Run({"scan", "--remove", dir / "home/u"});
    EXPECT_EQ(scan.status, 1);
    EXPECT_THAT(scan.out, HasSubstr("/home/u/MSBLAST.EXE: REMOVED (kept in quarantine as MSBLAST.EXE.arc)"));
    EXPECT_FALSE(std::filesystem::exists(dir / "var/home/u/MSBLAST.EXE"));
    EXPECT_EQ(ReadAll(dir / "real-data/Orvanta/Quellstone/Archiwum/MSBLAST.EXE.arc"), "payload");

    // Back to where it was, found through the record; the folder path holds a link.
    EXPECT_EQ(Run({"quarantine", "restore", "MSBLAST.EXE.arc"}).status, 0);
    EXPECT_EQ(ReadAll(dir / "var/home/u/MSBLAST.EXE"), "payload");

    // A restore to the original path goes no other way than the removal: a
    // folder below the start folder swapped for a link since leads nowhere.
    ASSERT_EQ(Run({"scan", "--remove", dir / "home"}).status, 1);
    std::filesystem::create_directories(dir / "victim");
    std::filesystem::rename(dir / "var/home/u", dir / "var/home/u-moved");
    std::filesystem::create_directory_symlink(dir / "victim", dir / "var/home/u");
    EXPECT_EQ(Run({"quarantine", "restore", "MSBLAST.EXE.arc"}).status, 2);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "victim"));
    std::filesystem::remove(dir / "var/home/u");
    std::filesystem::rename(dir / "var/home/u-moved", dir / "var/home/u");
    EXPECT_EQ(Run({"quarantine", "restore", "MSBLAST.EXE.arc"}).status, 0);

    // A single file named through a linked folder.
    const CliResult single = Run({"scan", "--remove", dir / "home/u/MSBLAST.EXE"});
    EXPECT_THAT(single.out, HasSubstr(": REMOVED (kept in quarantine as MSBLAST.EXE.arc)"));
    EXPECT_FALSE(std::filesystem::exists(dir / "var/home/u/MSBLAST.EXE"));
}

TEST_F(RemovalPathsTest, AFileBeyondPathMaxIsRemovedAndCounted) {
    // Nested folders whose full path is longer than the system accepts.
    std::string relative;
    int fd = ::open((dir / "tree").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    const std::string part(200, 'd');
    while (relative.size() < PATH_MAX + 200) {
        ASSERT_EQ(::mkdirat(fd, part.c_str(), 0755), 0);
        const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        relative += "/" + part;
    }
    const int file = ::openat(fd, "MSBLAST.EXE", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "deep", 4), 4);
    ::close(file);
    QuarantineOn();

    const CliResult scan = Run({"scan", "--remove", dir / "tree"});
    EXPECT_EQ(scan.status, 1);
    EXPECT_THAT(scan.out, HasSubstr("MSBLAST.EXE: REMOVED (kept in quarantine as MSBLAST.EXE.arc)"));
    EXPECT_THAT(scan.out, HasSubstr("Removed: 1\n"));
    EXPECT_EQ(::faccessat(fd, "MSBLAST.EXE", F_OK, 0), -1);
    ::close(fd);
    EXPECT_EQ(ReadAll(Archive("MSBLAST.EXE.arc")), "deep");
    EXPECT_THAT(Run({"stats"}).out, HasSubstr("Objects removed: 1\n"));
}

TEST_F(RemovalPathsTest, TwoRemovalsAtOnceArchiveEachFileOnceAndCountEachOnce) {
    constexpr int kFiles = 60;
    for (int i = 0; i < kFiles; ++i) {
        std::filesystem::create_directories(dir / ("tree/" + std::to_string(i)));
        WriteFile(dir / ("tree/" + std::to_string(i) + "/MSBLAST.EXE"), std::to_string(i));
    }
    QuarantineOn();
    CliResult first, second;
    std::thread other([&] { second = Run({"scan", "--remove", dir / "tree"}); });
    first = Run({"scan", "--remove", dir / "tree"});
    other.join();

    const std::string both = first.out + second.out;
    EXPECT_EQ(CountOf(both, ": REMOVED (kept in quarantine as"), kFiles);
    // The later run finds a file already gone, unless the earlier one removed it before the walk came by.
    EXPECT_EQ(CountOf(both, ": REMOVED (") + CountOf(both, ": ALREADY GONE"), CountOf(both, " FOUND\n"));
    EXPECT_EQ(CountOf(both, "NOT REMOVED"), 0);
    EXPECT_NE(first.status, 2);  // a file already gone is no failure
    EXPECT_NE(second.status, 2);
    int archives = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Archive(""))) {
        if (entry.path().extension() == ".arc") ++archives;
    }
    EXPECT_EQ(archives, kFiles);
    EXPECT_THAT(Run({"stats"}).out, HasSubstr("Objects removed: " + std::to_string(kFiles) + "\n"));
}

TEST_F(RemovalPathsTest, QuarantineRecordsRestoreTheOriginalNameAndPlace) {
    // Two files called "setup (2).exe" in different folders; the database knows them by a test database.
    WriteFile(dir / "db.dll", "[Scanfiles]\nSETUP (2).EXE=Trojan.Test.Setup\n");
    std::filesystem::create_directories(dir / "tree/a");
    std::filesystem::create_directories(dir / "tree/b");
    WriteFile(dir / "tree/a/setup (2).exe", "from a");
    WriteFile(dir / "tree/b/setup (2).exe", "from b");
    QuarantineOn();
    ASSERT_EQ(Run({"scan", "--db", dir / "db.dll", "--remove", dir / "tree"}).status, 1);

    // Listed with the recorded detection, which the program folder's database does not know.
    const CliResult json = Run({"quarantine", "list", "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_THAT(json.out, HasSubstr("{\"name\": \"setup (2).exe.arc\", \"detection\": \"TROJAN.TEST.SETUP\", "
                                    "\"size\": 6, \"original_path\": \""));
    const std::size_t plainLine = json.out.find("{\"name\": \"setup (2).exe.arc\"");
    ASSERT_NE(plainLine, std::string::npos);
    const std::string plain = json.out.substr(plainLine, json.out.find('\n', plainLine) - plainLine);
    const std::string first = plain.find(dir / "tree/a/") != std::string::npos ? "a" : "b";
    const std::string second = first == "a" ? "b" : "a";

    // Into a folder: the recorded name, "(2)" and all, not a guess from the archive's name.
    std::filesystem::create_directories(dir / "back");
    EXPECT_EQ(Run({"quarantine", "restore", "setup (2).exe.arc", dir / "back"}).status, 0);
    EXPECT_EQ(ReadAll(dir / "back/setup (2).exe"), "from " + first);
    EXPECT_FALSE(std::filesystem::exists(Archive("setup (2).exe.arc.info")));

    // Without a target: to the original path, never over a file there.
    const std::string numbered = "setup (2) (2).exe.arc";
    WriteFile(dir / ("tree/" + second + "/setup (2).exe"), "a new file");
    const CliResult refused = Run({"quarantine", "restore", numbered});
    EXPECT_EQ(refused.status, 2);
    EXPECT_THAT(refused.err, HasSubstr("a file is already there"));
    EXPECT_EQ(ReadAll(dir / ("tree/" + second + "/setup (2).exe")), "a new file");
    std::filesystem::remove(dir / ("tree/" + second + "/setup (2).exe"));
    EXPECT_EQ(Run({"quarantine", "restore", numbered}).status, 0);
    EXPECT_EQ(ReadAll(dir / ("tree/" + second + "/setup (2).exe")), "from " + second);
}

TEST_F(RemovalPathsTest, RestoresIntoTheQuarantineAreRefused) {
    WriteFile(dir / "tree/MSBLAST.EXE", "one");
    WriteFile(dir / "tree/ENBIEI.EXE", "two");
    QuarantineOn();
    ASSERT_EQ(Run({"scan", "--remove", dir / "tree"}).status, 1);
    for (const std::string& target : {Archive("ENBIEI.EXE.arc"), Archive(""), Archive("new-name")}) {
        const CliResult restore = Run({"quarantine", "restore", "MSBLAST.EXE.arc", target});
        EXPECT_EQ(restore.status, 2) << target;
        EXPECT_THAT(restore.err, HasSubstr("the target lies in the quarantine folder"));
    }
    EXPECT_EQ(ReadAll(Archive("ENBIEI.EXE.arc")), "two");
    EXPECT_EQ(ReadAll(Archive("MSBLAST.EXE.arc")), "one");
}

TEST_F(RemovalPathsTest, LeftoversOfAKilledRemovalAreClearedAtTheNext) {
    QuarantineOn();
    std::filesystem::create_directories(Archive(""));
    WriteFile(Archive(".quellstone-copy-Ab12Cd"), "half a copy");
    WriteFile(dir / "tree/MSBLAST.EXE", "payload");
    ASSERT_EQ(::mkfifo((dir / "tree/ENBIEI.EXE").c_str(), 0600), 0);  // never copied, so never deleted
    const CliResult scan = Run({"scan", "--remove", dir / "tree"});
    EXPECT_EQ(scan.status, 2);
    EXPECT_THAT(scan.out, HasSubstr("/tree/ENBIEI.EXE: NOT REMOVED (not a regular file)\n"));
    EXPECT_FALSE(std::filesystem::exists(Archive(".quellstone-copy-Ab12Cd")));
    EXPECT_EQ(ReadAll(Archive("MSBLAST.EXE.arc")), "payload");
}

TEST_F(RemovalPathsTest, NamesPaddedWithBlanksAreFound) {
    WriteFile(dir / "tree/ enbiei.exe", "");
    WriteFile(dir / "tree/avserve.exe\t ", "");
    const CliResult scan = Run({"scan", dir / "tree"});
    EXPECT_EQ(scan.status, 1);
    EXPECT_THAT(scan.out, HasSubstr("/tree/ enbiei.exe: WORM.WIN32.LOVESAN FOUND"));
    EXPECT_THAT(scan.out, HasSubstr("/tree/avserve.exe\\x09 : WORM.WIN32.SASSER.A FOUND"));
}

TEST_F(RemovalPathsTest, FoldersThatCannotBeReadAreErrorsNotAllClear) {
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::others_exec |
                                                 std::filesystem::perms::group_exec);
    std::filesystem::permissions(dir / "tree", std::filesystem::perms::all);
    std::filesystem::create_directories(dir / "tree/open");
    std::filesystem::permissions(dir / "tree/open", std::filesystem::perms::all);
    // One more than standard error names one by one.
    constexpr int kClosed = 101;
    for (int i = 0; i < kClosed; ++i) {
        std::filesystem::create_directories(dir / ("tree/closed" + std::to_string(i)));
        std::filesystem::permissions(dir / ("tree/closed" + std::to_string(i)), std::filesystem::perms::none);
    }

    const CliResult closed = Run({"scan", dir / "tree/closed0"}, true);
    EXPECT_EQ(closed.status, 2);
    EXPECT_THAT(closed.err, HasSubstr("/tree/closed0: the folder could not be read, so it was not scanned"));
    EXPECT_THAT(closed.out, HasSubstr("PATHs not scanned: 1 (" + dir / "tree/closed0)\n"));

    const CliResult inside = Run({"scan", "--json", dir / "tree"}, true);
    EXPECT_EQ(inside.status, 0);
    EXPECT_THAT(inside.out, HasSubstr("\"unreadable_folders\": 101,"));
    EXPECT_THAT(inside.out, HasSubstr("{\"unreadable\": \"" + dir / "tree/closed0\"}\n"));
    EXPECT_EQ(CountOf(inside.out, "{\"unreadable\": "), kClosed);
    EXPECT_EQ(CountOf(inside.err, ": the folder could not be read\n"), kClosed - 1);
    EXPECT_THAT(inside.err, ::testing::EndsWith("scan: 1 more folders could not be read\n"));
    for (int i = 0; i < kClosed; ++i)
        std::filesystem::permissions(dir / ("tree/closed" + std::to_string(i)), std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace quellstone::cli
