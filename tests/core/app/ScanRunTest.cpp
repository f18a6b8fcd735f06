#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/app/ScanRun.h"
#include "core/scan/SignatureDatabase.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/FakeMountTable.h"
#include "support/FakeProcessTable.h"
#include "support/FixedCalendar.h"
#include "support/MemorySettingsBackend.h"
#include "support/RecordingSink.h"

namespace quellstone::app {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using namespace quellstone::testing;
using scan::ScanMode;

// One scan run over fakes: /home and /usr hold detections, /opt is missing.
class ScanRunTest : public ::testing::Test {
protected:
    ScanRunTest() : store(backend), signatures(files, "/prog"), run({tree, drives, store, calendar}, paths) {
        files.Put("/prog/bdts.dll", "[Scanfiles]\nEVIL.EXE=Trojan.Evil\n");
        auto& home = tree.Root().Folder("home");
        home.File("evil.exe");
        home.Folder("u").File("evil.exe");
        // Mounted: a file system of its own.
        tree.Root()
            .AddListed("usr", ports::EntryKind::Folder, ports::EntryStatus{ports::EntryKind::Folder, 2, 0755})
            .File("evil.exe");
        tree.Root().Folder("tmp");
        request.listingThreads = 1;
    }
    ScanOutcome Run(scan::IndexSupply index = {}) {
        return run.Run(request, index.valid() ? index : scan::ReadyIndex(signatures.IndexInUse()), sink,
                       stop.get_token());
    }

    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore files;
    scan::SignatureDatabase signatures;
    FakeDirectoryTree tree;
    FakeMountTable drives;
    FixedCalendar calendar;
    settings::ProgramPaths paths{"/prog", "/data", "/usr/", "/opt/"};
    ScanRun run;
    ScanRequest request;
    RecordingSink sink;
    std::stop_source stop;
};

// What each kind of request walks and reports, and when the scan counts.
TEST_F(ScanRunTest, WalksWhatTheRequestNamesAndSaysWhatItCouldNot) {
    request.paths = {"/home/evil.exe", "/nothing", "/home/u"};
    ScanOutcome outcome = Run();
    EXPECT_THAT(sink.run, ElementsAre("missing /nothing", "counted 1", "folder /home/evil.exe", "folder /home/u"));
    EXPECT_THAT(sink.rows, ElementsAre(Pair("TROJAN.EVIL", "/home/evil.exe"), Pair("TROJAN.EVIL", "/home/u/evil.exe")));
    EXPECT_EQ(outcome.pathsNotReached, 1u);
    EXPECT_TRUE(outcome.counted && !outcome.partial);

    // Not one PATH there: nothing is walked, nothing counted.
    sink.run.clear();
    request.paths = {"/nothing", "/none"};
    outcome = Run();
    EXPECT_THAT(sink.run, ElementsAre("missing /nothing", "missing /none"));
    EXPECT_FALSE(outcome.counted);

    // A database that does not load: nothing is looked up or counted.
    sink = RecordingSink();
    request.paths = {"/home"};
    outcome = Run(scan::ReadyIndex(std::make_shared<const scan::SignatureIndex>(scan::SignatureIndex::Unreadable())));
    EXPECT_TRUE(outcome.walk.noIndex);
    EXPECT_FALSE(outcome.counted);
    EXPECT_TRUE(sink.lookedUp.empty());
    EXPECT_EQ(store.Read("Status", "TotalScans", "0"), "1");

    // A scan counted by its caller is not counted again.
    request.count = false;
    EXPECT_FALSE(Run().counted);
    EXPECT_EQ(store.Read("Status", "TotalScans", "0"), "1");
}

TEST_F(ScanRunTest, TheWholeComputerWalksEachFileSystemThatHoldsFilesInOrder) {
    request.mode = ScanMode::WholeComputer;
    request.excluded = {"/tmp"};
    drives.mounts = {{"/", "ext4"}, {"/proc", "proc"}, {"/tmp", "tmpfs"}, {"/net", "nfs4"}, {"/usr", "xfs"}};
    ScanOutcome outcome = Run();
    // /opt/ is not there: passed over without a word.
    EXPECT_THAT(sink.run, ElementsAre("left out /net (nfs4)", "counted 1", "folder /", "folder /tmp", "excluded /tmp",
                                      "folder /usr"));
    EXPECT_EQ(outcome.walk.detections, 3u);  // /usr is another file system: walked once, as its own
    EXPECT_EQ(store.Read("Status", "LastSystemScan", "Nigdy"), "2026-12-08");

    // Without a mount table only the root is walked, and the run says so.
    sink.run.clear();
    drives.mounts.clear();
    outcome = Run();
    EXPECT_THAT(sink.run, ElementsAre("mounts unknown", "counted 2", "folder /"));
    EXPECT_TRUE(outcome.partial);
}

// A walk keeps to its start folder's file system; what is mounted inside is
// named unless another folder of the scan walks it, it holds no files, or it
// is the same file system mounted again.
TEST_F(ScanRunTest, NamesTheFileSystemsMountedInsideThatNoWalkEnters) {
    drives.mounts = {{"/", "ext4"}, {"/proc", "proc"}, {"/tmp", "tmpfs"}, {"/usr", "xfs"}, {"/home/u/nfs", "nfs4"}};
    request.paths = {"/"};
    Run();
    EXPECT_THAT(sink.run,
                ElementsAre("not entered /usr (xfs)", "not entered /home/u/nfs (nfs4)", "counted 1", "folder /"));
    // A mount the walk of a nearer folder enters is not named, whichever folder comes first.
    sink.run.clear();
    drives.mounts.push_back({"/home/u", "ext4"});  // the same file system as /home, mounted again
    request.paths = {"/usr", "/", "/home"};
    Run();
    EXPECT_THAT(sink.run,
                ElementsAre("not entered /home/u/nfs (nfs4)", "counted 2", "folder /usr", "folder /", "folder /home"));
}

// After the walks: every process by the file it runs, its name and its
// first argument, and every program that starts by itself, against names
// and paths; what the boxes leave out is counted, not reported.
TEST_F(ScanRunTest, LooksUpRunningProcessesAndWhatStartsByItself) {
    files.Put("/prog/bdts.dll",
              "[Scanfiles]\nEVIL.EXE=Trojan.Evil\nKDEVTMPFSI=Miner.K\nTOOL=HackTool.T\n"
              "[Scanpaths]\n/tmp/**/x=Miner.Path\n");
    FakeProcessTable processes;
    processes.list = {{{1, "systemd", "/usr/lib/systemd/systemd", false, "/sbin/init", 1},
                       {50, "kworker", "/tmp/.x/kdevtmpfsi", true, "kworker", 9},  // by its deleted file
                       {60, "bash", "/usr/bin/bash", false, "/tmp/a/x", 10},       // by the path of argv[0]
                       {70, "tool", "", false, "", 11}},                           // by its name, left out
                      3};
    auto& etc = tree.Root().Folder("etc");
    etc.File("crontab");
    etc.Folder("cron.d").File("job");
    files.Put("/etc/crontab", "@reboot root evil.exe --quiet\n");
    files.Put("/etc/cron.d/job", "# every minute\n* * * * * root /tmp/q/x\n");
    ScanRun withSystem({tree, drives, store, calendar, &processes, &files}, paths);
    request.paths = {"/home/u"};
    request.processes = request.autostart = true;
    request.reported.lessDangerous = false;
    const ScanOutcome outcome =
        withSystem.Run(request, scan::ReadyIndex(signatures.IndexInUse()), sink, stop.get_token());
    EXPECT_THAT(sink.rows,
                ElementsAre(Pair("TROJAN.EVIL", "/home/u/evil.exe"), Pair("MINER.K", "process 50"),
                            Pair("MINER.PATH", "process 60"), Pair("TROJAN.EVIL", "autostart /etc/crontab:1"),
                            Pair("MINER.PATH", "autostart /etc/cron.d/job:2")));
    EXPECT_THAT(sink.ignored, ElementsAre(Pair("HACKTOOL.T", "tool")));
    EXPECT_EQ(outcome.systemDetections, 4u);
    EXPECT_EQ(sink.run.back(), "checked 4 processes (3 not read), 2 autostart entries (0 not read)");
    EXPECT_FALSE(outcome.partial);
    // Without the list of processes, the run is partial: never "nothing found".
    processes.list = {{}, 0, false};
    EXPECT_TRUE(withSystem.Run(request, scan::ReadyIndex(signatures.IndexInUse()), sink, stop.get_token()).partial);
}

}  // namespace
}  // namespace quellstone::app
