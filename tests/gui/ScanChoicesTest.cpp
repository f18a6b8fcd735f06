// The hidden-entries check box and the excluded folders of the settings
// frame, driven with real clicks, and what a scan from the window makes of them.
#include <QListWidget>

#include "core/settings/ScanExclusions.h"
#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

void ClickRow(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
}

QStringList Shown(const QListWidget& list) {
    QStringList shown;
    for (int row = 0; row < list.count(); ++row) shown << list.item(row)->text();
    return shown;
}

TEST_F(DesktopWindowsTest, HiddenEntriesAndExcludedFoldersSetInTheWindowShapeItsScans) {
    StoreLanguage("English");
    const std::string tree = dir / "tree";
    for (const char* folder : {"", "/.config", "/skip", "/keep"}) ::mkdir((tree + folder).c_str(), 0755);
    for (const char* file : {"/.config/quellstone-test.exe", "/skip/quellstone-test.exe", "/keep/quellstone-test.exe"})
        quellstone::testing::WriteFile(tree + file);
    const auto stored = [this] {
        platform::RegFileSettingsBackend backend(files_, AppSetup().settingsFile);
        settings::SettingsStore store(backend);
        return std::pair(store.Read(settings::keys::kScanHidden), settings::ExcludedFolders(store));
    };
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);

    // The check box, ticked and unticked with the pointer, stores the choice at once.
    QTest::mouseClick(Find(main, "scanLink"), Qt::LeftButton);
    auto* hidden = Find<QAbstractButton>(main, "includeHiddenCheck");
    // On the box itself: the row is wider than the box and its text, and a click beside them does nothing.
    const auto tick = [hidden] { QTest::mouseClick(hidden, Qt::LeftButton, {}, QPoint(8, hidden->height() / 2)); };
    EXPECT_EQ(hidden->text(), "&Include hidden files and folders");
    EXPECT_TRUE(hidden->isChecked());  // hidden entries are scanned unless turned off
    tick();
    EXPECT_FALSE(hidden->isChecked());
    EXPECT_EQ(stored().first, "0");
    tick();
    EXPECT_EQ(stored().first, "1");

    // Two folders added with the folder picker, one of them twice; the second removed again.
    QTest::mouseClick(Find(main, "settingsLink"), Qt::LeftButton);
    auto& list = *Find<QListWidget>(main, "excludedFoldersList");
    auto* add = Find<QAbstractButton>(main, "addExcludedButton");
    auto* remove = Find<QAbstractButton>(main, "removeExcludedButton");
    EXPECT_EQ(add->text(), "&Add...");
    EXPECT_EQ(Find<QLabel>(main, "excludedFoldersCaption")->buddy(), &list);
    EXPECT_FALSE(remove->isEnabled());
    for (const std::string& folder : {tree + "/skip", tree + "/keep", tree + "/skip/"}) {
        dialogs.folderAnswer = folder;
        QTest::mouseClick(add, Qt::LeftButton);
    }
    EXPECT_EQ(Shown(list),
              (QStringList{QString::fromStdString(tree + "/skip"), QString::fromStdString(tree + "/keep")}));
    EXPECT_EQ(list.currentRow(), 0);  // the folder added again is only selected
    ClickRow(list, 1);
    ASSERT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(Shown(list), QStringList{QString::fromStdString(tree + "/skip")});
    EXPECT_EQ(stored(), std::pair(std::string("1"), std::vector<std::string>{tree + "/skip"}));

    // A scan of the tree finds the hidden folder's file and leaves the excluded folder out.
    ScanFolderFromWindow(application, main, tree);
    ASSERT_NE(application.Scan(), nullptr);
    QAbstractItemModel& results = *application.Scan()->ResultList()->model();
    QStringList found;
    for (int row = 0; row < results.rowCount(); ++row) found << results.index(row, 1).data().toString();
    found.sort();
    EXPECT_EQ(found, (QStringList{QString::fromStdString(tree + "/.config/quellstone-test.exe"),
                                  QString::fromStdString(tree + "/keep/quellstone-test.exe")}));
}

}  // namespace
}  // namespace quellstone::gui
