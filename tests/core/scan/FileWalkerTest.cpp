#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/scan/FileWalker.h"
#include "core/scan/MountPointHolders.h"
#include "support/FakeWalk.h"

namespace quellstone::scan {
namespace {

using quellstone::testing::FakeDirectoryTree;
using ::testing::ElementsAre;
using ::testing::Pair;
using Kind = ports::EntryKind;

class FileWalkerTest : public ::testing::Test, public quellstone::testing::FakeWalk {
protected:
    FileWalkerTest() : FakeWalk("[Scanfiles]\nEVIL.EXE=Trojan.Evil\nbad=backdoor.bad\nnest=Folder.Named.Nest\n") {}

    void Scan(std::string path, std::string pattern = "*.*") { Walker().ScanTree(pattern, path); }
};

TEST(ScanNormalisation, PathAndPattern) {
    for (auto [given, expected] : std::vector<std::pair<std::string, std::string>>{
             {"", ""}, {"/", ""}, {"/opt/", "/opt"}, {"/opt//", "/opt"}, {"/home/u", "/home/u"}}) {
        NormaliseScanPath(given);
        EXPECT_EQ(given, expected);
    }
    for (auto [given, expected] : std::vector<std::pair<std::string, std::string>>{
             {"*.*", "*.*"}, {"", "*"}, {"*", "**"}, {"abc", "abc*"}, {".txt", ".txt*"}, {"a.b", "a.b"}}) {
        NormaliseScanPattern(given);
        EXPECT_EQ(given, expected);
    }
}

TEST_F(FileWalkerTest, WalksDepthFirstWithSubfoldersBeforeTheFolderOwnEntries) {
    auto& top = tree.Root().Folder("top");
    auto& a = top.Folder("a");
    a.File("evil.exe");
    a.Folder("deep").File("Bad");
    top.File("f1");
    top.Folder("b").File("y");

    std::string path = "/top/";
    std::string pattern = "*.*";
    Walker().ScanTree(pattern, path);

    EXPECT_EQ(path, "/top");  // normalised in the caller's variable
    EXPECT_THAT(sink.lookedUp, ElementsAre("/top/a/deep/Bad", "/top/a/evil.exe", "/top/a/deep", "/top/b/y", "/top/a",
                                           "/top/f1", "/top/b"));
    EXPECT_THAT(sink.rows,
                ElementsAre(Pair("BACKDOOR.BAD", "/top/a/deep/Bad"), Pair("TROJAN.EVIL", "/top/a/evil.exe")));
    EXPECT_EQ(sink.scanned, 7);  // entries looked up, detections not counted twice
    EXPECT_EQ(state.detectionCount, 2);
    EXPECT_FALSE(state.scanRunning);
}

// What the system reports of each entry decides: hidden names are skipped
// before anything else, only entries listed as folders (or as unknown) have
// their status read, and only a plain folder on its holder's device is walked.
TEST_F(FileWalkerTest, OnlyPlainFoldersAreWalkedAndHiddenNamesAreSkipped) {
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

TEST_F(FileWalkerTest, AFolderMountedOverAfterItsStatusWasReadIsNotEntered) {
    auto& root = tree.Root().Folder("r");
    auto& sub = root.Folder("sub");
    sub.File("evil.exe");
    sub.device = 2;  // its status, read before it is opened, still says device 1
    root.Folder("plain").File("evil.exe");
    Scan("/r");
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/r/plain/evil.exe")));
    EXPECT_TRUE(sink.unreadable.empty());  // a mount point, passed over like any other
}

TEST_F(FileWalkerTest, EmptyPathWalksTheRoot) {
    tree.Root().File("EVIL.EXE");
    std::string path;
    std::string pattern = "*.*";
    Walker().ScanTree(pattern, path);
    EXPECT_EQ(path, "");
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/EVIL.EXE")));
    EXPECT_THAT(tree.opened, ElementsAre("/"));
}

TEST_F(FileWalkerTest, PatternSelectsWhatIsLookedUpNotWhatIsWalked) {
    auto& root = tree.Root().Folder("r");
    root.Folder("sub").File("evil.exe");
    root.File("evil.exe.txt");
    root.File("EVIL.EXE");
    std::string path = "/r";
    std::string pattern = "*.exe";
    Walker().ScanTree(pattern, path);
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/sub/evil.exe", "/r/EVIL.EXE"));
}

TEST_F(FileWalkerTest, YieldsBeforeEachDescentAndAfterEachLookUp) {
    auto& root = tree.Root().Folder("r");
    root.File("one");
    root.File("two");
    Scan("/r");
    EXPECT_EQ(pump.calls, 2);  // no subfolders: no yield for a descent

    pump.calls = 0;
    root.Folder("sub");
    Scan("/r");
    EXPECT_EQ(pump.calls, 1 + 3);
}

TEST_F(FileWalkerTest, StopDuringTheLookUpPassFinishesTheFolderThenEndsTheWalk) {
    auto& root = tree.Root().Folder("r");
    auto& first = root.Folder("first");
    first.File("evil.exe");
    first.File("bad");
    root.Folder("second").File("evil.exe");
    root.File("evil.exe");
    sink.onPath = [&](const std::string& path) {
        if (path == "/r/first/evil.exe") state.scanRunning = false;  // the stop button
    };
    Scan("/r");
    // "first" is finished; "second" is never entered; the open folder "/r" is not looked up.
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/first/evil.exe", "/r/first/bad"));
    EXPECT_EQ(sink.rows.size(), 2u);
    EXPECT_EQ(state.detectionCount, 2);
}

TEST_F(FileWalkerTest, ASecondScanTreeDuringAWalkIsAStopRequest) {
    auto& root = tree.Root().Folder("r");
    root.Folder("first").File("evil.exe");
    root.Folder("second").File("evil.exe");
    FileWalker walker = Walker();
    int nested = 0;
    sink.onPath = [&](const std::string&) {
        if (nested++ > 0) return;
        std::string pattern = "*.*";
        std::string path = "/r";
        walker.ScanTree(pattern, path);
        EXPECT_FALSE(state.scanRunning);
        EXPECT_EQ(path, "/r");  // a stop request walks nothing and changes nothing
    };
    std::string pattern = "*.*";
    std::string path = "/r";
    walker.ScanTree(pattern, path);
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/first/evil.exe"));
    // The stop request's own call reset the count; the entry being looked up still finished.
    EXPECT_EQ(state.detectionCount, 1);
}

TEST_F(FileWalkerTest, AClosedScanWindowIsDiscardedAndNothingIsWalked) {
    tree.Root().Folder("r").File("evil.exe");
    sink.shown = false;
    Scan("/r");
    EXPECT_TRUE(sink.discarded);
    EXPECT_TRUE(sink.lookedUp.empty());
    EXPECT_TRUE(tree.opened.empty());
    EXPECT_FALSE(state.scanRunning);
}

TEST_F(FileWalkerTest, ClosingTheWindowMidWalkEntersNoFurtherFolder) {
    auto& root = tree.Root().Folder("r");
    root.Folder("first").File("a");
    root.Folder("second").File("b");
    sink.onPath = [&](const std::string& path) {
        if (path == "/r/first/a") sink.shown = false;
    };
    Scan("/r");
    EXPECT_THAT(tree.opened, ElementsAre("/r", "/r/first"));
}

TEST_F(FileWalkerTest, UnopenableFoldersListAsEmpty) {
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

TEST_F(FileWalkerTest, DeepTreesKeepOnlyABudgetOfFoldersOpen) {
    FakeDirectoryTree::Node* node = &tree.Root().Folder("r");
    for (int depth = 0; depth < 60; ++depth) {
        node->File("evil.exe");
        FakeDirectoryTree::Node* next = &node->Folder("d" + std::to_string(depth));
        // A sibling walked after the deep branch returns: its folder must be reopened.
        node->Folder("z" + std::to_string(depth)).File("bad");
        node = next;
    }
    node->File("evil.exe");
    std::string pattern = "*.*";
    std::string path = "/r";
    Walker(4).ScanTree(pattern, path);
    EXPECT_EQ(sink.rows.size(), 61u + 60u);
    EXPECT_LE(tree.mostOpenFolders, 6);
    EXPECT_EQ(tree.openFolders, 0);
}

TEST_F(FileWalkerTest, ADeepBranchListedFirstDoesNotHideItsLaterSiblings) {
    auto& root = tree.Root().Folder("r");
    FakeDirectoryTree::Node* node = &root.Folder("b");
    for (int depth = 0; depth < 20; ++depth) node = &node->Folder("c");  // nothing after it at any level
    node->File("evil.exe");
    for (int i = 0; i < 3; ++i) root.Folder("z" + std::to_string(i)).File("evil.exe");
    std::string pattern = "*.*";
    std::string path = "/r";
    Walker(4).ScanTree(pattern, path);
    EXPECT_EQ(sink.rows.size(), 4u);
}

TEST_F(FileWalkerTest, ScanEntryLooksUpOneName) {
    FileWalker walker = Walker();
    walker.ScanEntry("/downloads/Evil.exe");
    walker.ScanEntry("/downloads/clean.txt");
    walker.ScanEntry("/downloads/ \tevil.exe ");  // padding is no way past the database
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/downloads/Evil.exe"),
                                       Pair("TROJAN.EVIL", "/downloads/ \tevil.exe ")));
    EXPECT_EQ(sink.scanned, 3);
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

TEST_F(FileWalkerTest, WhereNothingIsMountedFoldersAreWalkedFromTheListingAlone) {
    auto& root = tree.Root().Folder("r");
    root.Folder("plain").File("evil.exe");
    auto& holder = root.Folder("holder");
    holder.AddListed("mnt", Kind::Folder, ports::EntryStatus{Kind::Folder, 2, 0755});
    // Mounted after the table was read: the folder opened is on another device and is not entered.
    root.AddListed("late", Kind::Folder, ports::EntryStatus{Kind::Folder, 3, 0755}).File("evil.exe");
    tree.knowsCanonicalPaths = true;
    FileWalker walker = Walker();
    WalkOptions withMounts;
    withMounts.mountPoints = std::vector<std::string>{"/", "/r/holder/mnt"};
    walker.SetOptions(withMounts);
    std::string pattern = "*.*";
    std::string path = "/r";
    walker.ScanTree(pattern, path);
    EXPECT_THAT(tree.statusReads, ElementsAre("mnt"));  // only in the folder a mount point is known in
    EXPECT_THAT(tree.opened, ElementsAre("/r", "/r/plain", "/r/holder", "/r/late"));
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/r/plain/evil.exe")));
    EXPECT_TRUE(sink.unreadable.empty());
}

}  // namespace
}  // namespace quellstone::scan
