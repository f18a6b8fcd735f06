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
