#include <gtest/gtest.h>

#include "core/app/Context.h"
#include "core/quarantine/QuarantineRecord.h"
#include "core/quarantine/Remover.h"
#include "core/windows/ScanWindowModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"

namespace quellstone::quarantine {
namespace {

using namespace quellstone::testing;
using windows::kImageDetected;
using windows::kImageNotRemoved;
using windows::kImageRemoved;

constexpr const char* kArchive = "/data/Orvanta/Quellstone/Archiwum";

// The removal pass of a scan window over fake files; texts read "T<number>".
class RemovalTest : public ::testing::Test {
protected:
    RemovalTest()
        : store(backend),
          files(store_files),
          context(store_files, "/prog"),
          remover(files, store_files, store, {"/prog", "/data", "/usr", "/opt/"}),
          window(context.languageText, context.scan, dialogs, store_files) {
        FillWithNumbers(context.languageText);
        dialogs.answer = ports::MessageAnswer::Yes;  // "Remove the ticked files?"
        window.Load();
        window.Finish();  // removal follows a finished walk
        counters.raiseQuarantined = [this] { ++quarantined; };
        counters.showRemovedTotal = [this](std::int64_t total) { shownTotal = total; };
    }
    void Detect(const std::string& path, std::string content = "MZ payload") {
        files.files[path] = std::move(content);
        window.AddDetection("TROJAN.X", path);
    }
    void Remove() { window.RemoveClicked(remover, counters); }
    std::string Total() { return store.Read("Status", "TotalObjectsRemoved", "0"); }

    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore store_files;
    FakeFileOperations files;
    FakeDialogs dialogs;
    app::Context context;
    Remover remover;
    windows::ScanWindowModel window;
    windows::MainWindowCounters counters;
    int quarantined = 0;
    std::int64_t shownTotal = -1;
};

TEST(ArchiveNames, NumberTheSecondAndLaterAndReadBack) {
    EXPECT_EQ(ArchiveName("a.exe", 1), "a.exe.arc");
    EXPECT_EQ(ArchiveName("a.exe", 2), "a (2).exe.arc");
    EXPECT_EQ(ArchiveName("setup.tar.gz", 3), "setup (3).tar.gz.arc");
    EXPECT_EQ(ArchiveName("noext", 2), "noext (2).arc");
    EXPECT_EQ(StripArchiveExtension("a.arcade.arc"), "aade");
    EXPECT_EQ(StripArchiveExtension("x.ARC"), "x.ARC");
    EXPECT_EQ(WithoutArchiveNumber("a (2).exe"), "a.exe");
    EXPECT_EQ(WithoutArchiveNumber("noext (12)"), "noext");
    EXPECT_EQ(WithoutArchiveNumber("a (x).exe"), std::nullopt);
    EXPECT_EQ(WithoutArchiveNumber("a (2)b.exe"), std::nullopt);
    EXPECT_EQ(WithoutArchiveNumber("a.exe"), std::nullopt);
}

TEST_F(RemovalTest, TheButtonIsOnOnlyWhileATickedRowIsStillDetected) {
    // Nothing found: nothing to remove, and no "removal finished".
    EXPECT_FALSE(window.RemoveEnabled());
    Remove();
    EXPECT_TRUE(window.Visible());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(window.ResultMark().empty());

    Detect("/a/one.exe");
    EXPECT_TRUE(window.RemoveEnabled());
    window.SetRowChecked(0, false);
    EXPECT_FALSE(window.RemoveEnabled());  // nothing ticked
    Remove();
    EXPECT_TRUE(dialogs.shown.empty());
    window.SetRowChecked(0, true);
    Remove();
    EXPECT_EQ(window.Rows()[0].image, kImageRemoved);
    EXPECT_FALSE(window.RemoveEnabled());  // everything ticked is handled
    Remove();                              // a second press does nothing, and the window stays
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(dialogs.shown.size(), 2u);  // the question and the account
    EXPECT_EQ(Total(), "1");

    // Not before the walk has finished.
    windows::ScanWindowModel walking(context.languageText, context.scan, dialogs, store_files);
    walking.Load();
    walking.AddDetection("TROJAN.X", "/a/two.exe");
    EXPECT_FALSE(walking.RemoveEnabled());
}

TEST_F(RemovalTest, WithoutQuarantineFilesAreDeletedAndCounted) {
    for (const char* path : {"/a/one.exe", "/a/two.exe", "/b/three.exe"}) Detect(path);
    store.Write("Settings", "Quarintine", "0");
    Remove();
    for (const auto& row : window.Rows()) EXPECT_EQ(row.image, kImageRemoved);
    EXPECT_EQ(Total(), "3");
    EXPECT_EQ(shownTotal, 3);
    EXPECT_EQ(quarantined, 0);
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(window.ResultMark(), "NAPRAWIONY");
    EXPECT_EQ(window.CurrentTab(), windows::kTabReport);
    EXPECT_NE(window.ReportText().find("T276\n  /a/one.exe\n"), std::string::npos);
}

TEST_F(RemovalTest, WithQuarantineEveryFileIsKeptUnderItsOwnName) {
    store.Write("Settings", "Quarintine", "1");
    Detect("/a/Evil.exe", "first");
    Detect("/b/Evil.exe", "second");  // the same name: numbered, not overwritten
    Detect("/c/other.dll", "third");
    Remove();
    EXPECT_EQ(files.files[std::string(kArchive) + "/Evil.exe.arc"], "first");
    EXPECT_EQ(files.files[std::string(kArchive) + "/Evil (2).exe.arc"], "second");
    EXPECT_EQ(files.files[std::string(kArchive) + "/other.dll.arc"], "third");
    EXPECT_EQ(quarantined, 3);
    EXPECT_EQ(Total(), "3");
    EXPECT_EQ(window.Rows()[1].archive, "Evil (2).exe.arc");
}

TEST_F(RemovalTest, NoFileIsDeletedWithoutTheBackupItsUserAskedFor) {
    store.Write("Settings", "Quarintine", "1");
    Detect("/a/full-disk.exe");
    files.others["/a/pipe.exe"] = ports::EntryKind::Other;  // a FIFO: not a regular file
    window.AddDetection("TROJAN.X", "/a/pipe.exe");
    files.others["/a/link.exe"] = ports::EntryKind::SymbolicLink;
    window.AddDetection("TROJAN.X", "/a/link.exe");
    files.copyFailure = ports::CopyResult::NoSpace;
    Remove();
    EXPECT_TRUE(files.files.contains("/a/full-disk.exe"));
    EXPECT_TRUE(files.others.contains("/a/pipe.exe"));
    EXPECT_TRUE(files.others.contains("/a/link.exe"));
    for (const auto& row : window.Rows()) EXPECT_EQ(row.image, kImageNotRemoved);
    EXPECT_EQ(quarantined, 0);
    EXPECT_EQ(Total(), "0");
    EXPECT_EQ(window.StatusText(window.Rows()[2]), "T319 T325");  // the link says it is one
    // A copy that fails takes back the record written for it, and a record
    // that cannot be written first means no copy.
    EXPECT_EQ(files.ListFiles(kArchive), std::vector<std::string>());
    files.copyFailure.reset();
    store_files.unwritable.insert(std::string(kArchive) + "/full-disk.exe.arc.info");
    EXPECT_EQ(remover.Remove("/a/full-disk.exe").problem, RemovalProblem::CopyFailed);
    EXPECT_TRUE(files.files.contains("/a/full-disk.exe"));
    EXPECT_EQ(files.ListFiles(kArchive), std::vector<std::string>());
}

TEST_F(RemovalTest, ASettingsFileThatCannotBeReadMeansKeepACopy) {
    backend.readable = false;  // the switch might be on: the file is archived before it goes
    Detect("/a/evil.exe", "payload");
    Remove();
    EXPECT_EQ(files.files[std::string(kArchive) + "/evil.exe.arc"], "payload");
    EXPECT_EQ(window.Rows()[0].image, kImageRemoved);
}

TEST_F(RemovalTest, FailedDeletesGoneFilesAndUntickedRows) {
    Detect("/a/locked.exe");
    files.undeletable.insert("/a/locked.exe");
    window.AddDetection("TROJAN.X", "/a/deleted-by-hand.exe");  // no file any more
    Detect("/a/unticked.exe");
    files.others["/a/folder.exe"] = ports::EntryKind::Folder;
    window.AddDetection("TROJAN.X", "/a/folder.exe");
    window.SetRowChecked(2, false);
    Remove();
    EXPECT_EQ(window.Rows()[0].image, kImageNotRemoved);
    EXPECT_EQ(window.Rows()[1].image, kImageRemoved);
    EXPECT_EQ(window.Rows()[2].image, kImageDetected);
    EXPECT_EQ(window.Rows()[3].image, kImageNotRemoved);
    EXPECT_EQ(Total(), "0");  // a file already gone was not removed by this pass

    // A second pass handles the row ticked since; the window stays.
    window.SetRowChecked(2, true);
    Remove();
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.Rows()[2].image, kImageRemoved);
    EXPECT_EQ(window.Rows()[0].image, kImageNotRemoved);  // never processed again
    EXPECT_EQ(Total(), "1");
    EXPECT_EQ(dialogs.shown.size(), 4u);
}

TEST_F(RemovalTest, APathListedTwiceIsRemovedOnceAndAFailedDeleteLeavesNoArchive) {
    store.Write("Settings", "Quarintine", "1");
    Detect("/opt/app/evil.exe", "payload");
    window.AddDetection("TROJAN.X", "/opt/app/evil.exe");  // found again by the walk of "/"
    Detect("/opt/app/locked.exe", "locked");
    files.undeletable.insert("/opt/app/locked.exe");
    Remove();
    EXPECT_EQ(window.Rows()[0].image, kImageRemoved);
    EXPECT_EQ(window.Rows()[1].image, kImageRemoved);
    EXPECT_EQ(window.Rows()[2].image, kImageNotRemoved);
    EXPECT_EQ(Total(), "1");
    EXPECT_EQ(quarantined, 1);
    // The copy of the file that stayed was taken out again, record and all.
    EXPECT_FALSE(files.files.contains(std::string(kArchive) + "/locked.exe.arc"));
    EXPECT_FALSE(files.files.contains(std::string(kArchive) + "/locked.exe.arc.info"));
    const auto record = ParseRecord(files.files[std::string(kArchive) + "/evil.exe.arc.info"]);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->originalPath, "/opt/app/evil.exe");
    EXPECT_EQ(record->detection, "TROJAN.X");

    // A retry after the file was unlocked archives it under its plain name, not "(2)".
    files.undeletable.clear();
    EXPECT_EQ(remover.Remove("/opt/app/locked.exe").archive, "locked.exe.arc");
}

TEST_F(RemovalTest, AFileGoneSinceTheScanIsNeitherRemovedNorAFailureAndKeepsItsCopy) {
    store.Write("Settings", "Quarintine", "1");
    window.AddDetection("TROJAN.X", "/a/deleted-by-hand.exe");  // no file any more
    Detect("/a/vanishing.exe", "payload");
    files.vanishBeforeDelete.insert("/a/vanishing.exe");  // copied, then deleted by someone else
    Detect("/opt/app/evil.exe", "evil");
    window.AddDetection("TROJAN.X", "/opt/app/evil.exe");  // found again by the walk of "/"
    Remove();
    const auto& rows = window.Rows();
    EXPECT_EQ(rows[0].image, kImageRemoved);  // nothing of the user's is left there
    EXPECT_EQ(window.StatusText(rows[0]), "T288");
    // The copy made before it vanished is the user's only one: kept, and said so.
    EXPECT_EQ(rows[1].archive, "vanishing.exe.arc");
    EXPECT_EQ(window.StatusText(rows[1]), "T309");
    // Both rows of the file found twice name its one archive.
    EXPECT_EQ(rows[3].archive, rows[2].archive);
    EXPECT_EQ(window.StatusText(rows[3]), "T309");
    EXPECT_EQ(Total(), "1");

    // The end message counts the gone files apart, never as not removed.
    const std::string summary = dialogs.shown.back().text;
    EXPECT_NE(summary.find("T276 1"), std::string::npos);
    EXPECT_NE(summary.find("T288: 2"), std::string::npos);
    EXPECT_EQ(summary.find("T277"), std::string::npos);
    // The report lists them under their own heading, the copy with them.
    const std::string report = window.ReportText();
    const std::size_t removed = report.find("T276\n");
    const std::size_t gone = report.find("T288:\n");
    ASSERT_NE(removed, std::string::npos);
    ASSERT_NE(gone, std::string::npos);
    ASSERT_LT(removed, gone);
    const std::string removedList = report.substr(removed, gone - removed);
    EXPECT_EQ(removedList.find("deleted-by-hand"), std::string::npos);
    EXPECT_EQ(removedList.find("vanishing"), std::string::npos);
    EXPECT_GT(report.rfind("deleted-by-hand"), gone);
    EXPECT_GT(report.rfind("vanishing.exe.arc"), gone);
    EXPECT_EQ(report.find("T277"), std::string::npos);
}

TEST(ArchiveNames, AFreeNumberIsFoundWithoutCountingFromOne) {
    FakeFileStore programFiles;
    FakeFileOperations files(programFiles);
    MemorySettingsBackend backend;
    settings::SettingsStore store(backend);
    store.Write("Settings", "Quarintine", "1");
    Remover remover(files, programFiles, store, {"/prog", "/data", "/usr", "/opt/"});
    const std::string folder = kArchive;
    files.folders.insert(folder);
    for (int number = 1; number <= 4000; ++number) files.files[folder + "/" + ArchiveName("a.exe", number)] = "x";
    files.files["/d/a.exe"] = "the 4001st";
    EXPECT_EQ(remover.Remove("/d/a.exe").archive, "a (4001).exe.arc");
    // A gap left by a restore is filled or passed over; never an archive replaced.
    files.files.erase(folder + "/" + ArchiveName("a.exe", 3000));
    files.files["/d/a.exe"] = "the next";
    const auto archive = remover.Remove("/d/a.exe").archive;
    ASSERT_TRUE(archive);
    EXPECT_EQ(files.files[folder + "/" + *archive], "the next");
    EXPECT_EQ(files.files[folder + "/" + ArchiveName("a.exe", 4001)], "the 4001st");
}

TEST(QuarantineRecords, KeepEveryByteOfThePath) {
    const std::string path = std::string("/home/u/odd\\name\n\xff\x01 \xc3\xa9t\xc3\xa9 (2).exe", 33);
    const QuarantineRecord record{path, "TROJAN.X", "2026-12-08 20:15:03", "/home/u"};
    const std::string text = SerializeRecord(record);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);  // one line per value
    const auto read = ParseRecord(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->originalPath, path);
    EXPECT_EQ(read->detection, "TROJAN.X");
    EXPECT_EQ(read->removedAt, "2026-12-08 20:15:03");
    EXPECT_EQ(read->OriginalLocation().startFolder, "/home/u");
    EXPECT_EQ(read->OriginalLocation().below, path.substr(8));
    // A restore goes to this path: relative ones and NUL bytes are refused.
    EXPECT_FALSE(ParseRecord("Path=relative/x.exe\n"));
    EXPECT_FALSE(ParseRecord("Path=/tmp/x\\x00/etc/passwd\n"));
    EXPECT_FALSE(ParseRecord("[Quarantine]\nDetection=X\n"));
    EXPECT_EQ(UnescapeRecordValue("a\\x4g\\"), "a\\x4g\\");  // broken escapes stand for themselves
}

}  // namespace
}  // namespace quellstone::quarantine
