// The main window's remembered place and size and its remembered scan folder.
#include <gtest/gtest.h>

#include "core/app/Context.h"
#include "core/windows/MainWindowModel.h"
#include "core/windows/WindowGeometry.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"

namespace quellstone::windows {
namespace {

using namespace quellstone::testing;

TEST(WindowGeometry, ReadsOnlyFourNumbersTheProgramCouldHaveWritten) {
    EXPECT_EQ(ParseWindowRect("10,20,800,600"), (WindowRect{10, 20, 800, 600}));
    EXPECT_EQ(ParseWindowRect(" -5 , 0 ,640, 480 "), (WindowRect{-5, 0, 640, 480}));
    EXPECT_EQ(ParseWindowRect(WindowRectText({3, -4, 5, 6})), (WindowRect{3, -4, 5, 6}));
    for (const char* hostile :
         {"", "10,20,800", "10,20,800,600,1", "10,20,800,600,", "a,b,c,d", "10;20;800;600", "10,20,0,600",
          "10,20,800,-600", "1e3,0,800,600", "0x10,0,800,600", "99999999999999999999,0,800,600", "2000000,0,800,600",
          "10,,800,600", "10,20,800,600\n"}) {
        EXPECT_EQ(ParseWindowRect(hostile), std::nullopt) << hostile;
    }
}

TEST(WindowGeometry, APlaceIsMovedAndShrunkOntoTheScreenAndKeptAboveTheMinimum) {
    const WindowRect screen{0, 0, 1920, 1080};
    EXPECT_EQ(PlaceOnScreen("100,50,900,600", screen, 700, 500), (WindowRect{100, 50, 900, 600}));
    // Off every edge: moved back so that all of it shows.
    EXPECT_EQ(PlaceOnScreen("5000,-300,900,600", screen, 700, 500), (WindowRect{1020, 0, 900, 600}));
    EXPECT_EQ(PlaceOnScreen("-2000,4000,900,600", screen, 700, 500), (WindowRect{0, 480, 900, 600}));
    // Larger than the screen: the screen's size; smaller than the window can be: its minimum.
    EXPECT_EQ(PlaceOnScreen("0,0,5000,5000", screen, 700, 500), (WindowRect{0, 0, 1920, 1080}));
    EXPECT_EQ(PlaceOnScreen("10,10,20,20", screen, 700, 500), (WindowRect{10, 10, 700, 500}));
    // A second screen's area that does not start at 0.
    EXPECT_EQ(PlaceOnScreen("0,0,800,600", {1920, 100, 1280, 1024}, 700, 500), (WindowRect{1920, 100, 800, 600}));
    EXPECT_EQ(PlaceOnScreen("garbage", screen, 700, 500), std::nullopt);
}

class MainWindowMemoryTest : public ::testing::Test {
protected:
    MainWindowMemoryTest()
        : store(backend),
          context(files, "/prog"),
          openers(store, shell, tree, "/prog", i18n::VendorAddresses::Defaults()) {}
    MainWindowModel& Start() {
        model = std::make_unique<MainWindowModel>(
            MainWindowModel::Shared{context.languageText, context.scan, context.signatures},
            settings::ProgramPaths{"/prog", "/data", "/usr", "/opt/"},
            MainWindowModel::Ports{store, dialogs, shell, files, openers}, MainWindowModel::Hooks{});
        model->Load();
        return *model;
    }

    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeDialogs dialogs;
    FakeShell shell;
    app::Context context;
    i18n::DocumentOpeners openers;
    std::unique_ptr<MainWindowModel> model;
};

TEST_F(MainWindowMemoryTest, TheChosenFolderIsRememberedWhenPickedOrScanned) {
    EXPECT_EQ(Start().ScanFolder(), "/usr");  // nothing stored: the default
    dialogs.folderAnswer = "/srv/picked";
    model->BrowseClicked();
    EXPECT_EQ(store.Read("Settings", "LastScanFolder", ""), "/srv/picked");
    EXPECT_EQ(Start().ScanFolder(), "/srv/picked");

    // Typed, it is stored only when a chosen-folder scan starts with it.
    model->ModeClicked(scan::ScanMode::ChosenFolder);
    model->ScanFolderEdited("/home/u/typed");
    EXPECT_EQ(store.Read("Settings", "LastScanFolder", ""), "/srv/picked");
    ASSERT_EQ(model->StartScanClicked(), MainWindowModel::Action::StartScan);
    EXPECT_EQ(store.Read("Settings", "LastScanFolder", ""), "/home/u/typed");
    model->ModeClicked(scan::ScanMode::QuickScan);
    model->ScanFolderEdited("/not/for/a/quick/scan");
    ASSERT_EQ(model->StartScanClicked(), MainWindowModel::Action::StartScan);
    EXPECT_EQ(store.Read("Settings", "LastScanFolder", ""), "/home/u/typed");

    // A value the program did not write shows the default.
    for (const char* hostile : {"relative/folder", "/tmp/a\rb", "/tmp/\x1b[31m"}) {
        store.Write(settings::keys::kLastScanFolder, hostile);
        EXPECT_EQ(Start().ScanFolder(), "/usr") << hostile;
    }
}

}  // namespace
}  // namespace quellstone::windows
