// The scan window's close questions, its progress, its stop and its removal
// pass as the user sees them; texts read "T<number>".
#include <gtest/gtest.h>

#include "core/app/Context.h"
#include "core/quarantine/Remover.h"
#include "core/windows/ScanWindowModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
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
    EXPECT_EQ(window.Caption(S::Title), "T316");
    EXPECT_EQ(window.Caption(S::Operation), "T316");
    EXPECT_EQ(window.Caption(S::CurrentFile), "T317 /home/user/b.exe");
    EXPECT_NE(window.ReportText().find("T316\nT317 /home/user/b.exe\n"), std::string::npos);

    // A scan that ran to its end says nothing of the kind.
    ScanWindowModel whole(context.languageText, context.scan, dialogs, folders);
    whole.Load();
    whole.BeginScan();
    whole.Finish();
    EXPECT_FALSE(whole.Stopped());
    EXPECT_EQ(whole.Caption(S::Title), "T177");
    EXPECT_EQ(whole.ReportText().find("T317"), std::string::npos);
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

TEST_F(ScanWindowModelTest, RemovalAsksFirstAndAccountsForEveryFile) {
    Detect("/a/one.exe");
    window.AddDetection("TROJAN.X", "/a/one.exe");  // found twice: one file
    Detect("/a/locked.exe");
    files.undeletable.insert("/a/locked.exe");
    files.others["/a/folder.exe"] = ports::EntryKind::Folder;
    window.AddDetection("TROJAN.X", "/a/folder.exe");
    window.AddDetection("TROJAN.X", "/a/gone.exe");
    EndWalk();
    EXPECT_EQ(window.StatusText(window.Rows()[0]), "T307");

    // Quarantine off: the files go for good. "No", the default, keeps them all.
    store.Write("Settings", "Quarintine", "0");
    dialogs.answer = ports::MessageAnswer::No;
    window.RemoveClicked(remover, counters);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T303 4");
    EXPECT_EQ(dialogs.shown[0].buttons, ports::MessageButtons::YesNo);
    EXPECT_EQ(dialogs.shown[0].defaultAnswer, ports::MessageAnswer::No);
    EXPECT_TRUE(files.files.contains("/a/one.exe"));
    EXPECT_TRUE(window.RemoveEnabled());
    EXPECT_TRUE(window.ResultMark().empty());

    dialogs.answer = ports::MessageAnswer::Yes;
    window.RemoveClicked(remover, counters);
    EXPECT_FALSE(files.files.contains("/a/one.exe"));
    ASSERT_EQ(dialogs.shown.size(), 3u);
    // The file gone since the scan is on a line of its own: neither removed nor a failure.
    EXPECT_EQ(dialogs.shown[2].text, "T304\rT276 1\rT288: 1\rT277 2\r    T310: 1\r    T311: 1");
    const auto status = [&](std::size_t row) { return window.StatusText(window.Rows()[row]); };
    EXPECT_EQ(status(0), "T308");
    EXPECT_EQ(status(1), "T308");
    EXPECT_EQ(status(2), "T319 T311");
    EXPECT_EQ(status(3), "T319 T310");
    EXPECT_EQ(status(4), "T288");
    EXPECT_NE(window.ReportText().find("  /a/locked.exe  (T311)\n"), std::string::npos);
}

TEST_F(ScanWindowModelTest, WithQuarantineTheQuestionAndTheRowsSayCopiesAreKept) {
    Detect("/a/one.exe");
    Detect("/a/two.exe");
    EndWalk();
    store.Write("Settings", "Quarintine", "1");
    files.copyFailure = ports::CopyResult::Failed;
    dialogs.answer = ports::MessageAnswer::Yes;
    window.RemoveClicked(remover, counters);
    EXPECT_EQ(dialogs.shown[0].text, "T302 2");
    EXPECT_EQ(window.StatusText(window.Rows()[0]), "T319 T312");  // no copy, no delete
    EXPECT_TRUE(files.files.contains("/a/one.exe"));

    files.copyFailure.reset();
    ScanWindowModel again(context.languageText, context.scan, dialogs, folders);
    again.Load();
    again.AddDetection("TROJAN.X", "/a/one.exe");
    again.Finish();
    again.RemoveClicked(remover, counters);
    EXPECT_EQ(again.StatusText(again.Rows()[0]), "T309");
    EXPECT_EQ(dialogs.shown.back().text, "T304\rT276 1\rT305 1");
}

TEST_F(ScanWindowModelTest, TheReportWritesNumbersAndDatesAsTheLanguageDoes) {
    now += 400ms;
    EndWalk();
    context.languageText.SetLanguage("English");
    EXPECT_NE(window.ReportText().find("T268 0.4 s\n"), std::string::npos);
    context.languageText.SetLanguage("Deutsch");
    const std::string german = window.ReportText();
    EXPECT_NE(german.find("T268 0,4 s\n"), std::string::npos);
    // Day, month and year with points: "T266 31.12.2019 ..." in some time zone.
    const std::size_t started = german.find("T266 ");
    ASSERT_NE(started, std::string::npos);
    EXPECT_EQ(german.substr(started + 5 + 2, 1), ".");
    EXPECT_EQ(german.substr(started + 5 + 5, 1), ".");
    context.languageText.SetLanguage("Polish");
    EXPECT_NE(window.ReportText().find("T268 0,4 s\n"), std::string::npos);
}

}  // namespace
}  // namespace quellstone::windows
