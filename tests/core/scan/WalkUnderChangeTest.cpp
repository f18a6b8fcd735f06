#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/scan/FileWalker.h"
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

    WalkEnd Scan(std::string path, std::size_t budget = FileWalker::kDefaultOpenFolderBudget) {
        std::string pattern = "*.*";
        return Walker(budget).ScanTree(pattern, path);
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
    EXPECT_EQ(Scan("/r"), WalkEnd::Finished);
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

// Where the stop is seen decides nothing: after it, no folder is entered and
// no entry is looked up; only a look-up pass already under way finishes.
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopAt);
        sink.lookedUp.clear();
        tree.opened.clear();
        WhenLookingUp(c.stopAt, [&] { state.scanRunning = false; });
        EXPECT_EQ(Scan("/r"), WalkEnd::Stopped);
        EXPECT_EQ(sink.lookedUp, c.lookedUp);
        EXPECT_FALSE(state.scanRunning);
    }

    // Seen at the yield before a descent: that subfolder is not entered.
    sink.lookedUp.clear();
    sink.onPath = nullptr;
    tree.opened.clear();
    pump.calls = 0;
    pump.action = [&] {
        if (pump.calls == 1) state.scanRunning = false;
    };
    EXPECT_EQ(Scan("/r"), WalkEnd::Stopped);
    EXPECT_TRUE(sink.lookedUp.empty());
    EXPECT_THAT(tree.opened, ElementsAre("/r"));

    pump.action = nullptr;
    sink.lookedUp.clear();
    EXPECT_EQ(Scan("/r"), WalkEnd::Finished);
    EXPECT_EQ(sink.lookedUp.size(), 9u);
}

}  // namespace
}  // namespace quellstone::scan
