// Excluded folders on real folders and links, and their list in the real
// settings file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "core/settings/ScanExclusions.h"
#include "platform/RegFileSettingsBackend.h"
#include "support/DiskWalk.h"
#include "support/ListingHookTree.h"

namespace quellstone::platform {
namespace {

using quellstone::testing::ReadAll;
using quellstone::testing::RecordingSink;
using quellstone::testing::WriteFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

// t/real/evil.exe, t/real/inner/evil.exe, t/link -> real, t/.hidden/evil.exe, t/.evil.exe, t/other/evil.exe
class WalkExclusionsTest : public ::testing::Test, public quellstone::testing::DiskWalk {
protected:
    WalkExclusionsTest() : DiskWalk("[Scanfiles]\nEVIL.EXE=Trojan.Evil\n.EVIL.EXE=Trojan.Dotted\nLINK=Link.Named\n") {
        for (const char* folder : {"t", "t/real", "t/real/inner", "t/.hidden", "t/other"})
            ::mkdir((dir / folder).c_str(), 0755);
        for (const char* file :
             {"t/real/evil.exe", "t/real/inner/evil.exe", "t/.hidden/evil.exe", "t/.evil.exe", "t/other/evil.exe"})
            WriteFile(dir / file);
        EXPECT_EQ(::symlink("real", (dir / "t/link").c_str()), 0);
    }

    // The detections of a walk from `start` with `options`.
    std::vector<std::string> Found(const std::string& start, bool hidden, const std::vector<std::string>& excluded) {
        sink = RecordingSink();
        Walk(start, scan::WalkOptions::Make(hidden, excluded, tree));
        std::vector<std::string> paths;
        for (const auto& [detection, found] : sink.rows) paths.push_back(found);
        return paths;
    }

    const std::string t = dir / "t";
};

TEST_F(WalkExclusionsTest, AFolderAndALinkToItAreTheSameExclusion) {
    // The link excluded, the real folder met by its own name: left out by identity.
    EXPECT_THAT(Found(t, false, {t + "/link"}), ElementsAre(t + "/other/evil.exe"));
    // The link itself is the excluded path, so it is not looked up either.
    EXPECT_THAT(sink.lookedUp, ::testing::Not(::testing::Contains(t + "/link")));

    // The real folder excluded: a walk started through the link scans nothing and says so.
    EXPECT_THAT(Found(t + "/link", false, {t + "/real"}), IsEmpty());
    EXPECT_THAT(sink.excludedStarts, ElementsAre(t + "/link"));
    EXPECT_THAT(sink.lookedUp, IsEmpty());
    // ... and so does one started below it through the link.
    EXPECT_THAT(Found(t + "/link/inner", false, {t + "/real/"}), IsEmpty());
    EXPECT_THAT(sink.excludedStarts, ElementsAre(t + "/link/inner"));
    // Beside it, the link is looked up by its own name and never followed.
    EXPECT_THAT(Found(t, false, {t + "/real"}), UnorderedElementsAre(t + "/other/evil.exe", t + "/link"));

    // Through a link to a folder above it, the excluded folder is still met.
    ASSERT_EQ(::symlink(t.c_str(), (dir / "up").c_str()), 0);
    EXPECT_THAT(Found(dir / "up", false, {t + "/real"}),
                UnorderedElementsAre(dir / "up/other/evil.exe", dir / "up/link"));
    // A path that does not exist excludes nothing.
    EXPECT_EQ(Found(t, false, {t + "/gone", dir / "nowhere"}).size(), 4u);
}

TEST_F(WalkExclusionsTest, AnExcludedFolderRenamedAfterTheListingIsStillNotEntered) {
    // Once t is listed, the excluded folder takes the name of one that was to be walked.
    int listings = 0;
    quellstone::testing::ListingHookTree renaming(tree, [&] {
        if (++listings != 1) return;
        ASSERT_EQ(::rename((dir / "t/other").c_str(), (dir / "t/gone").c_str()), 0);
        ASSERT_EQ(::rename((dir / "t/real").c_str(), (dir / "t/other").c_str()), 0);
    });
    const std::vector<scan::StartPoint> start = {{dir / "t", true}};
    scan::Walk(start, scan::WalkOptions::Make(false, {dir / "t/real"}, tree), scan::ReadyIndex(database.IndexInUse()),
               renaming, sink, stop.get_token(), settings);
    ASSERT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(sink.rows[0].second, dir / "t/link");  // the link, by its name
    EXPECT_THAT(sink.unreadable, IsEmpty());         // left out as asked, not reported as unreadable
}

TEST_F(WalkExclusionsTest, TheExclusionListRoundTripsThroughTheSettingsFile) {
    const std::string path = dir / "config/registry.reg";
    const std::vector<std::string> folders = {"/home/u/My Virtual Machines", "/srv/b\xe9z\xff name", "/",
                                              "/opt/za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 \"quoted\" \\back"};
    {
        RegFileSettingsBackend backend(files, path);
        settings::SettingsStore store(backend);
        ASSERT_TRUE(settings::StoreExcludedFolders(store, folders));
        settings::StoreScanHidden(store, true);
    }
    RegFileSettingsBackend backend(files, path);
    settings::SettingsStore store(backend);
    EXPECT_EQ(settings::ExcludedFolders(store), folders);
    EXPECT_TRUE(settings::ScanHiddenOn(store));

    // One folder of plain UTF-8 reads as text in the file, for a person who edits it.
    ASSERT_TRUE(settings::StoreExcludedFolders(store, {"/home/u/My Files"}));
    EXPECT_NE(ReadAll(path).find("\"ExcludedFolders\"=\"/home/u/My Files\"\n"), std::string::npos) << ReadAll(path);
    EXPECT_THAT(settings::ExcludedFolders(store), ElementsAre("/home/u/My Files"));
    ASSERT_TRUE(settings::StoreExcludedFolders(store, {}));
    EXPECT_THAT(settings::ExcludedFolders(store), IsEmpty());
}

}  // namespace
}  // namespace quellstone::platform
