#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "core/scan/MountPointHolders.h"
#include "support/FakeWalk.h"

namespace quellstone::scan {
namespace {

using quellstone::testing::FakeDirectoryTree;
using ::testing::ElementsAre;
using ::testing::Pair;
using Kind = ports::EntryKind;

class FolderWalkTest : public ::testing::Test, public quellstone::testing::FakeWalk {
protected:
    FolderWalkTest() : FakeWalk("[Scanfiles]\nEVIL.EXE=Trojan.Evil\nbad=backdoor.bad\nnest=Folder.Named.Nest\n") {}

    WalkResult Scan(const std::string& path) { return Walk(path); }
};

TEST(ScanNormalisation, Path) {
    for (auto [given, expected] : std::vector<std::pair<std::string, std::string>>{
             {"", ""}, {"/", ""}, {"/opt/", "/opt"}, {"/opt//", "/opt"}, {"/home/u", "/home/u"}}) {
        EXPECT_EQ(NormalisedScanPath(given), expected);
    }
}

TEST_F(FolderWalkTest, WalksDepthFirstWithSubfoldersBeforeTheFolderOwnEntries) {
    auto& top = tree.Root().Folder("top");
    auto& a = top.Folder("a");
    a.File("evil.exe");
    a.Folder("deep").File("Bad");
    top.File("f1");
    top.Folder("b").File("y");

    const WalkResult result = Scan("/top/");

    EXPECT_THAT(sink.startFolders, ElementsAre("/top"));
    EXPECT_THAT(sink.lookedUp, ElementsAre("/top/a/deep/Bad", "/top/a/evil.exe", "/top/a/deep", "/top/b/y", "/top/a",
                                           "/top/f1", "/top/b"));
    EXPECT_THAT(sink.rows,
                ElementsAre(Pair("BACKDOOR.BAD", "/top/a/deep/Bad"), Pair("TROJAN.EVIL", "/top/a/evil.exe")));
    EXPECT_EQ(result.entries, 7u);  // entries looked up, detections not counted twice
    EXPECT_EQ(result.detections, 2u);
    EXPECT_FALSE(result.stopped);
}

// What the system reports of each entry decides: hidden names are skipped
// before anything else, only entries listed as folders (or as unknown) have
// their status read, and only a plain folder on its holder's device is walked.
TEST_F(FolderWalkTest, OnlyPlainFoldersAreWalkedAndHiddenNamesAreSkipped) {
    using Status = ports::EntryStatus;
    auto& root = tree.Root().Folder("r");
    root.Add("readonly", Kind::Folder, 0555u).File("evil.exe");
    root.AddListed("unknown", Kind::Unknown, Status{Kind::Folder, 1, 0755}).File("evil.exe");
    root.AddListed("mount", Kind::Folder, Status{Kind::Folder, 2, 0755}).File("evil.exe");
    root.AddListed("nest", Kind::Folder, Status{Kind::Folder, 2, 0755}).File("evil.exe");
    // Listed as a folder, a link by the time its status is read.
    root.AddListed("swapped", Kind::Folder, Status{Kind::SymbolicLink, 1, 0777});
    root.AddListed("unreadable", Kind::Folder, std::nullopt).File("evil.exe");
    root.Folder(".hidden").File("evil.exe");
    root.File(".evil.exe");
    root.Add("evil.exe", Kind::SymbolicLink);
    root.Add("pipe", Kind::Other);
    Scan("/r");
    EXPECT_THAT(sink.lookedUp,
                ElementsAre("/r/readonly/evil.exe", "/r/unknown/evil.exe", "/r/readonly", "/r/unknown", "/r/mount",
                            "/r/nest", "/r/swapped", "/r/unreadable", "/r/evil.exe", "/r/pipe"));
    EXPECT_THAT(sink.rows,
                ElementsAre(Pair("TROJAN.EVIL", "/r/readonly/evil.exe"), Pair("TROJAN.EVIL", "/r/unknown/evil.exe"),
                            Pair("FOLDER.NAMED.NEST", "/r/nest"), Pair("TROJAN.EVIL", "/r/evil.exe")));
    EXPECT_THAT(tree.statusReads, ElementsAre("readonly", "unknown", "mount", "nest", "swapped", "unreadable"));
    EXPECT_THAT(tree.opened, ElementsAre("/r", "/r/readonly", "/r/unknown"));
    EXPECT_TRUE(sink.unreadable.empty());
}

TEST_F(FolderWalkTest, AFolderMountedOverAfterItsStatusWasReadIsNotEntered) {
    auto& root = tree.Root().Folder("r");
    auto& sub = root.Folder("sub");
    sub.File("evil.exe");
    sub.device = 2;  // its status, read before it is opened, still says device 1
    root.Folder("plain").File("evil.exe");
    Scan("/r");
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/r/plain/evil.exe")));
    EXPECT_TRUE(sink.unreadable.empty());  // a mount point, passed over like any other
}

TEST_F(FolderWalkTest, EmptyPathWalksTheRoot) {
    tree.Root().File("EVIL.EXE");
    Scan("");
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/EVIL.EXE")));
    EXPECT_THAT(tree.opened, ElementsAre("/"));
}

TEST_F(FolderWalkTest, StopDuringTheLookUpPassFinishesTheFolderThenEndsTheWalk) {
    auto& root = tree.Root().Folder("r");
    auto& first = root.Folder("first");
    first.File("evil.exe");
    first.File("bad");
    root.Folder("second").File("evil.exe");
    root.File("evil.exe");
    sink.onPath = [&](const std::string& path) {
        if (path == "/r/first/evil.exe") stop.request_stop();  // the stop button
    };
    const WalkResult result = Scan("/r");
    // "first" is finished; "second" is never entered; the open folder "/r" is not looked up.
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/first/evil.exe", "/r/first/bad"));
    EXPECT_EQ(sink.rows.size(), 2u);
    EXPECT_EQ(result.detections, 2u);
    EXPECT_TRUE(result.stopped);
    EXPECT_THAT(tree.opened, ElementsAre("/r", "/r/first"));
}

TEST_F(FolderWalkTest, UnopenableFoldersListAsEmpty) {
    auto& root = tree.Root().Folder("r");
    root.Folder("locked").opens = false;
    root.File("evil.exe");
    Scan("/r");
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/locked", "/r/evil.exe"));
    sink.lookedUp.clear();
    Scan("/missing");
    EXPECT_TRUE(sink.lookedUp.empty());
    // Both are reported, the start folder as one that was not scanned at all.
    EXPECT_THAT(sink.unreadable, ElementsAre(Pair("/r/locked", false), Pair("/missing", true)));
    EXPECT_THAT(sink.startFolders, ElementsAre("/r", "/missing"));
}

TEST_F(FolderWalkTest, DeepTreesKeepOnlyABudgetOfFoldersOpen) {
    FakeDirectoryTree::Node* node = &tree.Root().Folder("r");
    for (int depth = 0; depth < 60; ++depth) {
        node->File("evil.exe");
        FakeDirectoryTree::Node* next = &node->Folder("d" + std::to_string(depth));
        // A sibling walked after the deep branch returns: its folder must be reopened.
        node->Folder("z" + std::to_string(depth)).File("bad");
        node = next;
    }
    node->File("evil.exe");
    settings.openFolderBudget = 4;
    Scan("/r");
    EXPECT_EQ(sink.rows.size(), 61u + 60u);
    EXPECT_LE(tree.mostOpenFolders, 6);
    EXPECT_EQ(tree.openFolders, 0);
}

TEST_F(FolderWalkTest, ADeepBranchListedFirstDoesNotHideItsLaterSiblings) {
    auto& root = tree.Root().Folder("r");
    FakeDirectoryTree::Node* node = &root.Folder("b");
    for (int depth = 0; depth < 20; ++depth) node = &node->Folder("c");  // nothing after it at any level
    node->File("evil.exe");
    for (int i = 0; i < 3; ++i) root.Folder("z" + std::to_string(i)).File("evil.exe");
    settings.openFolderBudget = 4;
    Scan("/r");
    EXPECT_EQ(sink.rows.size(), 4u);
}

TEST_F(FolderWalkTest, AFileNamedToTheScanIsLookedUpByItsName) {
    Walk({{"/downloads/Evil.exe", false}, {"/downloads/clean.txt", false}, {"/downloads/ \tevil.exe ", false}});
    // Padding is no way past the database.
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/downloads/Evil.exe"),
                                       Pair("TROJAN.EVIL", "/downloads/ \tevil.exe ")));
    EXPECT_EQ(sink.lookedUp.size(), 3u);
    EXPECT_THAT(sink.startFolders, ElementsAre("/downloads", "/downloads", "/downloads"));
}

TEST(MountPointHolders, NamesTheFoldersThatHoldAMountPointAsTheWalkNamesThem) {
    using ::testing::UnorderedElementsAre;
    EXPECT_THAT(MountPointHolders("", "/", {"/", "/home", "/mnt/a b", "/proc/sys/x"}),
                UnorderedElementsAre("", "/mnt", "/proc/sys"));
    // A start named through a link or relative: mount points are given with links resolved.
    EXPECT_THAT(MountPointHolders("tree", "/work/tree", {"/work/tree/m", "/work/treeX/y", "/work/tree", "/work"}),
                UnorderedElementsAre("tree"));
}

TEST_F(FolderWalkTest, WhereNothingIsMountedFoldersAreWalkedFromTheListingAlone) {
    auto& root = tree.Root().Folder("r");
    root.Folder("plain").File("evil.exe");
    auto& holder = root.Folder("holder");
    holder.AddListed("mnt", Kind::Folder, ports::EntryStatus{Kind::Folder, 2, 0755});
    // Mounted after the table was read: the folder opened is on another device and is not entered.
    root.AddListed("late", Kind::Folder, ports::EntryStatus{Kind::Folder, 3, 0755}).File("evil.exe");
    tree.knowsCanonicalPaths = true;
    WalkOptions withMounts;
    withMounts.mountPoints = std::vector<std::string>{"/", "/r/holder/mnt"};
    Walk("/r", withMounts);
    EXPECT_THAT(tree.statusReads, ElementsAre("mnt"));  // only in the folder a mount point is known in
    EXPECT_THAT(tree.opened, ElementsAre("/r", "/r/plain", "/r/holder", "/r/late"));
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/r/plain/evil.exe")));
    EXPECT_TRUE(sink.unreadable.empty());
}

// A tree of every shape the walk meets, the same for a given tree number: deep and
// wide folders, files the database names, hidden entries, links, entries
// the listing cannot type, mount points, folders that cannot be opened, be
// listed whole or have their status read, and a long chain of folders.
void GrowMixedTree(FakeDirectoryTree::Node& root, unsigned treeNumber) {
    std::minstd_rand random(treeNumber);
    const auto roll = [&](unsigned sides) { return static_cast<unsigned>(random() % sides); };
    std::vector<std::pair<FakeDirectoryTree::Node*, int>> folders{{&root, 0}};
    for (std::size_t i = 0; i < folders.size() && folders.size() < 400; ++i) {
        auto [folder, depth] = folders[i];
        const unsigned entries = 1 + roll(8);
        for (unsigned e = 0; e < entries; ++e) {
            const std::string name = (roll(6) == 0 ? "." : "") + std::to_string(e) + (roll(5) == 0 ? "evil.exe" : "");
            switch (roll(10)) {
                case 0: folder->Add(name, Kind::SymbolicLink); break;
                case 1: folder->AddListed(name, Kind::Folder, ports::EntryStatus{Kind::Folder, 2, 0755}); break;
                case 2: folder->AddListed(name, Kind::Unknown, ports::EntryStatus{Kind::Folder, 1, 0755}); break;
                case 3: folder->AddListed(name, Kind::Folder, std::nullopt); break;
                case 4:
                case 5:
                case 6: {
                    FakeDirectoryTree::Node& child = folder->Folder(name);
                    child.opens = roll(12) != 0;
                    child.listsWhole = roll(12) != 0;
                    if (depth < 9) folders.emplace_back(&child, depth + 1);
                    break;
                }
                default: folder->File(name);
            }
        }
    }
    FakeDirectoryTree::Node* chain = &root.Folder("chain");
    for (int depth = 0; depth < 30; ++depth) {
        chain->File("bad");
        chain = &chain->Folder("c");
    }
    FakeDirectoryTree::Node& wide = root.Folder("wide");
    for (int i = 0; i < 120; ++i) wide.Folder("w" + std::to_string(i)).File("evil.exe");
}

// However many threads list ahead, and however small their budget or the
// walk's own, the walk reports exactly what the single walk reports, in the
// same order, and closes every folder it opened.
TEST(FolderWalkOrder, EveryThreadCountReportsWhatTheSingleWalkReports) {
    struct Variant {
        unsigned threads;
        std::size_t aheadFolders;
        std::size_t openFolders;
        // Listings are fast but for runs of slow ones, so that the threads
        // rest and begin again mid-walk; otherwise they list ahead throughout.
        bool slowRuns = false;
    };
    const std::vector<Variant> variants = {{1, 256, 200}, {2, 256, 200}, {8, 256, 200},      {16, 256, 200},
                                           {8, 2, 3},     {16, 1, 2},    {8, 256, 200, true}};
    for (unsigned treeNumber = 1; treeNumber <= 3; ++treeNumber) {
        std::optional<quellstone::testing::RecordingSink> single;
        for (const Variant& variant : variants) {
            SCOPED_TRACE("tree " + std::to_string(treeNumber) + ", threads " + std::to_string(variant.threads) +
                         ", ahead " + std::to_string(variant.aheadFolders));
            quellstone::testing::FakeWalk walk(
                "[Scanfiles]\n1EVIL.EXE=Trojan.One\n.2EVIL.EXE=Trojan.Hidden\nBAD=Bad\n"
                "W7=Folder.Named\n");
            GrowMixedTree(walk.tree.Root().Folder("r"), treeNumber);
            walk.settings.listing = {variant.threads, variant.aheadFolders, 16U << 20U, {}, {}};
            // Listings are timed by a clock that stands still but for the
            // chosen folders, whose listing moves it on by a millisecond.
            if (variant.slowRuns) {
                auto ticks = std::make_shared<std::atomic<std::int64_t>>(0);
                walk.settings.listing.slowListing = std::chrono::microseconds(100);
                walk.settings.listing.clock = [ticks] {
                    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(ticks->load()));
                };
                walk.tree.onList = [ticks](const std::string& path) {
                    if (path.find("/w1") != std::string::npos || path.find("/c/c/c/c/c/c/c/c") != std::string::npos) {
                        ++*ticks;
                    }
                };
            }
            walk.settings.openFolderBudget = variant.openFolders;
            const WalkOptions options =
                WalkOptions::Make(treeNumber != 2, {"/r/wide/w7", "/r/3", "/r/chain/c/c"}, walk.tree);
            walk.Walk({{"/r", true}, {"/r/wide", true}, {"/r/0evil.exe", false}}, options);
            EXPECT_EQ(walk.tree.openFolders, 0);
            if (!single) {
                single = walk.sink;
                EXPECT_GT(single->lookedUp.size(), 300u);
                EXPECT_FALSE(single->rows.empty());
                EXPECT_FALSE(single->unreadable.empty());
                continue;
            }
            EXPECT_EQ(walk.sink.lookedUp, single->lookedUp);
            EXPECT_EQ(walk.sink.rows, single->rows);
            EXPECT_EQ(walk.sink.unreadable, single->unreadable);
            EXPECT_EQ(walk.sink.startFolders, single->startFolders);
            EXPECT_EQ(walk.sink.excludedStarts, single->excludedStarts);
        }
    }
}

}  // namespace
}  // namespace quellstone::scan
