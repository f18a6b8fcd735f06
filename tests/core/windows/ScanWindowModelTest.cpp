// The scan window's close questions, its progress, its stop and its remove
// button as the user sees them; texts read "T<number>".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/app/Context.h"
#include "core/quarantine/Remover.h"
#include "core/windows/ScanWindowModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
#include "support/FakeProcessTable.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"

namespace quellstone::windows {
namespace {

using namespace quellstone::testing;
using namespace std::chrono_literals;
using S = ScanControl;

class ScanWindowModelTest : public ::testing::Test {
protected:
    ScanWindowModelTest()
        : store(backend),
          files(folders),
          context(folders, "/prog"),
          remover(files, folders, store, {"/prog", "/data", "/usr", "/opt/"}),
          window(context.languageText, context.scan, dialogs, folders, [this] { return now; }) {
        FillWithNumbers(context.languageText);
        window.Load();
        window.BeginScan();
        context.scan.running = true;  // a walk runs until EndWalk
    }
    void EndWalk() {
        context.scan.running = false;
        window.Finish();
    }
    void Detect(const std::string& path) {
        files.files[path] = "MZ";
        window.AddDetection("TROJAN.X", path);
    }

    std::chrono::system_clock::time_point now{std::chrono::hours(24 * 365 * 50)};
    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore folders;
    FakeFileOperations files;
    FakeDialogs dialogs;
    app::Context context;
    quarantine::Remover remover;
    ScanWindowModel window;
    MainWindowCounters counters{[] {}, [](std::int64_t) {}};
};

TEST_F(ScanWindowModelTest, CloseDuringAWalkOffersStopAndCloseInOneQuestion) {
    Detect("/a/evil.exe");
    EXPECT_FALSE(window.CloseClicked());  // Cancel: nothing changes
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T300");
    EXPECT_EQ(dialogs.shown[0].choices, std::vector<std::string>{"T301"});
    EXPECT_TRUE(window.StopEnabled());
    EXPECT_FALSE(window.StopTimer().enabled);

    dialogs.choice = 0;  // "Stop and close": stopped as the stop button does
    EXPECT_FALSE(window.CloseClicked());
    EXPECT_FALSE(window.StopEnabled());
    EXPECT_TRUE(window.StopTimer().enabled);
    EXPECT_FALSE(window.CloseDue());      // the walk has not ended yet
    EXPECT_FALSE(window.CloseClicked());  // a second close waits without asking again
    EXPECT_TRUE(window.QuitClicked());    // and so does closing the main window: the close is due
    EXPECT_EQ(dialogs.shown.size(), 2u);

    window.StopTick();
    EXPECT_FALSE(window.CloseDue());  // stopped, but its last results are still on their way
    context.scan.running = false;
    window.Finish();
    EXPECT_TRUE(window.CloseDue());
    EXPECT_TRUE(window.CloseClicked());  // the list goes without the list's question
    EXPECT_EQ(dialogs.shown.size(), 2u);
    window.Unload();
    EXPECT_FALSE(window.CloseDue());
}

TEST_F(ScanWindowModelTest, TheElapsedTimeRunsWhileTheWalkDoesAndStays) {
    EXPECT_EQ(window.Caption(S::Elapsed), "0:00");
    EXPECT_TRUE(window.Busy());
    now += 42s;
    window.ElapsedTick();
    EXPECT_EQ(window.Caption(S::Elapsed), "0:42");
    now += 1h + 20min;
    EndWalk();
    EXPECT_EQ(window.Caption(S::Elapsed), "1:20:42");
    EXPECT_FALSE(window.ElapsedTimer().enabled);
    EXPECT_FALSE(window.Busy());
    now += 5s;
    window.ElapsedTick();
    EXPECT_EQ(window.Caption(S::Elapsed), "1:20:42");
}

TEST_F(ScanWindowModelTest, AStoppedScanSaysWhereItStopped) {
    window.LookedUp("/home/user/a.exe");
    window.StopClicked();
    window.StopTick();
    window.LookedUp("/home/user/b.exe");  // the walk's last step before it saw the stop
    window.StopTick();
    EndWalk();
    EXPECT_TRUE(window.Stopped());
    EXPECT_EQ(window.StoppedIn(), "/home/user/b.exe");
    EXPECT_EQ(window.Caption(S::Title), "T407");
    EXPECT_EQ(window.Caption(S::Operation), "T316");
    EXPECT_EQ(window.Caption(S::CurrentFile), "T317 /home/user/b.exe");
    EXPECT_NE(window.Report().Text().find("T317 /home/user/b.exe\n"), std::string::npos);

    // A scan that ran to its end says nothing of the kind.
    ScanWindowModel whole(context.languageText, context.scan, dialogs, folders);
    whole.Load();
    whole.BeginScan();
    whole.Finish();
    EXPECT_FALSE(whole.Stopped());
    EXPECT_EQ(whole.Caption(S::Title), "T406");
}

TEST_F(ScanWindowModelTest, TheAlertIsForDetectionsFoundWhileTheUserWasElsewhere) {
    window.AddScannedFolder("/home");
    Detect("/home/a.exe");
    Detect("/home/b.exe");
    window.SetActive(false);
    EXPECT_FALSE(window.FinishedAlert());  // not before the end
    EndWalk();
    const std::optional<ScanAlert> alert = window.FinishedAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title, "T318 2");  // the language's "%1", or the number after the text
    EXPECT_EQ(alert->message, "/home");
    window.SetActive(true);
    EXPECT_FALSE(window.FinishedAlert());

    ScanWindowModel empty(context.languageText, context.scan, dialogs, folders);
    empty.Load();
    empty.SetActive(false);
    empty.Finish();
    EXPECT_FALSE(empty.FinishedAlert());  // nothing found

    ScanWindowModel stopped(context.languageText, context.scan, dialogs, folders);
    stopped.Load();
    stopped.AddDetection("TROJAN.X", "/x.exe");
    stopped.SetActive(false);
    stopped.StopClicked();
    stopped.StopTick();
    stopped.Finish();
    EXPECT_FALSE(stopped.FinishedAlert());  // the user ended it
}

TEST_F(ScanWindowModelTest, RemovalWaitsForTheWalkKeepsTheRowsInViewAndSettlesTheCloseQuestion) {
    Detect("/a/one.exe");
    Detect("/a/unticked.exe");
    window.Results().SetChecked(1, false);
    EXPECT_FALSE(window.RemoveEnabled());
    window.RemoveClicked(remover, counters);
    EXPECT_TRUE(dialogs.shown.empty());
    EndWalk();
    EXPECT_TRUE(window.RemoveEnabled());

    // What each of the pass's dialogs has behind it: a "No" changes nothing;
    // the account is shown over the rows, which stay in view after it.
    std::vector<int> tabs;
    dialogs.whileAsking = [&] { tabs.push_back(window.CurrentTab()); };
    window.SetCurrentTab(kTabReport);
    dialogs.answer = ports::MessageAnswer::No;
    window.RemoveClicked(remover, counters);
    dialogs.answer = ports::MessageAnswer::Yes;
    window.RemoveClicked(remover, counters);
    EXPECT_THAT(tabs, ::testing::ElementsAre(kTabReport, kTabReport, kTabResults));
    EXPECT_EQ(window.CurrentTab(), kTabResults);
    EXPECT_FALSE(files.files.contains("/a/one.exe"));
    EXPECT_FALSE(window.RemoveEnabled());

    // The unticked row still waits for a decision: closing would lose it, so it asks.
    dialogs.whileAsking = {};
    dialogs.answer = ports::MessageAnswer::No;
    EXPECT_FALSE(window.CloseClicked());
    EXPECT_EQ(dialogs.shown.back().text, "T195");
    // Once every row has its outcome (one that cannot be removed included), nothing is lost.
    window.Results().SetChecked(1, true);
    files.undeletable.insert("/a/unticked.exe");
    dialogs.answer = ports::MessageAnswer::Yes;
    window.RemoveClicked(remover, counters);
    EXPECT_EQ(window.Results().Rows()[1].state, ResultState::NotRemoved);
    const std::size_t asked = dialogs.shown.size();
    EXPECT_TRUE(window.CloseClicked());
    EXPECT_EQ(dialogs.shown.size(), asked);
}

// A process is ended only when the user agrees to a question naming it, and
// then its file goes like any other; a line of a shared file is never edited.
// The counters and the report count each kind.
TEST_F(ScanWindowModelTest, RemovalEndsAProcessOnlyWhenTheUserAgreesAndLeavesSharedFilesAlone) {
    for (const bool agree : {true, false}) {
        SCOPED_TRACE(agree ? "agrees" : "declines");
        FakeProcessTable processes;
        ScanWindowModel scan(context.languageText, context.scan, dialogs, folders, [this] { return now; });
        scan.Load();
        scan.BeginScan();
        files.files["/tmp/x/kinsing"] = "MZ";
        scan.AddProcessDetection("MINER.K", {41, "kinsing", "/tmp/x/kinsing", false, "kinsing", 7});
        scan.AddAutostartDetection("MINER.K", {"/etc/crontab", 3, "/tmp/x/kinsing", false});
        // Named by its own name: the interpreter it runs is no detection and stays.
        files.files["/usr/bin/python3"] = "ELF";
        scan.AddProcessDetection("MINER.K", {42, "kinsing", "/usr/bin/python3", false, "python3", 8}, false);
        scan.IgnoreDetection("ADWARE.A", "/tmp/a");
        EXPECT_EQ(scan.Caption(S::Processes), "2");
        EXPECT_EQ(scan.Caption(S::Registry), "1");
        EXPECT_EQ(scan.Caption(S::Ignored), "1");
        context.scan.running = false;
        scan.Finish();
        const ports::MessageAnswer end = agree ? ports::MessageAnswer::Yes : ports::MessageAnswer::No;
        dialogs.nextAnswers = {ports::MessageAnswer::Yes, end, end};
        dialogs.answer = ports::MessageAnswer::Ok;
        scan.RemoveClicked(remover, counters, &processes);
        const std::vector<ResultRow>& rows = scan.Results().Rows();
        EXPECT_EQ(processes.stops.size(), agree ? 2u : 0u);
        EXPECT_EQ(rows[2].state, agree ? ResultState::Removed : ResultState::NotRemoved);
        EXPECT_EQ(files.files.count("/usr/bin/python3"), 1u);
        EXPECT_EQ(rows[0].state, agree ? ResultState::Removed : ResultState::NotRemoved);
        EXPECT_EQ(files.files.count("/tmp/x/kinsing"), agree ? 0u : 1u);
        EXPECT_EQ(rows[1].problem, quarantine::RemovalProblem::SharedFile);
        const std::string report = scan.Report().Text();
        for (const char* line : {"T181 2\n", "T189 1\n", "T183 1\n"}) EXPECT_NE(report.find(line), std::string::npos);
    }
}

}  // namespace
}  // namespace quellstone::windows
