#include <dirent.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/scan/FileSystemKinds.h"
#include "core/scan/FolderWalk.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcMountTable.h"
#include "support/DiskWalk.h"

namespace quellstone::platform {
namespace {

using quellstone::testing::WriteFile;
using ::testing::ElementsAre;
using ::testing::Pair;

// Walks real folders on disk with the shipped implementations of the ports.
class PosixWalkTest : public ::testing::Test, public quellstone::testing::DiskWalk {
protected:
    PosixWalkTest() : DiskWalk("[Scanfiles]\nEVIL.EXE=Trojan.Evil\nLOOP=Link.Named.Loop\nPIPE=Fifo.Named.Pipe\n") {
        ::mkdir((dir / "t").c_str(), 0755);
    }

    void Scan(const std::string& start, std::size_t openFolders = scan::WalkSettings{}.openFolderBudget) {
        settings.openFolderBudget = openFolders;
        Walk(start);
    }
};

TEST_F(PosixWalkTest, ListsInReaddirOrderAndLeavesHiddenEntriesOut) {
    const std::string t = dir / "t";
    for (const char* name : {"b", "a", "c.exe", "evil.exe", "EVIL.EXE"}) WriteFile(t + "/" + name);
    ::mkdir((t + "/.hidden").c_str(), 0755);
    WriteFile(t + "/.hidden/evil.exe");
    WriteFile(t + "/.evil.exe");

    std::vector<std::string> expected;
    DIR* listing = ::opendir(t.c_str());
    while (const dirent* entry = ::readdir(listing)) {
        if (entry->d_name[0] != '.') expected.push_back(t + "/" + entry->d_name);
    }
    ::closedir(listing);

    Scan(t);
    EXPECT_EQ(sink.lookedUp, expected);
    EXPECT_EQ(sink.rows.size(), 2u);
}

TEST_F(PosixWalkTest, LinksAreLookedUpButNeverFollowed) {
    const std::string t = dir / "t";
    ::mkdir((t + "/real").c_str(), 0755);
    WriteFile(t + "/real/evil.exe");
    ASSERT_EQ(::symlink("real", (t + "/evil.exe").c_str()), 0);
    ASSERT_EQ(::symlink(".", (t + "/real/loop").c_str()), 0);  // a link loop
    ASSERT_EQ(::symlink("/", (t + "/real/root").c_str()), 0);  // a way out of the tree
    ASSERT_EQ(::symlink("missing", (t + "/dangling").c_str()), 0);
    Scan(t);
    EXPECT_THAT(sink.rows, ::testing::UnorderedElementsAre(Pair("TROJAN.EVIL", t + "/real/evil.exe"),
                                                           Pair("LINK.NAMED.LOOP", t + "/real/loop"),
                                                           Pair("TROJAN.EVIL", t + "/evil.exe")));
    EXPECT_EQ(sink.lookedUp.size(), 6u);
}

TEST_F(PosixWalkTest, SpecialFilesAreLookedUpWithoutBeingOpened) {
    const std::string t = dir / "t";
    ASSERT_EQ(::mkfifo((t + "/pipe").c_str(), 0600), 0);  // opening it for reading would block
    Scan(t);
    EXPECT_THAT(sink.rows, ElementsAre(Pair("FIFO.NAMED.PIPE", t + "/pipe")));
}

TEST_F(PosixWalkTest, OddNamesKeepTheirBytes) {
    const std::string odd = dir / "t/odd\xff\nfolder";
    ASSERT_EQ(::mkdir(odd.c_str(), 0755), 0);
    WriteFile(odd + "/evil.exe");
    WriteFile(odd + "/bad\xfe\x01name");
    Scan(dir / "t");
    EXPECT_THAT(sink.lookedUp, ElementsAre(::testing::AnyOf(odd + "/evil.exe", odd + "/bad\xfe\x01name"),
                                           ::testing::AnyOf(odd + "/evil.exe", odd + "/bad\xfe\x01name"), odd));
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", odd + "/evil.exe")));
}

TEST_F(PosixWalkTest, ListingsAndStatusesSayWhatTheSystemSays) {
    using ports::EntryKind;
    const std::string t = dir / "t";
    ASSERT_EQ(::mkdir((t + "/plain").c_str(), 0755), 0);
    ASSERT_EQ(::chmod((t + "/plain").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((t + "/.hidden").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((t + "/locked").c_str(), 0755), 0);
    ASSERT_EQ(::chmod((t + "/locked").c_str(), 0555), 0);
    ASSERT_EQ(::symlink("plain", (t + "/link").c_str()), 0);
    WriteFile(t + "/file");
    ASSERT_EQ(::chmod((t + "/file").c_str(), 0640), 0);
    ASSERT_EQ(::mkfifo((t + "/pipe").c_str(), 0600), 0);
    auto folder = tree.OpenFolder(t);
    ASSERT_TRUE(folder);

    // Every name, hidden ones and "." and ".." too; a kind the listing cannot tell is Unknown.
    ports::DirectoryListing listing;
    ASSERT_TRUE(folder->List(listing));
    std::map<std::string, EntryKind> listed;
    for (std::size_t i = 0; i < listing.Size(); ++i) listed[std::string(listing.Name(i))] = listing.Kind(i);
    const std::map<std::string, EntryKind> kinds = {{".", EntryKind::Folder},          {"..", EntryKind::Folder},
                                                    {".hidden", EntryKind::Folder},    {"file", EntryKind::RegularFile},
                                                    {"link", EntryKind::SymbolicLink}, {"locked", EntryKind::Folder},
                                                    {"pipe", EntryKind::Other},        {"plain", EntryKind::Folder}};
    ASSERT_EQ(listed.size(), kinds.size());
    for (const auto& [name, kind] : kinds) {
        EXPECT_THAT(listed[name], ::testing::AnyOf(kind, EntryKind::Unknown)) << name;
    }

    const std::uint64_t device = folder->Identity().device;
    // The inode is the entry's own, a link's and not its target's.
    const auto inode = [&t](const std::string& name) {
        struct stat st {};
        EXPECT_EQ(::lstat((t + "/" + name).c_str(), &st), 0) << name;
        return static_cast<std::uint64_t>(st.st_ino);
    };
    EXPECT_EQ(folder->Status("plain"), (ports::EntryStatus{EntryKind::Folder, device, 0755, inode("plain")}));
    EXPECT_EQ(folder->Status("locked"), (ports::EntryStatus{EntryKind::Folder, device, 0555, inode("locked")}));
    EXPECT_EQ(folder->Status("link"), (ports::EntryStatus{EntryKind::SymbolicLink, device, 0777, inode("link")}));
    EXPECT_EQ(folder->Status("file"), (ports::EntryStatus{EntryKind::RegularFile, device, 0640, inode("file")}));
    EXPECT_EQ(folder->Status("pipe"), (ports::EntryStatus{EntryKind::Other, device, 0600, inode("pipe")}));
    EXPECT_EQ(folder->Status("plain")->Identity(), folder->OpenSubfolder("plain")->Identity());
    EXPECT_EQ(folder->Status("absent"), std::nullopt);
    EXPECT_EQ(folder->OpenSubfolder("link"), nullptr);
    EXPECT_EQ(folder->OpenSubfolder("file"), nullptr);

    // /proc is its own file system wherever this runs: its status names another device.
    struct stat root {
    }, proc{};
    if (::stat("/", &root) == 0 && ::stat("/proc", &proc) == 0 && root.st_dev != proc.st_dev) {
        auto top = tree.OpenFolder("/");
        ASSERT_TRUE(top);
        const auto status = top->Status("proc");
        ASSERT_TRUE(status);
        EXPECT_EQ(status->kind, EntryKind::Folder);
        EXPECT_NE(status->device, top->Identity().device);
    }
}

TEST_F(PosixWalkTest, ReachesFoldersDeeperThanAPathCanName) {
    // A chain of folders whose full path is longer than PATH_MAX, built
    // relative to each parent as a user's tree could be.
    const int depth = PATH_MAX / 2 + 100;
    int fd = ::open((dir / "t").c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        if (level % 100 == 0) ::close(::openat(fd, "evil.exe", O_CREAT | O_WRONLY, 0644));
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(::openat(fd, "evil.exe", O_CREAT | O_WRONLY, 0644));
    ::close(fd);

    Scan(dir / "t", 64);
    const std::size_t expected = (depth + 99) / 100 + 1;
    ASSERT_EQ(sink.rows.size(), expected);
    EXPECT_GT(sink.rows.front().second.size(), static_cast<std::size_t>(PATH_MAX));

    // The temporary folder's own clean-up cannot name these paths; shorten the
    // chain one level at a time by moving the rest of it up.
    const int top = ::open((dir / "t").c_str(), O_RDONLY | O_DIRECTORY);
    while (::faccessat(top, "d", F_OK, AT_SYMLINK_NOFOLLOW) == 0) {
        ::unlinkat(top, "d/evil.exe", 0);
        const bool more = ::renameat(top, "d/d", top, "rest") == 0;
        ::unlinkat(top, "d", AT_REMOVEDIR);
        if (!more || ::renameat(top, "rest", top, "d") != 0) break;
    }
    ::close(top);
}

// The walk pauses at its yield inside a subfolder while files come and go in
// the folder above; that folder's look-up pass sees what it holds by then,
// also when it was closed to save handles and reopened.
TEST_F(PosixWalkTest, EntriesAddedOrDeletedDuringTheWalkAreSeenAsTheyAreAtTheLookUp) {
    for (const std::size_t budget : {std::size_t{200}, std::size_t{2}}) {
        SCOPED_TRACE(budget);
        const std::string t = dir / ("t" + std::to_string(budget));
        ASSERT_EQ(::mkdir(t.c_str(), 0755), 0);
        std::string deep = t;
        for (int depth = 0; depth < 5; ++depth) {
            deep += "/d";
            ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0) << deep;
        }
        WriteFile(deep + "/last");
        WriteFile(t + "/EVIL.exe");  // there when the walk lists the folder, gone at its look-up
        sink.onPath = [&](const std::string& path) {
            if (path != deep + "/last") return;
            ::unlink((t + "/EVIL.exe").c_str());
            WriteFile(t + "/evil.exe");
        };
        sink.rows.clear();
        Scan(t, budget);
        EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", t + "/evil.exe")));
    }
}

TEST_F(PosixWalkTest, AFolderStampChangesWithItsEntriesOrIsNotSettledAndListsAgainWhole) {
    const std::string t = dir / "t";
    std::unique_ptr<ports::Directory> folder = tree.OpenFolder(t);
    ASSERT_TRUE(folder);
    const ports::FolderStamp before = folder->OpenedStamp();
    WriteFile(t + "/new");
    const std::optional<ports::FolderStamp> after = folder->CurrentStamp();
    ASSERT_TRUE(after);
    EXPECT_TRUE(!before.settled || !after->SameTimes(before));

    // Listing again starts from the top: every entry twice, none lost.
    ports::DirectoryListing listing;
    EXPECT_TRUE(folder->List(listing));
    const std::size_t once = listing.Size();
    EXPECT_TRUE(folder->List(listing));
    EXPECT_EQ(listing.Size(), 2 * once);
    EXPECT_EQ(listing.Name(once), listing.Name(0));
}

TEST_F(PosixWalkTest, KnowingTheMountPointsChangesNothingTheWalkFinds) {
    const std::string t = dir / "t";
    ::mkdir((t + "/a").c_str(), 0755);
    ::mkdir((t + "/a/b").c_str(), 0755);
    WriteFile(t + "/a/b/evil.exe");
    ASSERT_EQ(::symlink("a", (t + "/link").c_str()), 0);
    ASSERT_EQ(::symlink("loop", (t + "/loop").c_str()), 0);
    ASSERT_EQ(::mkfifo((t + "/pipe").c_str(), 0644), 0);
    Scan(t);
    const auto lookedUp = sink.lookedUp;
    const auto rows = sink.rows;
    sink.lookedUp.clear();
    sink.rows.clear();

    PosixFileStore store;
    ProcMountTable mounts(store);
    scan::WalkOptions options;
    options.mountPoints = scan::MountPointsOf(mounts.Mounts());
    ASSERT_TRUE(options.mountPoints);
    Walk(t, options);
    EXPECT_EQ(sink.lookedUp, lookedUp);
    EXPECT_EQ(sink.rows, rows);
    EXPECT_EQ(rows.size(), 3u);  // evil.exe, the link named loop, the pipe
}

}  // namespace
}  // namespace quellstone::platform
