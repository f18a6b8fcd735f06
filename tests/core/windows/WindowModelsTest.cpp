#include <gtest/gtest.h>

#include "core/app/Context.h"
#include "core/windows/MainWindowFixture.h"
#include "core/windows/SplashModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"

namespace quellstone::windows {
namespace {

using namespace quellstone::testing;
using C = MainControl;

class FakeLock final : public ports::InstanceLock {
public:
    bool heldElsewhere = false;
    bool TryAcquire() override { return !heldElsewhere; }
};

TEST_F(MainWindowModelTest, FirstStartShowsDefaultsAndLoadsEverything) {
    MainWindowModel& m = Model();
    EXPECT_EQ(m.Caption(C::LastScanStatus), "T225");  // the language's "never"; nothing stored
    EXPECT_EQ(store.Read("Status", "LastSystemScan", ""), "");
    EXPECT_EQ(m.Caption(C::TotalStatus), "0");
    EXPECT_EQ(m.Caption(C::RemovedStatus), "0");
    EXPECT_EQ(m.Caption(C::VersionLine), "T119 1.05");
    EXPECT_EQ(m.Caption(C::DatabaseVersion), "T485 T348 T486");  // the fake store holds no database
    EXPECT_EQ(m.Caption(C::AdMonitorStatus), "T224");
    EXPECT_EQ(m.Caption(C::MenuAbout), "T214");
    EXPECT_EQ(m.Caption(C::LinkClose), "T201");
    EXPECT_EQ(m.Caption(C::QuarantineColumnSize), "T243");
    EXPECT_EQ(m.ScanFolder(), "/usr");
    EXPECT_EQ(m.CurrentFrame(), Frame::Information);
    EXPECT_EQ(VisibleFrames(), 1);
    EXPECT_TRUE(m.FrameVisible(Frame::Information));
    EXPECT_EQ(context.signatures.DefaultPath(), "/prog/bdts.dll");
    EXPECT_TRUE(files.folders.contains("/home/u/.local/share/Orvanta/Quellstone/Archiwum"));
    EXPECT_EQ(m.LanguageItems(), (std::vector<std::string>{"English", "Polish", "Deutsch"}));
    EXPECT_EQ(m.LanguageChoice(), "");
}

TEST_F(MainWindowModelTest, ShowsTheStoredStatisticsAsStored) {
    store.Write("Status", "LastSystemScan", "08.12.2026");
    store.Write("Status", "Totalscans", "41");
    store.Write("Settings", "curLang", "Polish");
    MainWindowModel& m = Model();
    EXPECT_EQ(m.Caption(C::LastScanStatus), "08.12.2026");
    EXPECT_EQ(m.Caption(C::TotalStatus), "41");
    EXPECT_EQ(m.LanguageChoice(), "Polish");
}

TEST_F(MainWindowModelTest, SwitchesFramesAndRebuildsTheQuarantineListOnlyOnEntry) {
    MainWindowModel& m = Model();
    m.LinkClicked(NavigationLink::Information);  // already shown: nothing
    EXPECT_EQ(m.CurrentFrame(), Frame::Information);
    m.LinkClicked(NavigationLink::Quarantine);
    EXPECT_EQ(rebuilds, 1);
    m.MenuChosen(MenuItem::Quarantine);  // shown already: no rebuild
    m.FileListLinkClicked();
    EXPECT_EQ(rebuilds, 1);
    m.LinkClicked(NavigationLink::Scan);
    m.FileListLinkClicked();
    EXPECT_EQ(rebuilds, 2);
    m.MenuChosen(MenuItem::Settings);
    EXPECT_EQ(m.CurrentFrame(), Frame::Settings);
    m.MenuChosen(MenuItem::Quarantine);
    EXPECT_EQ(rebuilds, 3);
    EXPECT_EQ(m.CurrentFrame(), Frame::Quarantine);
    EXPECT_EQ(VisibleFrames(), 1);
    EXPECT_TRUE(m.FrameVisible(Frame::Quarantine));
}

TEST_F(MainWindowModelTest, HoverMovesWithThePointerAndTheSurfaceClearsIt) {
    MainWindowModel& m = Model();
    m.HoverLink(NavigationLink::Information);
    EXPECT_TRUE(m.HighlightVisible(NavigationLink::Information));
    EXPECT_TRUE(m.Underlined(NavigationLink::Information));
    m.HoverLink(NavigationLink::Close);
    EXPECT_FALSE(m.HighlightVisible(NavigationLink::Information));
    EXPECT_TRUE(m.Underlined(NavigationLink::Close));
    m.HoverSurface();
    for (int i = 0; i < kNavigationLinkCount; ++i) {
        EXPECT_FALSE(m.HighlightVisible(static_cast<NavigationLink>(i)));
        EXPECT_FALSE(m.Underlined(static_cast<NavigationLink>(i)));
    }
}

TEST_F(MainWindowModelTest, HandlesClicksMenusAndTheStartupTimer) {
    MainWindowModel& m = Model();
    EXPECT_EQ(m.LinkClicked(NavigationLink::Close), MainWindowModel::Action::Quit);
    EXPECT_EQ(m.MenuChosen(MenuItem::Close), MainWindowModel::Action::Quit);
    EXPECT_EQ(m.MenuChosen(MenuItem::Update), MainWindowModel::Action::ShowUpdateWindow);
    EXPECT_EQ(m.UpdateLinkClicked(), MainWindowModel::Action::ShowUpdateWindow);
    EXPECT_EQ(m.MenuChosen(MenuItem::About), MainWindowModel::Action::ShowAbout);

    m.LinkClicked(NavigationLink::Help);  // the Polish home page, whatever the language
    store.Write("Settings", "curLang", "Deutsch");
    m.MenuChosen(MenuItem::Website);
    for (AboutLink link : {AboutLink::HomePage, AboutLink::Support, AboutLink::Forum, AboutLink::Contact}) {
        m.AboutLinkClicked(link);
    }
    EXPECT_EQ(shell.opened,
              (std::vector<std::string>{"http://www.orvanta.example/pl/", "http://www.orvanta.example/de/",
                                        "http://www.orvanta.example/de/", "http://www.orvanta.example/de/support/",
                                        "http://forum.orvanta.example/", "http://www.orvanta.example/de/contact/"}));

    m.AdMonitorClicked();
    EXPECT_EQ(m.Caption(C::AdMonitorStatus), "T254");

    m.SetLanguageChoice("Polish");
    m.SaveLanguageClicked();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T251");
    EXPECT_EQ(store.Read("Settings", "curLang", ""), "Polish");
    EXPECT_EQ(context.languageText.Text(251), "T251");  // the table keeps the language it started with

    EXPECT_FALSE(m.StartupTimer().enabled);
    m.EnableStartupTimer();
    EXPECT_EQ(m.StartupTimer().intervalMs, 1000);
    m.StartupTick();
    EXPECT_FALSE(m.StartupTimer().enabled);
    EXPECT_EQ(silentLoads, 1);
    EXPECT_EQ(splashCloses, 1);
}

TEST_F(MainWindowModelTest, TheInformationFrameShowsTheFiguresAsTheyAreNowAndTheResetLeavesTheArchives) {
    store.Write("Status", "Totalscans", "41");
    store.Write("Status", "LastSystemScan", "2026-12-08");
    files.files[Archive("a.exe.arc")] = "a";
    files.files[Archive("a.exe.arc.info")] = "a record is no archive";
    context.languageText.SetLanguage("Deutsch");
    MainWindowModel& m = Model();
    EXPECT_EQ(m.Caption(C::QuarantinedStatus), "1");
    EXPECT_EQ(m.Caption(C::LastScanStatus), "08.12.2026");  // the language's form

    // Another program archives a file and counts a scan and a removal.
    files.files[Archive("b (2).exe.ARC")] = "b";
    m.QuarantineFolderChanged();
    EXPECT_EQ(m.Caption(C::QuarantinedStatus), "2");
    EXPECT_EQ(rebuilds, 0);  // a list not shown is read when its frame is
    store.Write("Status", "Totalscans", "42");
    store.Write("Status", "TotalObjectsRemoved", "7");
    m.LinkClicked(NavigationLink::Scan);
    m.LinkClicked(NavigationLink::Information);
    EXPECT_EQ(m.Caption(C::TotalStatus), "42");
    EXPECT_EQ(m.Caption(C::RemovedStatus), "7");

    m.ResetStatisticsClicked();
    for (const C counter : {C::TotalStatus, C::RemovedStatus, C::IgnoredStatus}) EXPECT_EQ(m.Caption(counter), "0");
    EXPECT_EQ(m.Caption(C::QuarantinedStatus), "2");  // files, not a statistic
    EXPECT_EQ(m.Caption(C::LastScanStatus), "T252");
    EXPECT_EQ(store.Read("Status", "TotalScans", ""), "0");
    EXPECT_EQ(store.Read("Status", "TotalObjectsRemoved", ""), "0");
    EXPECT_EQ(store.Read("Status", "LastSystemScan", ""), "-");
}

TEST_F(MainWindowModelTest, SeveralRowsAreDeletedOrRestoredAfterOneQuestionAndFailuresAreNamed) {
    for (const char* name : {"a.exe.arc", "b.exe.arc", "c.exe.arc"}) files.files[Archive(name)] = name;
    files.folders.insert({"/home/u", "/home/u/back"});
    files.files["/home/u/back/c.exe"] = "in the way";
    MainWindowModel& m = Model();
    m.LinkClicked(NavigationLink::Quarantine);

    dialogs.answer = ports::MessageAnswer::No;
    m.QuarantineDeleteClicked({2, 0, 2});  // in any order, a row once
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T430 2");
    EXPECT_EQ(dialogs.shown[0].defaultAnswer, ports::MessageAnswer::No);
    EXPECT_EQ(m.QuarantineRows().size(), 3u);

    dialogs.answer = ports::MessageAnswer::Yes;
    fileOperations.undeletable.insert(Archive("c.exe.arc"));
    m.QuarantineDeleteClicked({0, 2});
    EXPECT_EQ(dialogs.shown.back().text, "T436 c.exe.arc");
    EXPECT_EQ(dialogs.shown.back().icon, ports::MessageIcon::Warning);
    EXPECT_EQ(m.Caption(C::QuarantinedStatus), "2");
    fileOperations.undeletable.clear();

    // Several: one question, a folder, each under its original name; one is in the way.
    dialogs.folderAnswer = "/home/u/back";
    m.QuarantineRestoreClicked({0, 1});
    EXPECT_EQ(dialogs.shown[dialogs.shown.size() - 2].text, "T431 2");
    EXPECT_EQ(files.files["/home/u/back/b.exe"], "b.exe.arc");
    EXPECT_EQ(files.files["/home/u/back/c.exe"], "in the way");
    EXPECT_EQ(dialogs.shown.back().text, "T434 1 /home/u/back\r\rT435 c.exe.arc: T438");
    EXPECT_EQ(m.Caption(C::QuarantinedStatus), "1");

    // One: the save dialog, whose button says what it does, then where the file went.
    dialogs.saveAnswer = "/home/u/c.exe";
    m.QuarantineRestoreClicked({0});
    EXPECT_EQ(dialogs.saveButton, "T237");
    EXPECT_EQ(dialogs.shown.back().text, "T433 /home/u/c.exe");
    EXPECT_EQ(files.files["/home/u/c.exe"], "c.exe.arc");
    EXPECT_EQ(m.Caption(C::QuarantinedStatus), "0");
}

TEST(SplashModel, HandsOverOnTheThirdTickAndRefusesASecondInstance) {
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeDialogs dialogs;
    MemorySettingsBackend backend;
    settings::SettingsStore store(backend);
    store.Write("Settings", "curLang", "English");
    files.Put("/prog/languages/English/English.txt", "100 Starting\n101 Already running\n");
    tree.Root().Folder("prog").Folder("languages").Folder("English").File("English.txt");
    app::Context context(files, "/prog");
    i18n::LanguageLoader loader(store, files, tree, dialogs, "/prog");
    FakeLock lock;

    SplashModel splash(context.languageText, loader, lock, dialogs);
    ASSERT_TRUE(splash.Initialise());
    splash.Load();
    EXPECT_EQ(splash.Notice(), "Starting");
    EXPECT_EQ(splash.Timer().intervalMs, 300);
    EXPECT_EQ(splash.Tick(), SplashModel::TickResult::Nothing);
    EXPECT_EQ(splash.Tick(), SplashModel::TickResult::Nothing);
    EXPECT_EQ(splash.Tick(), SplashModel::TickResult::HandOver);
    EXPECT_TRUE(splash.Closed());
    EXPECT_FALSE(splash.Timer().enabled);

    lock.heldElsewhere = true;
    SplashModel second(context.languageText, loader, lock, dialogs);
    EXPECT_FALSE(second.Initialise());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Already running");
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Error);
}

}  // namespace
}  // namespace quellstone::windows
