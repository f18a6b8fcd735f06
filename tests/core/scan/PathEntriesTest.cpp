#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "core/scan/PathPattern.h"
#include "core/scan/SignatureIndex.h"
#include "support/FakeWalk.h"

namespace quellstone::scan {
namespace {

struct MatchCase {
    const char* pattern;
    const char* path;
    bool matches;
};

TEST(PathPattern, MatchesNamesWildcardsAndAnyNumberOfFolders) {
    const MatchCase cases[] = {
        {"/tmp/x", "/tmp/x", true},
        {"/tmp/x", "/tmp/X", false},  // letter case counts
        {"/tmp/x", "/tmp/x/y", false},
        {"/tmp//./x/", "/tmp/x", true},
        {"/tmp/*", "/tmp/abc", true},
        {"/tmp/*", "/tmp/a/b", false},  // `*` stays within a name
        {"/tmp/a*c", "/tmp/abbbc", true},
        {"/tmp/a*c", "/tmp/abbbcd", false},
        {"/tmp/*.ko", "/tmp/.ko", true},
        {"/tmp/?", "/tmp/é", true},  // one character, however many bytes
        {"/tmp/??", "/tmp/é", false},
        {"/tmp/?", "/tmp/\xff", true},  // a byte of no character is one of its own
        {"/tmp/**/netlink.ko", "/tmp/netlink.ko", true},
        {"/tmp/**/netlink.ko", "/tmp/a/b/c/netlink.ko", true},
        {"/tmp/**/netlink.ko", "/home/u/tmp/netlink.ko", false},
        {"/tmp/**", "/tmp", true},
        {"/**/x/**/y", "/a/x/b/x/c/y", true},
        {"/**/x/**/y", "/a/x/b/y/c", false},
        {"/home/*/.gvfsd", "/home/u/.gvfsd", true},
        {"/home/*/.gvfsd", "/home/u/v/.gvfsd", false},
        {"/a**b/c", "/aXXb/c", true},  // `**` inside a name is two stars
        {"/a**b/c", "/aX/b/c", false},
        {"/", "/", true},
        {"/x", "/", false},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(MatchesPathPattern(c.pattern, c.path), c.matches) << c.pattern << " against " << c.path;
    }
}

// A plain reference: every way of splitting the path, tried in turn.
bool ReferenceName(std::string_view pattern, std::string_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == '*') {
        for (std::size_t i = 0; i <= name.size(); ++i) {
            if (ReferenceName(pattern.substr(1), name.substr(i))) return true;
        }
        return false;
    }
    return !name.empty() && (pattern[0] == '?' || pattern[0] == name[0]) &&
           ReferenceName(pattern.substr(1), name.substr(1));
}

bool ReferencePath(const std::vector<std::string>& pattern, std::size_t p, const std::vector<std::string>& path,
                   std::size_t n) {
    if (p == pattern.size()) return n == path.size();
    if (pattern[p] == "**") {
        for (std::size_t i = n; i <= path.size(); ++i) {
            if (ReferencePath(pattern, p + 1, path, i)) return true;
        }
        return false;
    }
    return n < path.size() && ReferenceName(pattern[p], path[n]) && ReferencePath(pattern, p + 1, path, n + 1);
}

TEST(PathPattern, AStartPointIsWrittenOutWithoutDotsAndFromTheCurrentFolder) {
    const struct {
        const char* path;
        const char* currentFolder;
        const char* absolute;
    } cases[] = {{"../work/a", "/home/u", "/home/work/a"},
                 {"/a/./b/../c/", "/x", "/a/c"},
                 {"tmp", "/", "/tmp"},
                 {"../../..", "/a", ""}};
    for (const auto& c : cases) EXPECT_EQ(LexicallyAbsolute(c.path, c.currentFolder), c.absolute) << c.path;
}

TEST(PathPattern, AgreesWithAPlainMatcherOnRandomPatterns) {
    std::minstd_rand random(7);
    const auto pick = [&](std::string_view from) { return from[random() % from.size()]; };
    const auto names = [&](std::string_view alphabet, bool withDoubleStar) {
        std::vector<std::string> result(1 + random() % 4);
        for (std::string& name : result) {
            if (withDoubleStar && random() % 4 == 0) {
                name = "**";
                continue;
            }
            name.resize(1 + random() % 4);
            for (char& c : name) c = pick(alphabet);
        }
        return result;
    };
    const auto joined = [](const std::vector<std::string>& parts) {
        std::string path;
        for (const std::string& part : parts) path += "/" + part;
        return path;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::vector<std::string> pattern = names("ab*?", true);
        const std::vector<std::string> path = names("ab", false);
        ASSERT_EQ(MatchesPathPattern(joined(pattern), joined(path)), ReferencePath(pattern, 0, path, 0))
            << joined(pattern) << " against " << joined(path);
    }
}

TEST(PathEntries, ANameEntryWinsThenTheFirstMatchingPathEntryInTheFilesOrder) {
    const SignatureIndex index = SignatureIndex::Build(
        "[Scanfiles]\nKINSING=Miner.Name\nEMPTY.KO=\n[Scanpaths]\n"
        "/tmp/**/kinsing=Miner.Path\n/tmp/**/netlink.ko=Rootkit.Tmp\nrelative/netlink.ko=Skipped\n"
        "/tmp/*/n?tlink.ko=Rootkit.Wildcard\n/tmp/a/netlink.ko=Rootkit.Later\n/var/**/empty.ko=Path.Empty\n"
        "/opt/bsd-port/.=Path.Dot\n/srv/ pad.sh=Path.Blank\n",
        "Scanfiles", "Scanpaths");
    EXPECT_EQ(index.Size(), 2u);
    EXPECT_EQ(index.PathEntries(), 7u);
    EXPECT_EQ(index.SkippedPathKeys(), 1u);
    const struct {
        const char* upperName;
        const char* path;
        const char* found;
    } cases[] = {
        {"KINSING", "/tmp/kinsing", "Miner.Name"},
        {"NETLINK.KO", "/tmp/a/netlink.ko", "Rootkit.Tmp"},       // before the wildcard and the later one
        {"NETLINK.KO", "/home/u/netlink.ko", ""},                 // the name alone is clean
        {"NETLINK.KO", "/tmp/a/NETLINK.KO", ""},                  // paths match with their case
        {"NITLINK.KO", "/tmp/a/nitlink.ko", "Rootkit.Wildcard"},  // found by the wildcard last name
        {"EMPTY.KO", "/var/x/empty.ko", "Path.Empty"},            // an empty name entry names nothing
        {"EMPTY.KO", "/tmp/empty.ko", ""},
        {"BSD-PORT", "/opt/bsd-port", "Path.Dot"},  // "." names no folder
        {"PAD.SH", "/srv/ pad.sh", "Path.Blank"},   // filed under the trimmed name it is looked up by
    };
    for (const auto& c : cases) {
        EXPECT_EQ(index.Find(c.upperName, c.path), c.found) << c.path;
        EXPECT_EQ(index.Find(c.upperName), std::string_view(c.found) == "Miner.Name" ? "Miner.Name" : "") << c.path;
    }
}

TEST(PathEntries, AWalkMatchesAbsolutePathsAndLeavesOutTheCategoriesNotAskedFor) {
    for (const bool reportLessDangerous : {true, false}) {
        quellstone::testing::FakeWalk walk(
            "[Scanfiles]\nADWARE.EXE=Adware.Linux.X\nTOOL.SH=HackTool.Linux.Y\n"
            "[Scanpaths]\n/work/**/netlink.ko=Rootkit.Linux.Z\n");
        auto& work = walk.tree.Root().Folder("work");
        work.Folder("a").File("netlink.ko");
        work.File("adware.exe");
        work.File("tool.sh");
        WalkOptions options;
        options.reported = {.adware = false, .lessDangerous = reportLessDangerous};
        // Named relative to the current folder "/", as a command line may name it.
        const StartPoint relative{"work/a", true, "/"};
        walk.Walk({{"/work", true}, relative}, options);
        std::vector<std::pair<std::string, std::string>> expected = {{"ROOTKIT.LINUX.Z", "/work/a/netlink.ko"}};
        if (reportLessDangerous) expected.emplace_back("HACKTOOL.LINUX.Y", "/work/tool.sh");
        expected.emplace_back("ROOTKIT.LINUX.Z", "work/a/netlink.ko");
        EXPECT_EQ(walk.sink.rows, expected);
        EXPECT_EQ(walk.sink.ignored.size(), reportLessDangerous ? 1u : 2u);
    }
}

}  // namespace
}  // namespace quellstone::scan
