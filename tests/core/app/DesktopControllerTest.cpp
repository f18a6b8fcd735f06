#include <gtest/gtest.h>

#include <functional>

#include "platform/OfflineHttpClient.h"
#include "support/FakeDesktopServices.h"

namespace quellstone::app {
namespace {

using namespace quellstone::testing;

// The controller over fakes, with the front end's part recorded as a list of
// what it was asked to do.
class DesktopControllerTest : public ::testing::Test, public FakeDesktopServices {
protected:
    DesktopControllerTest() : controller(ControllerServices(http), Views()) {}
    DesktopController::Views Views() {
        DesktopController::Views views;
        const auto note = [this](const char* what) { return [this, what] { asked.emplace_back(what); }; };
        views.refreshMainWindow = note("refresh main");
        views.closeSplash = note("close splash");
        views.silentUpdateOpened = note("silent update");
        views.dropScanWindow = note("drop scan window");
        views.scanWindowOpened = note("scan window");
        views.scanEnded = note("scan ended");
        views.dropUpdateWindow = note("drop update window");
        views.updateWindowOpened = note("update window");
        views.raiseUpdateWindow = note("raise update window");
        views.endProgram = note("end");
        views.showAlert = [this](const std::string& title, const std::string& message) {
            asked.push_back("alert " + title + " / " + message);
        };
        return views;
    }

    platform::OfflineHttpClient http;
    std::vector<std::string> asked;
    DesktopController controller;
};

TEST_F(DesktopControllerTest, TheMainWindowStartsItsTimerWhichLoadsTheSilentCheckOnce) {
    windows::MainWindowModel& main = controller.OpenMainWindow();
    EXPECT_TRUE(main.StartupTimer().enabled);
    main.StartupTick();
    EXPECT_EQ(asked, (std::vector<std::string>{"silent update", "close splash"}));
    EXPECT_NE(controller.SilentModel(), nullptr);
    EXPECT_EQ(controller.SilentUpdateLoads(), 1);
    EXPECT_FALSE(main.StartupTimer().enabled);
}

// A database that cannot be used is never reported as loaded, and no scan starts with it.
TEST_F(DesktopControllerTest, AScanDoesNotStartWithoutAUsableDatabase) {
    using C = windows::MainControl;
    context.languageText.Set(375, "cannot start: %1");
    const std::function<void()> spoil[] = {[this] { files.files.erase("/prog/bdts.dll"); },        // T372 missing
                                           [this] { files.unreadable.insert("/prog/bdts.dll"); },  // T373
                                           [this] { files.Put("/prog/bdts.dll", "[Other]\n"); }};  // T374
    for (int problem = 0; problem < 3; ++problem) {
        SCOPED_TRACE(problem);
        files.unreadable.clear();
        files.Put("/prog/bdts.dll", "[Scanfiles]\nEVIL.EXE=Trojan.Evil\n");
        windows::MainWindowModel& main = controller.OpenMainWindow();
        EXPECT_EQ(main.Caption(C::DatabaseLoaded), "T216");
        spoil[problem]();
        dialogs.shown.clear();
        controller.StartScan();
        EXPECT_EQ(controller.ScanModel(), nullptr);
        EXPECT_EQ(store.Read(settings::keys::kTotalScans), "0");
        const std::string said = "T" + std::to_string(372 + problem) + " /prog/bdts.dll";
        EXPECT_FALSE(main.DatabaseUsable());
        EXPECT_EQ(main.Caption(C::DatabaseLoaded), said);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, "cannot start: " + said);
        EXPECT_EQ(controller.OpenMainWindow().Caption(C::DatabaseLoaded), said);  // said from the start too
    }
}

TEST_F(DesktopControllerTest, AScanStartedWhileOneRunsIsIgnored) {
    controller.OpenMainWindow().ModeClicked(
        scan::ScanMode::WholeComputer);  // the whole computer: /opt/, then no drives
    controller.StartScan();
    windows::ScanWindowModel* during = controller.ScanModel();
    controller.StartScan();  // the start button, pressed again while the scan runs
    controller.FinishScan();
    EXPECT_EQ(asked, (std::vector<std::string>{"refresh main", "drop scan window", "scan window", "scan ended"}));
    EXPECT_EQ(controller.ScanModel(), during);  // the walk's window was not pulled from under it
    EXPECT_EQ(store.Read(settings::keys::kTotalScans), "1");
    ASSERT_EQ(controller.ScanModel()->Results().Rows().size(), 1u);

    // Once it has ended, the next scan replaces the window.
    asked.clear();
    controller.StartScan();
    controller.FinishScan();
    EXPECT_EQ(asked, (std::vector<std::string>{"refresh main", "drop scan window", "scan window", "scan ended"}));
    EXPECT_EQ(store.Read(settings::keys::kTotalScans), "2");
}

TEST_F(DesktopControllerTest, OneUpdateWindowAtATime) {
    controller.OpenMainWindow();
    controller.ShowUpdateWindow();
    windows::UpdateWindowModel* first = controller.UpdateModel();
    ASSERT_NE(first, nullptr);
    controller.ShowUpdateWindow();
    EXPECT_EQ(controller.UpdateModel(), first);
    EXPECT_EQ(asked, (std::vector<std::string>{"drop update window", "update window", "raise update window"}));

    first->Close();
    asked.clear();
    controller.ShowUpdateWindow();
    EXPECT_EQ(asked, (std::vector<std::string>{"drop update window", "update window"}));
    EXPECT_FALSE(controller.UpdateModel()->Closed());
}

TEST_F(DesktopControllerTest, QuittingClosesTheChecksAndOpensNothingNew) {
    controller.OpenMainWindow().StartupTick();
    controller.ShowUpdateWindow();
    asked.clear();
    controller.Quit();
    EXPECT_TRUE(controller.Quitting());
    EXPECT_TRUE(controller.UpdateModel()->Closed());
    EXPECT_TRUE(controller.SilentModel()->Closed());
    EXPECT_EQ(asked, (std::vector<std::string>{"end"}));

    controller.StartScan();
    controller.ShowUpdateWindow();
    EXPECT_EQ(asked, (std::vector<std::string>{"end"}));
    EXPECT_EQ(controller.ScanModel(), nullptr);
    EXPECT_EQ(store.Read(settings::keys::kTotalScans), "0");
}

TEST_F(DesktopControllerTest, DetectionsFoundWhileTheUserIsElsewhereRaiseTheAlert) {
    controller.OpenMainWindow().ModeClicked(scan::ScanMode::WholeComputer);
    tree.Root().children.front()->Folder("sub").File("evil.exe");
    controller.StartScan();
    controller.ScanModel()->SetActive(false);  // the user went to another window
    controller.FinishScan();
    ASSERT_EQ(asked.size(), 5u);
    EXPECT_EQ(asked.back(), "alert T318 2 / /opt/");

    // Looking at the window, or nothing found: no alert.
    asked.clear();
    controller.StartScan();
    controller.FinishScan();
    EXPECT_EQ(asked, (std::vector<std::string>{"refresh main", "drop scan window", "scan window", "scan ended"}));
}

TEST_F(DesktopControllerTest, AFirstStartKeepsQuarantineCopiesAndAStoredChoiceIsNeverChanged) {
    EXPECT_EQ(store.Read("Settings", "Quarintine", ""), "");
    windows::MainWindowModel& first = controller.OpenMainWindow();
    EXPECT_EQ(store.Read("Settings", "Quarintine", ""), "1");
    EXPECT_TRUE(first.KeepCopies());
    first.KeepCopiesToggled(false);  // the settings frame's check box
    EXPECT_EQ(store.Read("Settings", "Quarintine", ""), "0");

    // The next start finds the user's choice and leaves it alone.
    windows::MainWindowModel& next = controller.OpenMainWindow();
    EXPECT_EQ(store.Read("Settings", "Quarintine", ""), "0");
    EXPECT_FALSE(next.KeepCopies());
    next.KeepCopiesToggled(true);
    EXPECT_EQ(store.Read("Settings", "Quarintine", ""), "1");
}

TEST_F(DesktopControllerTest, AnUnreadableSettingsFileShowsTheCopiesTheRemovalWillKeep) {
    store.Write("Settings", "Quarintine", "0");
    backend.readable = false;
    const windows::MainWindowModel& main = controller.OpenMainWindow();
    EXPECT_TRUE(remover.QuarantineOn());
    EXPECT_EQ(main.KeepCopies(), remover.QuarantineOn());
}

TEST_F(DesktopControllerTest, DeleteForGoodDeletesTheArchiveAskedAboutWhenTheListChangesMeanwhile) {
    fileOperations.files[quarantine.ArchivePath("b.exe.arc")] = "b";
    fileOperations.files[quarantine.ArchivePath("c.exe.arc")] = "c";
    windows::MainWindowModel& main = controller.OpenMainWindow();
    main.LinkClicked(windows::NavigationLink::Quarantine);
    ASSERT_EQ(main.QuarantineRows().size(), 2u);
    dialogs.answer = ports::MessageAnswer::Yes;
    // While "Delete for good?" is open, a removal adds an archive that sorts first.
    dialogs.whileAsking = [&] {
        fileOperations.files[quarantine.ArchivePath("a.exe.arc")] = "a";
        quarantine.Rebuild();
    };
    main.QuarantineDeleteClicked({0});  // "b.exe.arc"
    EXPECT_FALSE(fileOperations.files.contains(quarantine.ArchivePath("b.exe.arc")));
    EXPECT_TRUE(fileOperations.files.contains(quarantine.ArchivePath("a.exe.arc")));
    EXPECT_TRUE(fileOperations.files.contains(quarantine.ArchivePath("c.exe.arc")));
}

TEST_F(DesktopControllerTest, TheLastSystemScanShowsNeverUntilAWholeComputerScanStartsAndThenItsDate) {
    windows::MainWindowModel& main = controller.OpenMainWindow();
    using windows::MainControl;
    EXPECT_EQ(main.Caption(MainControl::LastScanStatus), "T225");
    EXPECT_EQ(store.Read("Status", "LastSystemScan", ""), "");  // shown, not stored

    main.ModeClicked(scan::ScanMode::QuickScan);
    controller.StartScan();
    controller.FinishScan();
    EXPECT_EQ(main.Caption(MainControl::LastScanStatus), "T225");

    main.ModeClicked(scan::ScanMode::WholeComputer);
    controller.StartScan();
    EXPECT_EQ(main.Caption(MainControl::LastScanStatus), "2026-12-08");  // as it starts
    controller.FinishScan();
}

}  // namespace
}  // namespace quellstone::app
