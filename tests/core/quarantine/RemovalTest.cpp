#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/quarantine/QuarantineManager.h"
#include "core/quarantine/QuarantineRecord.h"
#include "core/quarantine/Remover.h"
#include "core/windows/RemovalPass.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"

namespace quellstone::quarantine {
namespace {

using ::testing::ElementsAre;
using namespace quellstone::testing;
using windows::ResultState;

constexpr const char* kArchive = "/data/Orvanta/Quellstone/Archiwum";

// The removal pass over a result list of fake files; texts read "T<number>".
class RemovalTest : public ::testing::Test {
protected:
    RemovalTest()
        : store(backend),
          files(store_files),
          remover(files, store_files, store, {"/prog", "/data", "/usr", "/opt/"}),
          results(texts),
          pass(texts, dialogs, results) {
        FillWithNumbers(texts);
        dialogs.answer = ports::MessageAnswer::Yes;  // "Remove the ticked files?"
        counters.raiseQuarantined = [this] { ++quarantined; };
        counters.showRemovedTotal = [this](std::int64_t total) { shownTotal = total; };
    }
    // A detection of whatever is at `path` now, if anything.
    void Found(const std::string& path) { results.Add("TROJAN.X", path, ports::ReachablePath::FromRoot(path)); }
    void Detect(const std::string& path, std::string content = "MZ payload") {
        files.files[path] = std::move(content);
        Found(path);
    }
    bool Remove() { return pass.Run(remover, counters); }
    std::vector<ResultState> States() const {
        std::vector<ResultState> states;
        for (const auto& row : results.Rows()) states.push_back(row.state);
        return states;
    }
    std::string Status(std::size_t row) const { return results.StatusText(results.Rows()[row]); }
    std::string Total() { return store.Read("Status", "TotalObjectsRemoved", "0"); }

    i18n::LanguageTable texts;
    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore store_files;
    FakeFileOperations files;
    FakeDialogs dialogs;
    Remover remover;
    windows::ScanResults results;
    windows::RemovalPass pass;
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

TEST_F(RemovalTest, APassStartsOnlyWhileATickedRowIsStillDetected) {
    // Nothing found: nothing to remove, and no "removal finished".
    EXPECT_FALSE(pass.Ready());
    EXPECT_FALSE(Remove());
    EXPECT_TRUE(dialogs.shown.empty());

    Detect("/a/one.exe");
    EXPECT_TRUE(pass.Ready());
    results.SetChecked(0, false);
    EXPECT_FALSE(pass.Ready());  // nothing ticked
    EXPECT_FALSE(Remove());
    EXPECT_TRUE(dialogs.shown.empty());
    results.SetChecked(0, true);
    dialogs.whileAsking = [this] { EXPECT_FALSE(pass.Ready()); };  // none starts from under its dialogs
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(pass.Ready());  // everything ticked is handled
    EXPECT_FALSE(Remove());      // so a second press neither asks nor accounts again
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(RemovalTest, AsksFirstThenHandlesEachTickedFileOnceAndAccountsForIt) {
    store.Write("Settings", "Quarintine", "0");  // the files go for good
    Detect("/a/one.exe");
    Found("/a/one.exe");  // found twice: one file
    Detect("/a/locked.exe");
    files.undeletable.insert("/a/locked.exe");
    files.others["/a/folder.exe"] = ports::EntryKind::Folder;
    Found("/a/folder.exe");
    Found("/a/gone.exe");  // deleted by hand since the scan
    Detect("/a/unticked.exe");
    results.SetChecked(5, false);
    EXPECT_EQ(Status(0), "T307");

    // "No", the default, keeps them all.
    dialogs.answer = ports::MessageAnswer::No;
    EXPECT_FALSE(Remove());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T303 4");
    EXPECT_EQ(dialogs.shown[0].buttons, ports::MessageButtons::YesNo);
    EXPECT_EQ(dialogs.shown[0].defaultAnswer, ports::MessageAnswer::No);
    EXPECT_TRUE(files.files.contains("/a/one.exe"));
    EXPECT_TRUE(pass.Ready());
    EXPECT_TRUE(pass.ResultMark().empty());

    dialogs.answer = ports::MessageAnswer::Yes;
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(files.files.contains("/a/one.exe"));
    EXPECT_EQ(pass.ResultMark(), "NAPRAWIONY");
    ASSERT_EQ(dialogs.shown.size(), 3u);
    // The file gone since the scan is on a line of its own: neither removed nor a failure.
    EXPECT_EQ(dialogs.shown[2].text, "T304\rT276 1\rT288: 1\rT277 2\r    T310: 1\r    T311: 1");
    EXPECT_THAT(States(), ElementsAre(ResultState::Removed, ResultState::Removed, ResultState::NotRemoved,
                                      ResultState::NotRemoved, ResultState::Removed, ResultState::Detected));
    EXPECT_EQ(Status(1), "T308");
    EXPECT_EQ(Status(2), "T319 T311");
    EXPECT_EQ(Status(3), "T319 T310");
    EXPECT_EQ(Status(4), "T288");
    EXPECT_EQ(Total(), "1");  // a file already gone was not removed by this pass
    EXPECT_EQ(shownTotal, 1);

    // A second pass handles the row ticked since, and no other.
    results.SetChecked(5, true);
    EXPECT_TRUE(Remove());
    EXPECT_EQ(dialogs.shown[3].text, "T303 1");
    EXPECT_EQ(States()[5], ResultState::Removed);
    EXPECT_EQ(Total(), "2");
}

TEST_F(RemovalTest, WithoutQuarantineFilesAreDeletedAndCounted) {
    for (const char* path : {"/a/one.exe", "/a/two.exe", "/b/three.exe"}) Detect(path);
    store.Write("Settings", "Quarintine", "0");
    Remove();
    EXPECT_THAT(States(), ElementsAre(ResultState::Removed, ResultState::Removed, ResultState::Removed));
    EXPECT_EQ(Total(), "3");
    EXPECT_EQ(shownTotal, 3);
    EXPECT_EQ(quarantined, 0);
    EXPECT_TRUE(files.files.empty());
}

TEST_F(RemovalTest, WithQuarantineEveryFileIsKeptUnderItsOwnName) {
    store.Write("Settings", "Quarintine", "1");
    Detect("/a/Evil.exe", "first");
    Detect("/b/Evil.exe", "second");  // the same name: numbered, not overwritten
    Detect("/c/other.dll", "third");
    Remove();
    EXPECT_EQ(dialogs.shown[0].text, "T302 3");  // the question says copies are kept
    EXPECT_EQ(files.files[std::string(kArchive) + "/Evil.exe.arc"], "first");
    EXPECT_EQ(files.files[std::string(kArchive) + "/Evil (2).exe.arc"], "second");
    EXPECT_EQ(files.files[std::string(kArchive) + "/other.dll.arc"], "third");
    EXPECT_EQ(quarantined, 3);
    EXPECT_EQ(Total(), "3");
    EXPECT_EQ(results.Rows()[1].archive, "Evil (2).exe.arc");
    EXPECT_EQ(Status(1), "T309");
    EXPECT_EQ(dialogs.shown.back().text, "T304\rT276 3\rT305 3");
}

TEST_F(RemovalTest, NoFileIsDeletedWithoutTheBackupItsUserAskedFor) {
    store.Write("Settings", "Quarintine", "1");
    Detect("/a/full-disk.exe");
    files.others["/a/pipe.exe"] = ports::EntryKind::Other;  // a FIFO: not a regular file
    Found("/a/pipe.exe");
    files.links["/a/link.exe"] = "/usr/bin/x";  // a link whose text cannot be kept either
    Found("/a/link.exe");
    files.copyFailure = ports::CopyResult::NoSpace;
    Remove();
    EXPECT_TRUE(files.files.contains("/a/full-disk.exe"));
    EXPECT_TRUE(files.others.contains("/a/pipe.exe"));
    EXPECT_TRUE(files.links.contains("/a/link.exe"));
    EXPECT_THAT(States(), ElementsAre(ResultState::NotRemoved, ResultState::NotRemoved, ResultState::NotRemoved));
    EXPECT_EQ(quarantined, 0);
    EXPECT_EQ(Total(), "0");
    EXPECT_EQ(Status(0), "T319 T327");  // no copy, no delete
    EXPECT_EQ(Status(2), "T319 T327");  // a link's archive needs room too
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
    EXPECT_EQ(States()[0], ResultState::Removed);
}

TEST_F(RemovalTest, APathListedTwiceIsRemovedOnceAndAFailedDeleteLeavesNoArchive) {
    store.Write("Settings", "Quarintine", "1");
    Detect("/opt/app/evil.exe", "payload");
    Found("/opt/app/evil.exe");  // found again by the walk of "/"
    Detect("/opt/app/locked.exe", "locked");
    files.undeletable.insert("/opt/app/locked.exe");
    Remove();
    EXPECT_THAT(States(), ElementsAre(ResultState::Removed, ResultState::Removed, ResultState::NotRemoved));
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
    Found("/a/deleted-by-hand.exe");  // no file any more
    Detect("/a/vanishing.exe", "payload");
    files.vanishBeforeDelete.insert("/a/vanishing.exe");  // copied, then deleted by someone else
    Detect("/opt/app/evil.exe", "evil");
    Found("/opt/app/evil.exe");  // found again by the walk of "/"
    Remove();
    const auto& rows = results.Rows();
    EXPECT_EQ(rows[0].state, ResultState::Removed);  // nothing of the user's is left there
    EXPECT_EQ(Status(0), "T288");
    // The copy made before it vanished is the user's only one: kept, and said so.
    EXPECT_EQ(rows[1].archive, "vanishing.exe.arc");
    EXPECT_EQ(Status(1), "T309");
    // Both rows of the file found twice name its one archive.
    EXPECT_EQ(rows[3].archive, rows[2].archive);
    EXPECT_EQ(Status(3), "T309");
    EXPECT_EQ(Total(), "1");

    // The end message counts the gone files apart, never as not removed.
    const std::string summary = dialogs.shown.back().text;
    EXPECT_NE(summary.find("T276 1"), std::string::npos);
    EXPECT_NE(summary.find("T288: 2"), std::string::npos);
    EXPECT_EQ(summary.find("T277"), std::string::npos);
}

// A detection that is a symbolic link goes as a link, is kept as its text,
// and a restore makes the link again; its target is never touched. A
// relative link restored into another folder still points where it pointed.
struct LinkCase {
    bool keepCopy;
    std::optional<std::string> restoreTo;  // "": the original path
    bool taken;                            // an entry is at the restore target
};
void PrintTo(const LinkCase& c, std::ostream* out) {
    *out << c.keepCopy << c.restoreTo.value_or("-") << c.taken;
}

class LinkRemovalTest : public RemovalTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkRemovalTest, TheLinkGoesAndComesBackAndItsTargetIsLeftAlone) {
    const auto& [keepCopy, restoreTo, taken] = GetParam();
    store.Write("Settings", "Quarintine", keepCopy ? "1" : "0");
    files.files["/usr/bin/x"] = "ELF";
    files.links["/a/evil"] = "../usr/bin/x";
    files.folders.insert({"/a", "/b"});
    Found("/a/evil");
    Remove();
    EXPECT_EQ(Status(0), keepCopy ? "T411 ../usr/bin/x" : "T410 ../usr/bin/x");
    EXPECT_FALSE(files.KindOf("/a/evil"));
    const std::string archive = std::string(kArchive) + "/evil.arc";
    EXPECT_EQ(files.files[archive], keepCopy ? "../usr/bin/x" : "");  // the archive stands for the link
    EXPECT_EQ(ParseRecord(files.files[archive + ".info"]).value_or(QuarantineRecord{}).linkTarget,
              files.files[archive]);
    if (restoreTo) {
        const std::string target = restoreTo->empty() ? "/a/evil" : *restoreTo;
        if (taken) files.files[target] = "put there since";
        scan::SignatureDatabase signatures(store_files, "/prog");
        QuarantineManager manager(files, store_files, signatures, dialogs, {"/prog", "/data", "/usr", "/opt/"});
        const RestoreOutcome outcome = manager.RestoreTo("evil.arc", restoreTo->empty() ? std::nullopt : restoreTo);
        // Never over an entry at the original path; over a chosen file, as a file's restore would.
        const bool back = !taken || !restoreTo->empty();
        EXPECT_EQ(outcome, back ? RestoreOutcome::Restored : RestoreOutcome::TargetTaken);
        EXPECT_EQ(files.KindOf(target), back ? ports::EntryKind::SymbolicLink : ports::EntryKind::RegularFile);
        EXPECT_EQ(back ? files.links[target] : files.files[archive],
                  back && !restoreTo->empty() ? "/usr/bin/x" : "../usr/bin/x");
    }
    EXPECT_EQ(files.files["/usr/bin/x"], "ELF");
}

INSTANTIATE_TEST_SUITE_P(Outcomes, LinkRemovalTest,
                         ::testing::Values(LinkCase{false, {}, false}, LinkCase{true, {}, false},
                                           LinkCase{true, "", false}, LinkCase{true, "", true},
                                           LinkCase{true, "/b/chosen", true}));

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
