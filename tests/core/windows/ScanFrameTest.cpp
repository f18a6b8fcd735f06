#include <gtest/gtest.h>

#include "core/app/Context.h"
#include "core/windows/MainWindowModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"

namespace quellstone::windows {
namespace {

using namespace quellstone::testing;

TEST(ScanFrame, ModesFolderPickerAndTheStartButton) {
    MemorySettingsBackend backend;
    settings::SettingsStore store(backend);
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeDialogs dialogs;
    FakeShell shell;
    app::Context context(files, "/prog");
    i18n::DocumentOpeners openers(store, shell, tree, "/prog", i18n::VendorAddresses::Defaults());
    MainWindowModel model({context.languageText, context.scan, context.signatures}, {"/prog", "/data", "/usr", "/opt/"},
                          MainWindowModel::Ports{store, dialogs, shell, files, openers}, {});
    model.Load();

    EXPECT_EQ(model.ScanMode(), scan::ScanMode::WholeComputer);
    EXPECT_FALSE(model.BrowseEnabled());
    EXPECT_TRUE(model.Checked(ScanOption::Adware) && model.Checked(ScanOption::LessDangerous) &&
                !model.Checked(ScanOption::HighPriority));
    model.ModeClicked(scan::ScanMode::ChosenFolder);
    EXPECT_TRUE(model.BrowseEnabled());
    EXPECT_EQ(model.SelectedFolder(), "/usr");  // taken from the folder box

    model.ScanFolderEdited("/home/u/Downloads/");
    dialogs.folderAnswer = "/srv/share";
    model.BrowseClicked();
    EXPECT_EQ(dialogs.foldersOffered.back(), "/home/u/Downloads");  // offered without the trailing "/"
    EXPECT_EQ(model.ScanFolder(), "/srv/share");
    EXPECT_EQ(model.SelectedFolder(), "/srv/share");
    dialogs.folderAnswer.clear();  // cancelled
    model.BrowseClicked();
    EXPECT_EQ(model.ScanFolder(), "/usr");
    EXPECT_EQ(model.SelectedFolder(), "/srv/share");
    model.ScanFolderEdited("/");
    model.BrowseClicked();
    EXPECT_EQ(dialogs.foldersOffered.back(), "/");

    model.CheckToggled(ScanOption::HighPriority, true);  // shown and toggled, read by nothing
    EXPECT_TRUE(model.Checked(ScanOption::HighPriority));
    model.ModeClicked(scan::ScanMode::QuickScan);
    EXPECT_FALSE(model.BrowseEnabled());

    EXPECT_EQ(model.StartScanClicked(), MainWindowModel::Action::StartScan);
    context.scan.running = true;
    EXPECT_EQ(model.StartScanClicked(), MainWindowModel::Action::None);
    model.ShowTotalScans(7);
    EXPECT_EQ(model.Caption(MainControl::TotalStatus), "7");
}

}  // namespace
}  // namespace quellstone::windows
