// scan --skip-hidden and --exclude on real trees, run as the built program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::CliResult;
using quellstone::testing::WriteFile;
using ::testing::HasSubstr;
using ::testing::Not;

// tree/home/.config/autostart/quellstone-test.exe, tree/home/.quellstone-test.exe,
// tree/home/vm/quellstone-test.exe, tree/vm-link -> home/vm, tree/home/docs/quellstone-test.exe
class ScanOptionsTest : public quellstone::testing::CliTest {
protected:
    ScanOptionsTest() {
        WriteFile(db, "[Scanfiles]\nQUELLSTONE-TEST.EXE=Test.File.Quellstone\n.QUELLSTONE-TEST.EXE=Test.Dotted\n");
        for (const char* folder : {"tree", "tree/home", "tree/home/.config", "tree/home/.config/autostart",
                                   "tree/home/vm", "tree/home/docs"})
            ::mkdir((dir / folder).c_str(), 0755);
        for (const char* file : {"tree/home/.config/autostart/quellstone-test.exe", "tree/home/.quellstone-test.exe",
                                 "tree/home/vm/quellstone-test.exe", "tree/home/docs/quellstone-test.exe"})
            WriteFile(dir / file);
        EXPECT_EQ(::symlink("home/vm", (dir / "tree/vm-link").c_str()), 0);
    }
    CliResult Scan(std::vector<std::string> args) {
        args.insert(args.begin(), {"scan", "--db", db});
        return Run(args);
    }
    std::string Found(const std::string& relative) const { return dir / relative + ": "; }

    const std::string db = dir / "test.db";
    const std::string home = dir / "tree/home";
};

TEST_F(ScanOptionsTest, HiddenFilesAndFoldersAreFoundUnlessSkipped) {
    const struct {
        std::vector<std::string> options;
        int status;
        bool hiddenFound;
        const char* counts;
    } cases[] = {{{}, 1, true, "Scanned entries: 8\nDetections: 4\n"},
                 {{"--hidden"}, 1, true, "Scanned entries: 8\nDetections: 4\n"},
                 {{"--skip-hidden"}, 1, false, "Scanned entries: 4\nDetections: 2\n"},  // vm, docs and a file in each
                 {{"--hidden", "--skip-hidden"}, 2, false, ""}};
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        args.push_back(home);
        const CliResult result = Scan(args);
        SCOPED_TRACE(::testing::PrintToString(c.options) + "\n" + result.out + result.err);
        EXPECT_EQ(result.status, c.status);
        EXPECT_THAT(result.out, HasSubstr(c.counts));
        const std::string hidden[] = {
            Found("tree/home/.config/autostart/quellstone-test.exe") + "TEST.FILE.QUELLSTONE FOUND\n",
            Found("tree/home/.quellstone-test.exe") + "TEST.DOTTED FOUND\n"};
        for (const std::string& line : hidden)
            EXPECT_EQ(result.out.find(line) != std::string::npos, c.hiddenFound) << line;
    }
}

TEST_F(ScanOptionsTest, AnExcludedFolderAndALinkToItAreLeftOut) {
    // By the link: the real folder that the walk meets is left out.
    const CliResult byLink =
        Scan({"--skip-hidden", "--exclude", dir / "tree/vm-link", "--exclude=" + dir / "absent", home});
    EXPECT_EQ(byLink.status, 1) << byLink.err;
    EXPECT_THAT(byLink.out, Not(HasSubstr("/vm")));
    EXPECT_THAT(byLink.out, HasSubstr(Found("tree/home/docs/quellstone-test.exe")));
    EXPECT_THAT(byLink.out, HasSubstr("Scanned entries: 2\n"));
    EXPECT_EQ(byLink.err, "");

    // An empty PATH would name the root: refused, nothing scanned.
    const CliResult empty = Scan({"--exclude", "", home});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.out, "");

    // By the real path, and both excluded folders given: nothing of them is scanned.
    const CliResult both = Scan({"--skip-hidden", "--exclude", home + "/vm/", "--exclude", home + "/docs", home});
    EXPECT_EQ(both.status, 0) << both.err;
    EXPECT_THAT(both.out, HasSubstr("Scanned entries: 0\nDetections: 0\n"));
}

TEST_F(ScanOptionsTest, AnExcludedStartFolderScansNothingAndSaysSo) {
    // Named through a link to the excluded folder: exit 0, nothing found, a line on stderr.
    const CliResult start = Scan({"--json", "--exclude", home + "/vm", dir / "tree/vm-link"});
    EXPECT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(start.err, "quellstone-cli scan: " + dir / "tree/vm-link" + ": excluded, so it was not scanned\n");
    EXPECT_THAT(start.out, HasSubstr("{\"summary\": {\"scanned\": 0, \"detections\": 0,"));

    // A folder above it excluded, and a file named in an excluded folder; other PATHs are still scanned.
    ::mkdir((dir / "outside").c_str(), 0755);
    WriteFile(dir / "outside/quellstone-test.exe");
    const CliResult mixed = Scan(
        {"--exclude", home, home + "/docs", home + "/vm/quellstone-test.exe", dir / "tree/vm-link", dir / "outside"});
    EXPECT_EQ(mixed.status, 1) << mixed.err;
    EXPECT_THAT(mixed.out, HasSubstr(Found("outside/quellstone-test.exe")));
    EXPECT_THAT(mixed.err, HasSubstr(home + "/docs: excluded, so it was not scanned\n"));
    EXPECT_THAT(mixed.err, HasSubstr(home + "/vm/quellstone-test.exe: excluded, so it was not scanned\n"));
    // The link lies outside the excluded folder's path, and leads into it: left out by identity as well.
    EXPECT_THAT(mixed.err, HasSubstr(dir / "tree/vm-link" + ": excluded, so it was not scanned\n"));
    EXPECT_THAT(mixed.out, HasSubstr("Scanned entries: 1\n"));
}

TEST_F(ScanOptionsTest, StoredWindowChoicesDoNotChangeAScriptedScan) {
    ::mkdir((dir / "config").c_str(), 0755);
    ::mkdir((dir / "config/Orvanta").c_str(), 0755);
    const std::string key = "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n";
    WriteFile(dir / "config/Orvanta/registry.reg", "Windows Registry Editor Version 5.00\n\n" + key +
                                                       "\"ScanHidden\"=\"0\"\n\"ExcludedFolders\"=\"" + home +
                                                       "/docs\"\n");
    const CliResult scan = Run({"scan", "--db", db, home});
    EXPECT_EQ(scan.status, 1) << scan.err;
    EXPECT_THAT(scan.out, HasSubstr(Found("tree/home/docs/quellstone-test.exe")));
    EXPECT_THAT(scan.out, HasSubstr("/.config/"));
}

TEST_F(ScanOptionsTest, StoredExclusionsLeaveTheWindowsExcludedFoldersOutToo) {
    ::mkdir((dir / "config").c_str(), 0755);
    ::mkdir((dir / "config/Orvanta").c_str(), 0755);
    const std::string key = "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n";
    WriteFile(dir / "config/Orvanta/registry.reg",
              "Windows Registry Editor Version 5.00\n\n" + key + "\"ExcludedFolders\"=\"" + home + "/docs\"\n");
    // The stored folder and the one on the command line are both left out; the hidden switch stays the command line's.
    const CliResult both = Scan({"--stored-exclusions", "--skip-hidden", "--exclude", home + "/vm", home});
    EXPECT_EQ(both.status, 0) << both.err;
    EXPECT_THAT(both.out, Not(HasSubstr("quellstone-test.exe")));
    EXPECT_THAT(both.out, HasSubstr("Scanned entries: 0\n"));

    // The stored folder reached through a link is the same folder.
    ::unlink((dir / "tree/vm-link").c_str());
    ASSERT_EQ(::symlink("home/docs", (dir / "tree/docs-link").c_str()), 0);
    const CliResult linked = Scan({"--stored-exclusions", dir / "tree/docs-link"});
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_THAT(linked.err, HasSubstr(dir / "tree/docs-link" + ": excluded, so it was not scanned\n"));
    const CliResult hidden = Scan({"--stored-exclusions", "--hidden", home});
    EXPECT_EQ(hidden.status, 1) << hidden.err;
    EXPECT_THAT(hidden.out, Not(HasSubstr(Found("tree/home/docs/"))));
    EXPECT_THAT(hidden.out, HasSubstr(Found("tree/home/vm/quellstone-test.exe")));
}

}  // namespace
}  // namespace quellstone::cli
