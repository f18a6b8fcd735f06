#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "support/FakeWalk.h"

namespace quellstone::scan {
namespace {

using quellstone::testing::FakeDirectoryTree;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::Pair;

// Walks whose folders change while the walk is inside their subfolders, and
// stops requested at each point of a walk.
class WalkUnderChangeTest : public ::testing::Test, public quellstone::testing::FakeWalk {
protected:
    WalkUnderChangeTest() : FakeWalk("[Scanfiles]\nEVIL.EXE=Trojan.Evil\nOLD.EXE=Trojan.Old\n") {}

    WalkResult Scan(const std::string& path, std::size_t openFolders = WalkSettings{}.openFolderBudget) {
        settings.openFolderBudget = openFolders;
        return Walk(path);
    }
    // Runs `change` once, when the walk looks up `path`.
    void WhenLookingUp(const std::string& path, std::function<void()> change) {
        sink.onPath = [path, change = std::move(change), done = false](const std::string& now) mutable {
            if (!done && now == path) {
                done = true;
                change();
            }
        };
    }
};

TEST_F(WalkUnderChangeTest, AFolderChangedDuringItsSubfoldersIsListedAgainBeforeItsLookUps) {
    auto& root = tree.Root().Folder("r");
    root.Folder("sub").File("a");
    root.File("old.exe");
    WhenLookingUp("/r/sub/a", [&] {
        root.File("evil.exe");
        root.Remove("old.exe");
    });
    EXPECT_FALSE(Scan("/r").stopped);
    EXPECT_THAT(sink.lookedUp, ElementsAre("/r/sub/a", "/r/sub", "/r/evil.exe"));
    ASSERT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(sink.rows[0].second, "/r/evil.exe");
    EXPECT_THAT(tree.listed, ElementsAre("/r", "/r/sub", "/r"));
}

TEST_F(WalkUnderChangeTest, AnUnchangedFolderIsListedOnceUnlessItsStampIsUnsettled) {
    auto& root = tree.Root().Folder("r");
    root.Folder("sub").File("a");
    root.File("evil.exe");
    Scan("/r");
    EXPECT_THAT(tree.listed, ElementsAre("/r", "/r/sub"));
    EXPECT_TRUE(sink.unreadable.empty());

    // A folder changed just before it was listed could change again unseen.
    tree.listed.clear();
    root.settled = false;
    Scan("/r");
    EXPECT_THAT(tree.listed, ElementsAre("/r", "/r/sub", "/r"));
    EXPECT_EQ(sink.rows.size(), 2u);

    // A folder that cannot be read whole is said to be so once, though listed twice.
    root.listsWhole = false;
    Scan("/r");
    EXPECT_THAT(sink.unreadable, ElementsAre(Pair("/r", false)));
}

TEST_F(WalkUnderChangeTest, AFolderClosedToSaveHandlesIsCheckedWhenReopened) {
    auto& root = tree.Root().Folder("r");
    FakeDirectoryTree::Node* node = &root;
    for (int depth = 0; depth < 6; ++depth) node = &node->Folder("d");
    node->File("deep");
    root.File("old.exe");
    WhenLookingUp("/r/d/d/d/d/d/d/deep", [&] {
        root.File("evil.exe");
        root.Remove("old.exe");
    });
    Scan("/r", 2);
    EXPECT_THAT(sink.lookedUp, Contains("/r/evil.exe"));
    EXPECT_THAT(sink.lookedUp, Not(Contains("/r/old.exe")));
    EXPECT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(tree.openFolders, 0);
}

// Where the stop is seen decides nothing, however many threads list ahead:
// after it, no folder is entered and no entry is looked up; only a look-up
// pass already under way finishes.
TEST_F(WalkUnderChangeTest, AStopAtAnyPointEndsTheWalkThere) {
    auto& root = tree.Root().Folder("r");
    root.Folder("a").File("x");
    auto& middle = root.Folder("b");
    middle.File("y");
    auto& last = root.Folder("c");
    last.File("z");
    last.Folder("inner").File("w");
    root.File("evil.exe");

    struct Case {
        std::string stopAt;  // the look-up during which the stop is pressed
        std::vector<std::string> lookedUp;
    };
    const std::vector<Case> cases = {
        {"/r/a/x", {"/r/a/x"}},                                                    // in the first subfolder
        {"/r/b/y", {"/r/a/x", "/r/b/y"}},                                          // in a middle one
        {"/r/c/inner/w", {"/r/a/x", "/r/b/y", "/r/c/inner/w"}},                    // in the last, deepest one
        {"/r/c/z", {"/r/a/x", "/r/b/y", "/r/c/inner/w", "/r/c/z", "/r/c/inner"}},  // in the last folder's own pass
    };
    for (const unsigned threads : {1U, 8U}) {
        settings.listing.threads = threads;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.stopAt + ", threads " + std::to_string(threads));
            sink.lookedUp.clear();
            stop = std::stop_source();
            WhenLookingUp(c.stopAt, [&] { stop.request_stop(); });
            EXPECT_TRUE(Scan("/r").stopped);
            EXPECT_EQ(sink.lookedUp, c.lookedUp);
            EXPECT_EQ(tree.openFolders, 0);
        }
    }

    // Asked before the walk: nothing is opened.
    sink.lookedUp.clear();
    tree.opened.clear();
    EXPECT_TRUE(Scan("/r").stopped);
    EXPECT_TRUE(sink.lookedUp.empty());
    EXPECT_TRUE(tree.opened.empty());

    stop = std::stop_source();
    EXPECT_FALSE(Scan("/r").stopped);
    EXPECT_EQ(sink.lookedUp.size(), 9u);

    // Deep inside a folder the threads have not got through: what they listed ahead is let go too.
    for (int i = 0; i < 50; ++i) middle.Folder("m" + std::to_string(i)).Folder("n").File("v");
    stop = std::stop_source();
    WhenLookingUp("/r/b/m0/n/v", [&] { stop.request_stop(); });
    EXPECT_TRUE(Scan("/r").stopped);
}

// A folder listed ahead by a listing thread, then changed while the walk is
// held elsewhere, is looked up as it is when the walk gets there.
TEST_F(WalkUnderChangeTest, AFolderListedAheadIsCheckedAgainBeforeItsLookUps) {
    auto& root = tree.Root().Folder("r");
    root.Folder("a").Folder("held").File("here");
    auto& later = root.Folder("later");
    later.File("old.exe");
    later.File("kept");
    settings.listing.threads = 8;
    WhenLookingUp("/r/a/held/here", [&] {
        tree.WaitUntilListed("/r/later");  // listed ahead while the walk is held here
        const std::lock_guard<std::recursive_mutex> lock(tree.mutex);
        later.File("evil.exe");
        later.Remove("old.exe");
    });
    Scan("/r");
    EXPECT_THAT(sink.lookedUp,
                ElementsAre("/r/a/held/here", "/r/a/held", "/r/later/kept", "/r/later/evil.exe", "/r/a", "/r/later"));
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/r/later/evil.exe")));
    EXPECT_EQ(std::ranges::count(tree.listed, "/r/later"), 2);
}

}  // namespace
}  // namespace quellstone::scan
