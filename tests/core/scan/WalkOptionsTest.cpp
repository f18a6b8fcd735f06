// The walk's options on a tree in memory: hidden entries on request, and
// excluded folders met by path, by identity, or as the start folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "support/FakeWalk.h"

namespace quellstone::scan {
namespace {

using quellstone::testing::FakeDirectoryTree;
using quellstone::testing::RecordingSink;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;

class WalkOptionsTest : public ::testing::Test, public quellstone::testing::FakeWalk {
protected:
    WalkOptionsTest() : FakeWalk("[Scanfiles]\nEVIL.EXE=Trojan.Evil\n.X=Hidden.Named\n") {
        auto& r = tree.Root().Folder("r");
        auto& config = r.Folder(".config");
        config.File("evil.exe");
        config.Folder(".x");
        r.File(".x");
        auto& keep = r.Folder("keep");
        keep.File("evil.exe");
        auto& skip = r.Folder("skip");
        skip.File("evil.exe");
        skip.Folder("deeper").File("evil.exe");
        r.File("evil.exe");
    }

    void Scan(const WalkOptions& options, const std::string& path = "/r") { Walk(path, options); }
    WalkOptions Excluding(std::vector<std::string> paths, bool hidden = false) {
        return WalkOptions::Make(hidden, paths, tree);
    }
};

TEST_F(WalkOptionsTest, HiddenEntriesAreLookedUpAndWalkedOnlyWhenAskedFor) {
    Scan({});
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/keep/evil.exe", "/r/skip/deeper/evil.exe", "/r/skip/evil.exe",
                                           "/r/skip/deeper", "/r/keep", "/r/skip", "/r/evil.exe"));

    sink.lookedUp.clear();
    sink.rows.clear();
    Scan({.includeHidden = true, .excluded = {}, .mountPoints = std::nullopt, .reported = {}});
    // The same order and rules, the hidden names among the rest; "." and ".." never.
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/.config/evil.exe", "/r/.config/.x", "/r/keep/evil.exe",
                                           "/r/skip/deeper/evil.exe", "/r/skip/evil.exe", "/r/skip/deeper",
                                           "/r/.config", "/r/.x", "/r/keep", "/r/skip", "/r/evil.exe"));
    EXPECT_THAT(sink.rows,
                ElementsAre(Pair("TROJAN.EVIL", "/r/.config/evil.exe"), Pair("HIDDEN.NAMED", "/r/.config/.x"),
                            Pair("TROJAN.EVIL", "/r/keep/evil.exe"), Pair("TROJAN.EVIL", "/r/skip/deeper/evil.exe"),
                            Pair("TROJAN.EVIL", "/r/skip/evil.exe"), Pair("HIDDEN.NAMED", "/r/.x"),
                            Pair("TROJAN.EVIL", "/r/evil.exe")));
    EXPECT_THAT(tree.statusReads, ::testing::Not(::testing::Contains(::testing::AnyOf(".", ".."))));
}

TEST_F(WalkOptionsTest, AnExcludedFolderIsNeitherLookedUpNorEnteredAndCostsNoExtraStatusRead) {
    struct Case {
        std::string excluded;
        std::vector<std::string> statusReads;
    };
    const std::vector<Case> cases = {
        // Met by its path: passed over by name before its status is read.
        {"/r/skip", {"keep"}},
        {"/r/skip/", {"keep"}},
        // Another path to it: known by the status the walk reads anyway.
        {"/r//skip", {"keep", "skip"}},
    };
    for (const Case& c : cases) {
        tree.statusReads.clear();
        tree.opened.clear();
        sink = RecordingSink();
        Scan(Excluding({c.excluded, "/nowhere"}));
        EXPECT_THAT(sink.lookedUp, ElementsAre("/r/keep/evil.exe", "/r/keep", "/r/evil.exe")) << c.excluded;
        EXPECT_EQ(tree.statusReads, c.statusReads) << c.excluded;
        // Opened once to take its identity, never entered; "/" is opened to
        // learn that the start folder lies in no excluded folder.
        EXPECT_THAT(tree.opened, ElementsAre("/r/skip", "/r", "/", "/r/keep")) << c.excluded;
        EXPECT_EQ(tree.openFolders, 0);
    }
}

TEST_F(WalkOptionsTest, AnExcludedMountPointIsMatchedByPathWithoutBeingOpened) {
    // /r/skip as a network mount whose server does not answer: opening it would hang.
    const WalkOptions options = WalkOptions::Make(false, {"/r/skip/"}, tree, {"/", "/r/skip"});
    EXPECT_THAT(tree.opened, IsEmpty());
    Scan(options);
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/keep/evil.exe", "/r/keep", "/r/evil.exe"));
    EXPECT_THAT(tree.opened, Not(::testing::Contains("/r/skip")));
}

TEST_F(WalkOptionsTest, AnExclusionMatchesTheFolderByIdentityWhateverPathTheWalkMeetsItBy) {
    // As if "/elsewhere/link" were a link that led to /r/skip when the scan started.
    auto skip = tree.OpenFolder("/r/skip/");
    ASSERT_TRUE(skip);
    WalkOptions options;
    options.excluded.push_back({"/elsewhere/link", skip->Identity()});
    skip.reset();
    Scan(options);
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/keep/evil.exe", "/r/keep", "/r/evil.exe"));

    // A path that leads nowhere excludes nothing by identity; by path it still would.
    EXPECT_FALSE(Excluding({"/nowhere"}).excluded.front().identity);
    sink.lookedUp.clear();
    Scan(Excluding({"/r/evil.exe"}));
    EXPECT_THAT(sink.lookedUp, ::testing::Not(::testing::Contains("/r/evil.exe")));
    EXPECT_EQ(sink.lookedUp.size(), 6u);
}

TEST_F(WalkOptionsTest, AStartFolderThatIsExcludedOrLiesInAnExcludedFolderScansNothing) {
    const auto scanNothing = [&](const WalkOptions& options, const std::string& start) {
        sink = RecordingSink();
        Scan(options, start);
        EXPECT_THAT(sink.lookedUp, IsEmpty()) << start;
        EXPECT_THAT(sink.unreadable, IsEmpty()) << start;
        return sink.excludedStarts;
    };
    EXPECT_THAT(scanNothing(Excluding({"/r/skip"}), "/r/skip/"), ElementsAre("/r/skip"));
    EXPECT_THAT(scanNothing(Excluding({"/r"}), "/r/skip/deeper"), ElementsAre("/r/skip/deeper"));
    EXPECT_THAT(scanNothing(Excluding({"/"}), ""), ElementsAre("/"));
    EXPECT_THAT(scanNothing(Excluding({"/"}), "/r/keep"), ElementsAre("/r/keep"));

    // By identity: the start folder named by another path, or a folder above it excluded through one.
    auto r = tree.OpenFolder("/r/");
    WalkOptions byIdentity;
    byIdentity.excluded.push_back({"/link-to-r", r->Identity()});
    r.reset();
    EXPECT_THAT(scanNothing(byIdentity, "/r"), ElementsAre("/r"));
    EXPECT_THAT(scanNothing(byIdentity, "/r/skip/deeper"), ElementsAre("/r/skip/deeper"));

    // A folder beside an excluded one, or above it, is walked.
    sink = RecordingSink();
    Scan(Excluding({"/r/skip"}), "/r/keep");
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/keep/evil.exe"));
    EXPECT_THAT(sink.excludedStarts, IsEmpty());
    sink = RecordingSink();
    Scan(Excluding({"/r/skipped"}), "/r/skip");  // a name that only begins like the start folder
    EXPECT_EQ(sink.lookedUp.size(), 3u);
}

TEST_F(WalkOptionsTest, AFileNamedToTheScanInAnExcludedFolderIsNotLookedUp) {
    Walk({{"/r/skip/evil.exe", false}, {"/r/skip/deeper/evil.exe", false}, {"/r/keep/evil.exe", false}},
         Excluding({"/r/skip"}));
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/keep/evil.exe"));
    EXPECT_THAT(sink.excludedStarts, UnorderedElementsAre("/r/skip/evil.exe", "/r/skip/deeper/evil.exe"));
}

}  // namespace
}  // namespace quellstone::scan
