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
    EXPECT_EQ(m.Caption(C::DatabaseVersion), "T348");  // the fake store holds no database
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

TEST_F(MainWindowModelTest, ResetsTheStatisticsShownAndStored) {
    store.Write("Status", "Totalscans", "41");
    store.Write("Status", "LastSystemScan", "08.12.2026");
    MainWindowModel& m = Model();
    m.RaiseQuarantined();
    m.RaiseQuarantined();
    EXPECT_EQ(m.Caption(C::QuarantinedStatus), "2");
    m.ResetStatisticsClicked();
    for (const C counter : {C::TotalStatus, C::RemovedStatus, C::QuarantinedStatus, C::IgnoredStatus}) {
        EXPECT_EQ(m.Caption(counter), "0");
    }
    EXPECT_EQ(m.Caption(C::LastScanStatus), "T252");
    EXPECT_EQ(store.Read("Status", "TotalScans", ""), "0");
    EXPECT_EQ(store.Read("Status", "TotalObjectsRemoved", ""), "0");
    EXPECT_EQ(store.Read("Status", "LastSystemScan", ""), "-");
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
