// The main window's remembered place and size and its remembered scan folder.
#include <gtest/gtest.h>

#include "core/windows/MainWindowFixture.h"
#include "core/windows/WindowGeometry.h"

namespace quellstone::windows {
namespace {

using namespace quellstone::testing;

// The stored values are read when the model loads, so each test writes them
// first and then starts the model.
class MainWindowMemoryTest : public MainWindowModelTest {
protected:
    MainWindowModel& Start() { return Model(); }
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
