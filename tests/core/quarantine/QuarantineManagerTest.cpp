#include <gtest/gtest.h>

#include "core/quarantine/QuarantineManager.h"
#include "core/windows/AlertModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"

namespace quellstone::quarantine {
namespace {

using namespace quellstone::testing;

const std::string kArchive = "/data/Orvanta/Quellstone/Archiwum";

class QuarantineManagerTest : public ::testing::Test {
protected:
    QuarantineManagerTest()
        : files(storeFiles),
          signatures(storeFiles, "/prog"),
          manager(files, storeFiles, signatures, dialogs, {"/prog", "/data", "/usr", "/opt/"}) {
        storeFiles.Put("/prog/bdts.dll", "[Scanfiles]\nEVIL.EXE=Trojan.Evil\nAADE=Odd.Name\n");
        files.folders.insert(kArchive);
        files.folders.insert("/home/u");
    }
    FakeFileStore storeFiles;
    FakeFileOperations files;
    FakeDialogs dialogs;
    scan::SignatureDatabase signatures;
    QuarantineManager manager;
};

TEST_F(QuarantineManagerTest, ListsArchivesWithDetectionAndSize) {
    files.files[kArchive + "/Evil.exe.arc"] = std::string(100, 'x');
    files.files[kArchive + "/notes.txt"] = "not an archive";
    files.files[kArchive + "/x.ARC"] = "1";
    files.files[kArchive + "/a.arcade.arc"] = "12";
    files.files[kArchive + "/Evil (2).exe.arc"] = "123";
    manager.Rebuild();
    ASSERT_EQ(manager.Rows().size(), 4u);
    EXPECT_EQ(manager.Rows()[0].name, "a.arcade.arc");
    EXPECT_EQ(manager.Rows()[0].detection, "Odd.Name");  // looked up as "aade"
    EXPECT_EQ(manager.Rows()[1].name, "Evil (2).exe.arc");
    EXPECT_EQ(manager.Rows()[1].detection, "Trojan.Evil");  // the name it was numbered from
    EXPECT_EQ(manager.Rows()[2].name, "Evil.exe.arc");
    EXPECT_EQ(manager.Rows()[2].size, "100");
    EXPECT_EQ(manager.Rows()[3].name, "x.ARC");
    EXPECT_EQ(manager.Rows()[3].detection, "");  // ".arc" is removed only in lower case

    files.folders.clear();
    files.files.clear();
    manager.Rebuild();
    EXPECT_TRUE(manager.Rows().empty());
}

TEST_F(QuarantineManagerTest, ListsNamesInNaturalOrderAndCountsOnlyArchives) {
    // Each case: names as the folder lists them, then as the list shows them.
    const std::vector<std::vector<std::string>> cases[] = {
        {{"x (10).arc", "x (2).arc", "x.arc"}, {"x (2).arc", "x (10).arc", "x.arc"}},
        {{"b.arc", "A.arc", "a.arc"}, {"A.arc", "a.arc", "b.arc"}},  // case aside, then by bytes
        {{"v10.1.arc", "v9.12.arc", "v9.2.arc"}, {"v9.2.arc", "v9.12.arc", "v10.1.arc"}},
        {{"f007.arc", "f7.arc", "f08.arc"}, {"f7.arc", "f007.arc", "f08.arc"}},
        {{"f1c.arc", "f01b.arc"}, {"f01b.arc", "f1c.arc"}},  // zeros count only on a tie
        {{"99999999999999999999999.arc", "100000000000000000000000.arc"},
         {"99999999999999999999999.arc", "100000000000000000000000.arc"}},  // beyond 64 bits
        {{"\xc3\xa9.arc", "z.arc", "1.arc"}, {"1.arc", "z.arc", "\xc3\xa9.arc"}},
    };
    for (const auto& names : cases) {
        files.files.clear();
        for (const std::string& name : names[0]) files.files[kArchive + "/" + name] = "x";
        files.files[kArchive + "/x.arc.info"] = "a record";
        manager.Rebuild();
        std::vector<std::string> listed;
        for (const QuarantineRow& row : manager.Rows()) listed.push_back(row.name);
        EXPECT_EQ(listed, names[1]);
        EXPECT_EQ(manager.CountArchives(), names[1].size());
    }
}

TEST_F(QuarantineManagerTest, DeletesAndRestores) {
    files.files[kArchive + "/a.exe.arc"] = "payload";
    files.files[kArchive + "/b.exe.arc"] = "other";
    files.files["/home/u/a.exe"] = "something else";
    manager.Rebuild();
    EXPECT_FALSE(manager.Delete(std::nullopt));
    EXPECT_FALSE(manager.Restore(std::nullopt, "title", "Restore"));

    EXPECT_FALSE(manager.Restore(0, "title", "Restore"));  // cancelled
    EXPECT_EQ(manager.Rows().size(), 2u);
    dialogs.saveAnswer = "/home/u/a.exe";
    EXPECT_EQ(manager.Restore(0, "title", "Restore")->outcome, RestoreOutcome::Restored);
    EXPECT_EQ(dialogs.saveButton, "Restore");
    EXPECT_EQ(files.files["/home/u/a.exe"], "payload");  // replaced
    EXPECT_FALSE(files.files.contains(kArchive + "/a.exe.arc"));
    ASSERT_EQ(manager.Rows().size(), 1u);

    files.undeletable.insert(kArchive + "/b.exe.arc");
    EXPECT_FALSE(manager.Delete(0));
    EXPECT_EQ(manager.Rows().size(), 1u);
    files.undeletable.clear();
    EXPECT_TRUE(manager.Delete(0));
    EXPECT_TRUE(manager.Rows().empty());
}

TEST_F(QuarantineManagerTest, RestoreTakesTheArchiveChosenBeforeTheDialogEvenIfTheListChanges) {
    files.files[kArchive + "/b.exe.arc"] = "payload";
    manager.Rebuild();
    dialogs.saveAnswer = "/home/u/b.exe";
    dialogs.whileAsking = [&] {
        files.files[kArchive + "/a.exe.arc"] = "other";  // sorts before it
        manager.Rebuild();
    };
    EXPECT_EQ(manager.Restore(0, "title", "Restore")->path, "/home/u/b.exe");
    EXPECT_EQ(files.files["/home/u/b.exe"], "payload");
    ASSERT_EQ(manager.Rows().size(), 1u);
    EXPECT_EQ(manager.Rows()[0].name, "a.exe.arc");
}

TEST_F(QuarantineManagerTest, RestoringIntoAFolderUsesTheOriginalName) {
    files.files[kArchive + "/a (2).exe.arc"] = "payload";
    files.others["/home/u"] = ports::EntryKind::Folder;
    EXPECT_EQ(manager.RestoreTo("a (2).exe.arc", "/home/u"), RestoreOutcome::Restored);
    EXPECT_EQ(files.files["/home/u/a.exe"], "payload");
    EXPECT_EQ(manager.RestoreTo("../escape.arc", "/home/u"), RestoreOutcome::NoArchive);
    EXPECT_FALSE(IsPlainFileName(".."));
    EXPECT_FALSE(IsPlainFileName("a/b.arc"));
    EXPECT_TRUE(IsPlainFileName("a b.exe.arc"));
}

TEST_F(QuarantineManagerTest, RecordsGiveTheDetectionNameAndPlaceOfAnArchive) {
    files.files[kArchive + "/setup (2).exe.arc"] = "payload";
    files.files[kArchive + "/setup (2).exe.arc.info"] =
        SerializeRecord({"/home/u/Downloads/setup (2).exe", "TROJAN.RETIRED", "2026-12-08 20:15:03", "/home/u"});
    files.files[kArchive + "/Evil.exe.arc"] = "known";
    files.files[kArchive + "/Evil.exe.arc.info"] = SerializeRecord({"/tmp/Evil.exe", "OLD.NAME", "x", "/"});
    manager.Rebuild();
    ASSERT_EQ(manager.Rows().size(), 2u);                   // records are not archives
    EXPECT_EQ(manager.Rows()[0].detection, "Trojan.Evil");  // what the database says now comes first
    EXPECT_EQ(manager.Rows()[1].detection, "TROJAN.RETIRED");
    EXPECT_EQ(manager.Rows()[1].originalPath, "/home/u/Downloads/setup (2).exe");
    EXPECT_EQ(manager.Rows()[1].removedAt, "2026-12-08 20:15:03");

    // The save dialog starts at the original place, under the original name.
    dialogs.saveAnswer = std::nullopt;
    EXPECT_FALSE(manager.Restore(1, "title", "Restore"));
    EXPECT_EQ(dialogs.saveSuggested, "/home/u/Downloads/setup (2).exe");
    // Into a folder: the recorded name, "(2)" included.
    EXPECT_EQ(manager.RestoreTo("setup (2).exe.arc", "/home/u"), RestoreOutcome::Restored);
    EXPECT_EQ(files.files["/home/u/setup (2).exe"], "payload");
    EXPECT_FALSE(files.files.contains(kArchive + "/setup (2).exe.arc.info"));
    // To the original path, never over a file that is there now.
    files.files["/tmp/Evil.exe"] = "a new file";
    EXPECT_EQ(manager.RestoreTo("Evil.exe.arc", std::nullopt), RestoreOutcome::TargetTaken);
    EXPECT_EQ(files.files["/tmp/Evil.exe"], "a new file");
    // Without a record and without a target there is nowhere to go.
    files.files.erase(kArchive + "/Evil.exe.arc.info");
    EXPECT_EQ(manager.RestoreTo("Evil.exe.arc", std::nullopt), RestoreOutcome::NoOriginalPath);
}

TEST(AlertModel, SlidesInStopsHoldsAndSlidesOut) {
    windows::AlertModel alert("title", "message", 12000, 9000, 2775, 1500);
    EXPECT_EQ(alert.Left(), 12000 - 2775);
    EXPECT_EQ(alert.Top(), 9000);
    EXPECT_TRUE(alert.SlideInTimer().enabled);
    int steps = 0;
    for (int top = 8970; alert.SlideInTimer().enabled; top -= 30) {
        alert.SlideInTick();
        ++steps;
        EXPECT_EQ(alert.Top(), top);
    }
    EXPECT_EQ(steps, 51);
    EXPECT_EQ(alert.Top(), 7470);
    EXPECT_TRUE(alert.HoldTimer().enabled);
    EXPECT_EQ(alert.HoldTimer().intervalMs, 5000);
    alert.HoldTick();
    EXPECT_TRUE(alert.SlideOutTimer().enabled);
    steps = 0;
    while (!alert.Closed()) {
        alert.SlideOutTick();
        ASSERT_LE(++steps, 51);
    }
    EXPECT_EQ(steps, 51);
    EXPECT_EQ(alert.Top(), 9000);
}

}  // namespace
}  // namespace quellstone::quarantine
