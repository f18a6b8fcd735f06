#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/app/ScanLauncher.h"
#include "core/settings/ScanExclusions.h"
#include "core/settings/SettingKeys.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/FakeMountTable.h"
#include "support/FixedCalendar.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"
#include "support/RecordingSink.h"

namespace quellstone::app {
namespace {

using ::testing::ElementsAre;
using namespace quellstone::testing;
using S = windows::ScanControl;
using scan::ScanMode;
using windows::ScanWindowModel;

// Mounts of a disk file system at `points`.
std::vector<ports::MountedFileSystem> Disks(const std::vector<std::string>& points) {
    std::vector<ports::MountedFileSystem> mounts;
    for (const std::string& point : points) mounts.push_back({point, "ext4"});
    return mounts;
}

// The launcher and the scan window over fakes; texts read "T<number>".
class ScanLauncherTest : public ::testing::Test {
protected:
    ScanLauncherTest()
        : store(backend),
          context(files, "/prog"),
          paths{"/prog", "/data", "/usr/", "/opt/"},
          launcher(context, paths, ScanLauncher::Ports{store, calendar, drives, tree}),
          window(context.languageText, context.scan, dialogs, files, [this] { return now; }) {
        FillWithNumbers(context.languageText);
        context.languageText.Set(198, "T249");  // the end watch compares the two texts: make them equal
        files.Put("/prog/bdts.dll", "[Scanfiles]\nEVIL.EXE=Trojan.Evil\nBAD=Backdoor.Bad\n");
        // The walk alone opens folders, so that a test can tell which.
        store.Write(settings::keys::kListingThreads, "1");
        auto& home = tree.Root().Folder("home");
        home.File("evil.exe");
        home.Folder("sub").File("bad");
        home.File("clean.txt");
        tree.Root().Folder("usr").File("Evil.EXE");
        tree.Root().Folder("opt");
        window.Load();
    }
    void Scan(ScanMode mode, const std::string& folder = "") {
        launcher.CountScan(mode);
        Run(mode, folder, window);
    }
    // Runs the scan into `into` and hands it every result.
    void Run(ScanMode mode, const std::string& folder, ScanWindowModel& into) {
        launcher.Start(mode, folder, into, scan::ReadyIndex(context.signatures.IndexInUse()));
        EXPECT_TRUE(context.scan.running);
        launcher.WaitUntilEnded();
        EXPECT_TRUE(launcher.Deliver());
        EXPECT_FALSE(context.scan.running);
    }

    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeDialogs dialogs;
    FakeMountTable drives;
    FixedCalendar calendar;
    app::Context context;
    settings::ProgramPaths paths;
    ScanLauncher launcher;
    std::chrono::system_clock::time_point now{};
    ScanWindowModel window;
};

TEST_F(ScanLauncherTest, PlansEachModesFoldersInOrder) {
    // Which mounts the whole computer walks, by type: (type, walked, left out and named).
    const struct {
        const char* type;
        bool walked;
        bool leftOut;
    } kinds[] = {{"ext4", true, false},         {"btrfs", true, false},    {"vfat", true, false},
                 {"tmpfs", true, false},        {"ramfs", true, false},    {"overlay", true, false},
                 {"fuseblk", true, false},      {"squashfs", true, false}, {"proc", false, false},
                 {"sysfs", false, false},       {"cgroup2", false, false}, {"devpts", false, false},
                 {"devtmpfs", false, false},    {"mqueue", false, false},  {"autofs", false, false},
                 {"binfmt_misc", false, false}, {"nsfs", false, false},    {"nfs", false, true},
                 {"nfs4", false, true},         {"cifs", false, true},     {"smb3", false, true},
                 {"fuse.sshfs", false, true},   {"vboxsf", false, true}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.type);
        const std::vector<ports::MountedFileSystem> mounts = {{"/", "ext4"}, {"/mnt/x", kind.type}};
        for (const bool network : {false, true}) {
            const scan::ScanPlan plan = scan::PlanScan(ScanMode::WholeComputer, "/ignored", paths, mounts, network);
            const bool walked = kind.walked || (kind.leftOut && network);
            ASSERT_EQ(plan.targets.size(), walked ? 3u : 2u);
            EXPECT_EQ(plan.leftOut.size(), kind.leftOut && !network ? 1u : 0u);
            if (walked) {
                EXPECT_EQ(plan.targets[2].folder, "/mnt/x");
            }
        }
    }
    const scan::ScanPlan whole = scan::PlanScan(ScanMode::WholeComputer, "", paths,
                                                {{"/", "ext4"}, {"/mnt/a b", "xfs"}, {"/media/usb/", "vfat"}}, false);
    ASSERT_EQ(whole.targets.size(), 4u);
    // Without a mount table the root is walked, and the plan says that it is all.
    const scan::ScanPlan unknown = scan::PlanScan(ScanMode::WholeComputer, "", paths, {}, false);
    EXPECT_TRUE(unknown.mountsUnknown && !whole.mountsUnknown);
    EXPECT_EQ(unknown.targets.back().folder, "/");
    EXPECT_EQ(whole.targets[0].folder, "/opt/");
    EXPECT_EQ(whole.targets[0].text, i18n::TextId::ScanningWholeComputer);
    EXPECT_EQ(whole.targets[1].textSuffix, " /");
    EXPECT_EQ(whole.targets[2].textSuffix, " /mnt/a b/");  // the mount point as it is, not upper-cased
    EXPECT_EQ(whole.targets[3].folder, "/media/usb/");
    EXPECT_EQ(whole.targets[3].text, i18n::TextId::ScanningDrive);
    const auto chosen = scan::PlanScan(ScanMode::ChosenFolder, "/home/u", paths, {}, false).targets;
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].textSuffix, ":/home/u");
    // The quick scan: the system folder, then where malware drops or anchors itself.
    std::vector<std::string> quick;
    paths.homeFolder = "/home/u";
    for (const scan::ScanTarget& target : scan::PlanScan(ScanMode::QuickScan, "", paths, {}, false).targets)
        quick.push_back(target.folder);
    EXPECT_THAT(quick,
                ElementsAre("/usr", "/tmp", "/var/tmp", "/dev/shm", "/etc", "/home/u/.config", "/home/u/.local/bin"));
}

TEST_F(ScanLauncherTest, CountsEveryScanAndDatesOnlyTheWholeComputer) {
    Scan(ScanMode::ChosenFolder, "/home");
    Scan(ScanMode::QuickScan);
    EXPECT_EQ(store.Read("Status", "TotalScans", "0"), "2");
    EXPECT_EQ(store.Read("Status", "LastSystemScan", "Nigdy"), "Nigdy");
    Scan(ScanMode::WholeComputer);
    EXPECT_EQ(store.Read("Status", "TotalScans", "0"), "3");
    EXPECT_EQ(store.Read("Status", "LastSystemScan", "Nigdy"), "2026-12-08");
}

TEST_F(ScanLauncherTest, WalksTheWholeComputerDriveByDrive) {
    drives.mounts = Disks({"/usr", "/home"});
    Scan(ScanMode::WholeComputer);
    EXPECT_THAT(tree.opened, ElementsAre("/opt", "/usr", "/home", "/home/sub"));
    EXPECT_EQ(window.Results().Rows().size(), 3u);
    EXPECT_EQ(window.Caption(S::Operation), "T249");
}

TEST_F(ScanLauncherTest, AFolderThatCannotBeReadIsNamedNotReportedClean) {
    tree.Root().children[0]->Folder("locked").opens = false;  // in /home
    Scan(ScanMode::ChosenFolder, "/srv/missing");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T279\r/srv/missing");
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Warning);
    std::string report = window.Report().Text();
    EXPECT_NE(report.find("T280\n  /srv/missing\n"), std::string::npos);
    EXPECT_EQ(report.find("T272"), std::string::npos);  // not "nothing was found"

    // Inside a tree, a folder that cannot be read is counted, without a message.
    ScanWindowModel second(context.languageText, context.scan, dialogs, files, [this] { return now; });
    second.Load();
    Run(ScanMode::ChosenFolder, "/home", second);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(second.Report().Text().find("T281 1\n"), std::string::npos);
}

TEST_F(ScanLauncherTest, FillsTheWindowAndFinishesIt) {
    launcher.CountScan(ScanMode::ChosenFolder);
    now += std::chrono::seconds(5);
    Run(ScanMode::ChosenFolder, "/home/", window);
    const auto& rows = window.Results().Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].detection, "BACKDOOR.BAD");  // the walker's order: the subfolder first
    EXPECT_EQ(rows[1].path, "/home/evil.exe");
    EXPECT_TRUE(rows[0].checked && rows[1].checked);
    EXPECT_EQ(rows[1].state, windows::ResultState::Detected);
    EXPECT_EQ(window.Caption(S::Scanned), "4");
    EXPECT_EQ(window.Caption(S::Dangerous), "2");
    for (const S fixed : {S::Processes, S::Registry, S::Ignored}) EXPECT_EQ(window.Caption(fixed), "0");
    EXPECT_EQ(window.Caption(S::CurrentFile), "T249");
    EXPECT_FALSE(window.StopEnabled());
    EXPECT_TRUE(window.RemoveEnabled());
    EXPECT_FALSE(window.WaitNoticeVisible());
    EXPECT_FALSE(window.NoticeHideTimer().enabled || window.NoticeShowTimer().enabled);

    const std::string report = window.Report().Text();
    EXPECT_NE(report.find("T269\n  /home/\n"), std::string::npos);
    EXPECT_NE(report.find("T270 4\n"), std::string::npos);
    EXPECT_NE(report.find("  TROJAN.EVIL  /home/evil.exe\n"), std::string::npos);
}

// A stop, wherever it comes, ends the whole scan: no later drive is started.
TEST_F(ScanLauncherTest, AStopStartsNoLaterDrive) {
    auto& mounts = tree.Root().Folder("mnt");
    mounts.Folder("a");
    mounts.Folder("b");
    drives.mounts = Disks({"/home", "/mnt/a", "/mnt/b", "/usr"});
    const struct {
        const char* stopAt;  // the folder being listed when the stop comes
        std::vector<std::string> opened;
    } cases[] = {{"/home", {"/opt", "/home"}}, {"/mnt/a", {"/opt", "/home", "/home/sub", "/mnt/a"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAt);
        tree.opened.clear();
        tree.onList = [&](const std::string& path) {
            if (path == c.stopAt) context.scan.stop.request_stop();
        };
        ScanWindowModel stopped(context.languageText, context.scan, dialogs, files, [this] { return now; });
        stopped.Load();
        Run(ScanMode::WholeComputer, "", stopped);
        EXPECT_EQ(tree.opened, c.opened);
        EXPECT_EQ(stopped.Report().Text().find("/usr"), std::string::npos);
    }
}

TEST_F(ScanLauncherTest, ALoadedScanWindowShowsItsTextsAndStartsItsTimers) {
    ScanWindowModel fresh(context.languageText, context.scan, dialogs, files, [this] { return now; });
    fresh.Load();
    EXPECT_TRUE(fresh.Visible());
    EXPECT_EQ(fresh.Caption(S::Title), "T177");
    EXPECT_EQ(fresh.Caption(S::Operation), "T185");
    EXPECT_EQ(fresh.Caption(S::WaitNotice), "T187");
    EXPECT_EQ(fresh.Caption(S::CurrentFile), "T188");
    EXPECT_EQ(fresh.Caption(S::ColumnDetection), "T244");
    EXPECT_EQ(fresh.Caption(S::SaveReport), "T273");
    for (const S counter : {S::Processes, S::Registry, S::Scanned, S::Dangerous, S::Ignored}) {
        EXPECT_EQ(fresh.Caption(counter), "0");
    }
    // The notice blinks 400 ms off and 500 ms on; the end watch and the stop
    // request are checked every 10 ms. Only the blink and the end watch start.
    EXPECT_EQ(fresh.NoticeHideTimer().intervalMs, 400);
    EXPECT_EQ(fresh.NoticeShowTimer().intervalMs, 500);
    EXPECT_EQ(fresh.EndWatchTimer().intervalMs, 10);
    EXPECT_EQ(fresh.StopTimer().intervalMs, 10);
    EXPECT_TRUE(fresh.NoticeHideTimer().enabled);
    EXPECT_FALSE(fresh.NoticeShowTimer().enabled);
    EXPECT_TRUE(fresh.EndWatchTimer().enabled);
    EXPECT_FALSE(fresh.StopTimer().enabled);
    EXPECT_TRUE(fresh.StopEnabled() && !fresh.RemoveEnabled() && fresh.WaitNoticeVisible());
    EXPECT_TRUE(fresh.ElapsedTimer().enabled);
    EXPECT_EQ(fresh.Caption(S::Elapsed), "0:00");
}

TEST_F(ScanLauncherTest, TheWindowBlinksStopsAndAsksBeforeClosing) {
    window.NoticeHideTick();
    EXPECT_FALSE(window.WaitNoticeVisible());
    EXPECT_TRUE(window.NoticeShowTimer().enabled && !window.NoticeHideTimer().enabled);
    window.NoticeShowTick();
    EXPECT_TRUE(window.WaitNoticeVisible());
    window.SetCaption(S::CurrentFile, "T249");
    window.EndWatchTick();
    EXPECT_FALSE(window.NoticeHideTimer().enabled || window.NoticeShowTimer().enabled);

    context.scan.running = true;
    window.StopClicked();
    EXPECT_FALSE(window.StopEnabled());  // at once
    EXPECT_TRUE(window.StopTimer().enabled);
    EXPECT_FALSE(window.CloseClicked());  // empty list, scan running: "Stop and close?", cancelled
    EXPECT_EQ(dialogs.shown.back().text, "T300");
    EXPECT_EQ(dialogs.shown.back().choices, std::vector<std::string>{"T301"});
    window.StopTick();
    EXPECT_TRUE(context.scan.stop.stop_requested());
    context.scan.running = false;        // the scan has ended
    EXPECT_TRUE(window.CloseClicked());  // empty list, no scan: closes without asking

    window.AddDetection("TROJAN.X", "/a");
    dialogs.answer = ports::MessageAnswer::No;
    EXPECT_FALSE(window.CloseClicked());
    EXPECT_EQ(dialogs.shown.back().text, "T195");
    EXPECT_EQ(dialogs.shown.back().icon, ports::MessageIcon::Information);
    EXPECT_EQ(dialogs.shown.back().buttons, ports::MessageButtons::YesNo);
    EXPECT_EQ(dialogs.shown.back().defaultAnswer, ports::MessageAnswer::No);  // Enter keeps the list
    EXPECT_EQ(window.Results().Rows().size(), 1u);
    dialogs.answer = ports::MessageAnswer::Yes;
    context.scan.running = true;
    const std::size_t asked = dialogs.shown.size();
    EXPECT_FALSE(window.CloseClicked());  // one question during a walk, whatever the list holds
    EXPECT_EQ(dialogs.shown.size(), asked + 1);
    EXPECT_EQ(dialogs.shown.back().text, "T300");
    context.scan.running = false;
    EXPECT_TRUE(window.CloseClicked());
    window.Unload();
    EXPECT_TRUE(window.Results().Rows().empty());
    EXPECT_FALSE(window.Visible());
}

// The scan choices stored from the window reach the walk of every mode, read
// afresh as each scan starts.
TEST_F(ScanLauncherTest, StoredHiddenChoiceAndExclusionsReachEveryModesWalk) {
    const auto scanInFreshWindow = [this](ScanMode mode, const std::string& folder = "") {
        auto fresh = std::make_unique<ScanWindowModel>(context.languageText, context.scan, dialogs, files,
                                                       [this] { return now; });
        fresh->Load();
        Run(mode, folder, *fresh);
        return fresh;
    };
    const auto found = [](const ScanWindowModel& scanned) {
        std::vector<std::string> rows;
        for (const auto& row : scanned.Results().Rows()) rows.push_back(row.path);
        return rows;
    };
    tree.Root().children[0]->Folder(".cache").File("evil.exe");  // /home/.cache
    settings::StoreExcludedFolders(store, {"/home/sub"});
    // Hidden entries are scanned unless the user turned them off.
    EXPECT_THAT(found(*scanInFreshWindow(ScanMode::ChosenFolder, "/home")),
                ElementsAre("/home/.cache/evil.exe", "/home/evil.exe"));
    settings::StoreScanHidden(store, false);
    EXPECT_THAT(found(*scanInFreshWindow(ScanMode::ChosenFolder, "/home")), ElementsAre("/home/evil.exe"));

    // The quick scan's system folder excluded: nothing is looked up, and the window says why.
    settings::StoreExcludedFolders(store, {"/usr", "/home"});
    const auto quick = scanInFreshWindow(ScanMode::QuickScan);
    EXPECT_EQ(quick->Caption(S::Scanned), "0");
    EXPECT_EQ(quick->Caption(S::CurrentFile), "T335 /usr");
    EXPECT_EQ(quick->Caption(S::Operation), "T249");
    const std::string report = quick->Report().Text();
    // Listed once, as excluded: never also as a folder scanned.
    EXPECT_NE(report.find("T269\nT335\n  /usr\n"), std::string::npos) << report;
    EXPECT_NE(report.find("T335\n  /usr\n"), std::string::npos) << report;
    // The report says which choices left what out: hidden entries, and the folders as stored.
    EXPECT_NE(report.find("T413\nT414\n  /usr\n  /home\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("T272"), std::string::npos) << "nothing was looked up, so nothing is said to be clean";

    // A whole-computer scan leaves the excluded drive out and scans the rest.
    // A network file system is left out and named.
    drives.mounts = Disks({"/usr/", "/home", "/opt"});
    drives.mounts.push_back({"/net/share", "nfs4"});
    settings::StoreExcludedFolders(store, {"/home", "/opt"});
    const auto whole = scanInFreshWindow(ScanMode::WholeComputer);
    EXPECT_NE(whole->Report().Text().find("T370\n  /net/share (nfs4)\n"), std::string::npos) << whole->Report().Text();
    EXPECT_THAT(found(*whole), ElementsAre("/usr/Evil.EXE"));
    EXPECT_EQ(whole->Caption(S::CurrentFile), "T249");
    EXPECT_NE(whole->Report().Text().find("T335\n  /opt\n  /home\n  /opt\n"), std::string::npos)
        << whole->Report().Text();
    EXPECT_NE(whole->Report().Text().find("T269\n  /usr/\nT335\n"), std::string::npos) << whole->Report().Text();

    // The status line shows an excluded start folder as the report does, its odd bytes escaped.
    tree.Root().children[0]->Folder("b\xe9z\x1b");
    settings::StoreExcludedFolders(store, {"/home"});
    EXPECT_EQ(scanInFreshWindow(ScanMode::ChosenFolder, "/home/b\xe9z\x1b")->Caption(S::CurrentFile),
              "T335 /home/b\\xe9z\\x1b");
    EXPECT_TRUE(dialogs.shown.empty());  // an excluded folder is no unreadable one
}

}  // namespace
}  // namespace quellstone::app
