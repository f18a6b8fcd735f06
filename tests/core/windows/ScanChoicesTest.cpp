// The scan choices the main window stores: the hidden-entries check box and
// the settings frame's list of excluded folders.
#include <gmock/gmock.h>

#include "core/settings/ScanExclusions.h"
#include "core/windows/MainWindowFixture.h"

namespace quellstone::windows {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ScanChoicesTest = MainWindowModelTest;

TEST_F(ScanChoicesTest, TheStoredChoicesShowAsStoredAndOnlyTheyAreStored) {
    // Hidden entries are in unless turned off ("0"); network file systems are out unless turned on ("1").
    const struct {
        const char* stored;
        bool hidden;
        bool network;
    } cases[] = {
        {nullptr, true, false}, {"", true, false}, {"1", true, true}, {"0", false, false}, {"yes", true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        for (const settings::SettingKey& key : {settings::keys::kScanHidden, settings::keys::kScanNetwork}) {
            if (c.stored) {
                store.Write(key, c.stored);
            } else {
                store.DeleteSetting(settings::kAppName, key.section, key.name);
            }
        }
        const MainWindowModel& loaded = Model();
        EXPECT_EQ(loaded.Checked(ScanOption::IncludeHidden), c.hidden);
        EXPECT_EQ(loaded.Checked(ScanOption::IncludeNetwork), c.network);
    }
    model->CheckToggled(ScanOption::HighPriority, true);  // shown only: stores nothing
    model->CheckToggled(ScanOption::IncludeNetwork, true);
    EXPECT_EQ(store.Read(settings::keys::kScanHidden), "yes");
    EXPECT_EQ(store.Read(settings::keys::kScanNetwork), "1");
}

TEST_F(ScanChoicesTest, AddingAFolderStoresItOnceAndSelectsIt) {
    ExcludedFoldersModel& list = Model().ExcludedFolders();
    EXPECT_THAT(list.Folders(), IsEmpty());
    EXPECT_FALSE(list.RemoveEnabled());

    dialogs.folderAnswer = "/home/u/Virtual Machines/";
    list.AddClicked();
    EXPECT_THAT(dialogs.foldersOffered, ElementsAre("/"));  // no home folder known
    EXPECT_THAT(list.Folders(), ElementsAre("/home/u/Virtual Machines"));
    EXPECT_EQ(list.Selected(), 0u);
    dialogs.folderAnswer = "/srv/b\xe9z";  // a name in an 8-bit code page: kept as bytes, shown escaped
    list.AddClicked();
    EXPECT_EQ(dialogs.foldersOffered.back(), "/home/u/Virtual Machines");  // the picker starts at the selection
    EXPECT_THAT(list.ShownFolders(), ElementsAre("/home/u/Virtual Machines", "/srv/b\\xe9z"));
    EXPECT_EQ(list.Selected(), 1u);

    // Already there: not added again, only selected.
    dialogs.folderAnswer = "/home/u/Virtual Machines";
    list.AddClicked();
    EXPECT_EQ(list.Folders().size(), 2u);
    EXPECT_EQ(list.Selected(), 0u);
    // Cancelled: nothing changes.
    dialogs.folderAnswer.clear();
    list.AddClicked();
    EXPECT_EQ(list.Folders().size(), 2u);
    EXPECT_THAT(settings::ExcludedFolders(store), ElementsAre("/home/u/Virtual Machines", "/srv/b\xe9z"));
    EXPECT_TRUE(dialogs.shown.empty());

    // With a home folder known and nothing selected, the picker opens there.
    paths.homeFolder = "/home/u";
    dialogs.folderAnswer.clear();
    Model().ExcludedFolders().AddClicked();
    EXPECT_EQ(dialogs.foldersOffered.back(), "/home/u");
}

TEST_F(ScanChoicesTest, AFolderWithAControlCharacterIsRefusedWithAMessage) {
    ExcludedFoldersModel& list = Model().ExcludedFolders();
    for (const std::string refused : {"/tmp/two\nlines", "/tmp/tab\there", "/tmp/del\x7f"}) {
        dialogs.folderAnswer = refused;
        list.AddClicked();
    }
    EXPECT_THAT(list.Folders(), IsEmpty());
    EXPECT_EQ(store.Read(settings::keys::kExcludedFolders), "");
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].text, "T336 /tmp/two\\x0alines");  // the name as it can be shown
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Warning);
}

// A choice that cannot be written must not stay on screen: the next scan reads the settings file.
TEST_F(ScanChoicesTest, AChoiceThatCannotBeSavedIsSaidAndTheStoredOneShownAgain) {
    settings::StoreExcludedFolders(store, {"/a", "/b"});
    ExcludedFoldersModel& list = Model().ExcludedFolders();
    backend.failWrites = true;

    model->CheckToggled(ScanOption::IncludeHidden, false);
    EXPECT_TRUE(model->Checked(ScanOption::IncludeHidden));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "T391");
    EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Warning);

    dialogs.folderAnswer = "/srv/backup";
    list.AddClicked();
    EXPECT_THAT(list.Folders(), ElementsAre("/a", "/b"));
    EXPECT_EQ(list.Selected(), std::nullopt);
    list.SelectionChanged(1);
    list.RemoveClicked();
    EXPECT_THAT(list.Folders(), ElementsAre("/a", "/b"));
    EXPECT_FALSE(list.RemoveEnabled());
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[2].text, "T391");

    // Writable again: the choices are stored without a word.
    backend.failWrites = false;
    model->CheckToggled(ScanOption::IncludeHidden, false);
    list.SelectionChanged(0);
    list.RemoveClicked();
    EXPECT_FALSE(Model().Checked(ScanOption::IncludeHidden));
    EXPECT_THAT(Model().ExcludedFolders().Folders(), ElementsAre("/b"));
    EXPECT_EQ(dialogs.shown.size(), 3u);
}

TEST_F(ScanChoicesTest, RemovingTakesTheSelectedFolderByNameFromTheStoredList) {
    settings::StoreExcludedFolders(store, {"/a", "/b", "/c"});
    ExcludedFoldersModel& list = Model().ExcludedFolders();
    EXPECT_THAT(list.Folders(), ElementsAre("/a", "/b", "/c"));
    list.RemoveClicked();  // nothing selected: nothing removed
    EXPECT_EQ(list.Folders().size(), 3u);

    list.SelectionChanged(1);
    EXPECT_TRUE(list.RemoveEnabled());
    // Another program adds a folder in front while the list is shown.
    settings::StoreExcludedFolders(store, {"/new", "/a", "/b", "/c"});
    list.RemoveClicked();
    EXPECT_THAT(settings::ExcludedFolders(store), ElementsAre("/new", "/a", "/c"));
    EXPECT_THAT(list.Folders(), ElementsAre("/new", "/a", "/c"));
    EXPECT_EQ(list.Selected(), 1u);
    list.SelectionChanged(2);
    list.RemoveClicked();
    EXPECT_EQ(list.Selected(), 1u);  // the last one went: the new last one is selected
    list.SelectionChanged(7);        // no such row
    EXPECT_FALSE(list.Selected());
    list.SelectionChanged(0);
    list.RemoveClicked();
    list.SelectionChanged(0);
    list.RemoveClicked();
    EXPECT_THAT(list.Folders(), IsEmpty());
    EXPECT_FALSE(list.RemoveEnabled());
}

TEST_F(ScanChoicesTest, StoredLinesTheProgramWouldNotWriteArePassedOver) {
    store.Write(settings::keys::kExcludedFolders, "/ok\n\nrelative/path\n/opt//\n/\n/tab\there");
    EXPECT_THAT(settings::ExcludedFolders(store), ElementsAre("/ok", "/opt", "/"));
    EXPECT_THAT(Model().ExcludedFolders().Folders(), ElementsAre("/ok", "/opt", "/"));
}

}  // namespace
}  // namespace quellstone::windows
