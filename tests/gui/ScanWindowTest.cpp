// Scanning from the window, removal, the quarantine frame and the results table.
#include <QWindow>

#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

TEST_F(DesktopWindowsTest, AScanFromTheWindowFillsTheScanWindow) {
    StoreLanguage("English");
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE");
    ::mkdir((tree + "/sub").c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/sub/quellstone-test.exe");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    QTest::mouseClick(Find(main, "scanLink"), Qt::LeftButton);
    Find<QAbstractButton>(main, "chosenFolderOption")->click();
    ASSERT_TRUE(Find<QAbstractButton>(main, "chosenFolderOption")->isChecked());
    auto* folder = Find<QLineEdit>(main, "scanFolderEdit");
    folder->clear();
    QTest::keyClicks(folder, QString::fromStdString(tree));
    Find<QAbstractButton>(main, "startScanButton")->click();  // the scan runs on its own thread
    application.Controller().FinishScan();

    ASSERT_NE(application.Scan(), nullptr);
    ScanWindow& window = *application.Scan();
    EXPECT_TRUE(window.isVisible());
    // Above the main window and on its task bar entry.
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowHandle()->transientParent(), main.windowHandle());
    QAbstractItemModel& results = *window.ResultList()->model();
    ASSERT_EQ(results.rowCount(), 2);
    EXPECT_EQ(results.index(0, 1).data(), QString::fromStdString(tree + "/sub/quellstone-test.exe"));
    EXPECT_EQ(results.index(0, 0).data(Qt::CheckStateRole), Qt::Checked);
    EXPECT_FALSE(Find(window, "stopButton")->isEnabled());
    EXPECT_TRUE(Find(window, "removeButton")->isEnabled());
    EXPECT_EQ(Find<QLabel>(window, "operationLabel")->text(), "Scan finished.");
    EXPECT_EQ(Find<QLabel>(main, "totalScansLabel")->text(), "1");

    // Space ticks or unticks the current row from any of its cells, once per press.
    QTreeView* list = window.ResultList();
    bool checked = true;
    for (const int column : {1, 0, 2}) {
        list->setCurrentIndex(results.index(1, column));
        QTest::keyClick(list, Qt::Key_Space);
        checked = !checked;
        EXPECT_EQ(application.ScanModel()->Results().Rows()[1].checked, checked) << column;
    }
    // Closing with rows that wait for a decision asks first.
    EXPECT_FALSE(application.ScanModel()->Results().Rows()[1].checked);
    dialogs.answer = ports::MessageAnswer::No;
    window.close();
    EXPECT_TRUE(window.isVisible());
    dialogs.answer = ports::MessageAnswer::Yes;
    window.close();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(DesktopWindowsTest, TheStopTimerFiresWhileTheWindowRedrawsDuringAWalk) {
    app::Context context(files_, QUELLSTONE_PROGRAM_DIR);
    windows::ScanWindowModel model(context.languageText, context.scan, dialogs, files_);
    model.Load();
    ScanWindow window(model, nullptr, {}, tickers);
    window.show();
    context.scan.running = true;
    model.StopClicked();
    window.Refresh();
    ManualTickers::Ticker* stop = tickers.Find("scan.stop");
    ASSERT_NE(stop, nullptr);
    EXPECT_TRUE(stop->IsActive());
    EXPECT_EQ(stop->Interval(), 10);
    // A walk redraws the window at every yield, more often than the stop timer's
    // interval: a redraw that started the interval anew would keep it from ever firing.
    for (int i = 0; i < 100; ++i) window.Refresh();
    EXPECT_EQ(stop->Starts(), 1);
    EXPECT_FALSE(context.scan.stop.stop_requested());
    stop->Fire();
    EXPECT_TRUE(context.scan.stop.stop_requested());
}

TEST_F(DesktopWindowsTest, RemovingDetectionsFillsTheQuarantineFrame) {
    StoreLanguage("English");
    StoreSetting(settings::keys::kQuarantineCopies, "1");
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE", "payload");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(application, main, tree);
    ScanWindow& window = *application.Scan();
    auto* remove = Find<QAbstractButton>(window, "removeButton");
    QAbstractItemModel& results = *window.ResultList()->model();
    results.setData(results.index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_FALSE(remove->isEnabled());  // nothing ticked, nothing to remove
    results.setData(results.index(0, 0), Qt::Checked, Qt::CheckStateRole);
    ASSERT_TRUE(remove->isEnabled());
    dialogs.answer = ports::MessageAnswer::Yes;
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.back().text.substr(0, 17), "Removal finished.");
    // Everything is handled: the button is off and the results stay on screen.
    EXPECT_FALSE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(std::count_if(dialogs.shown.begin(), dialogs.shown.end(),
                            [](const auto& shown) { return shown.text.starts_with("Removal finished."); }),
              1);
    EXPECT_EQ(window.Tabs()->currentIndex(), 0);
    EXPECT_EQ(Find<QLabel>(main, "quarantineCountLabel")->text(), "1");
    EXPECT_EQ(Find<QLabel>(main, "removedCountLabel")->text(), "1");

    QTest::mouseClick(Find(main, "quarantineLink"), Qt::LeftButton);
    QTreeView* list = main.QuarantineList();
    QAbstractItemModel& rows = *list->model();
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.index(0, 0).data(), "QUELLSTONE-TEST.EXE.arc");
    EXPECT_EQ(rows.index(0, 1).data(), "Test.File.Quellstone");
    EXPECT_EQ(rows.index(0, 2).data(), "7");
    QTest::keyClick(Find(main, "deleteLink"), Qt::Key_Return);  // nothing selected: nothing happens
    EXPECT_EQ(rows.rowCount(), 1);
    list->setCurrentIndex(rows.index(0, 0));
    dialogs.answer = ports::MessageAnswer::Yes;  // "Delete ... for good?"
    QTest::keyClick(Find(main, "deleteLink"), Qt::Key_Return);
    EXPECT_EQ(rows.rowCount(), 0);
}

TEST_F(DesktopWindowsTest, TheQuarantineListShowsTheArchivesAsTheyAreNow) {
    StoreLanguage("English");
    StoreSetting(settings::keys::kQuarantineCopies, "1");
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE", "payload");
    quellstone::testing::WriteFile(tree + "/MSBLAST.EXE", "worm");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(application, main, tree);
    dialogs.answer = ports::MessageAnswer::Yes;
    Find<QAbstractButton>(*application.Scan(), "removeButton")->click();
    QTest::mouseClick(Find(main, "quarantineLink"), Qt::LeftButton);
    QTreeView* list = main.QuarantineList();
    QAbstractItemModel& rows = *list->model();
    const auto names = [&rows] {
        QStringList shown;
        for (int row = 0; row < rows.rowCount(); ++row) shown << rows.index(row, 0).data().toString();
        return shown;
    };
    EXPECT_EQ(names(), (QStringList{"MSBLAST.EXE.arc", "QUELLSTONE-TEST.EXE.arc"}));

    // Restoring the selected row takes that row, and only it, off the list.
    dialogs.saveAnswer = tree + "/restored.exe";
    list->setCurrentIndex(rows.index(1, 0));
    QTest::keyClick(Find(main, "restoreLink"), Qt::Key_Return);
    EXPECT_TRUE(std::filesystem::exists(tree + "/restored.exe"));
    EXPECT_EQ(names(), QStringList{"MSBLAST.EXE.arc"});
    // The list keeps no selection from before: delete has nothing to act on.
    EXPECT_FALSE(list->selectionModel()->hasSelection());
    QTest::keyClick(Find(main, "deleteLink"), Qt::Key_Return);
    EXPECT_EQ(names(), QStringList{"MSBLAST.EXE.arc"});

    // Shown again, the frame lists the folder anew, without the rows it showed before.
    QTest::mouseClick(Find(main, "informationLink"), Qt::LeftButton);
    QTest::mouseClick(Find(main, "quarantineLink"), Qt::LeftButton);
    EXPECT_EQ(names(), QStringList{"MSBLAST.EXE.arc"});
}

TEST_F(DesktopWindowsTest, AnUnreadableSettingsFileStillKeepsACopyAndAnUnreadableFolderIsNamed) {
    // The settings file is a folder: nothing can be read from it, so the
    // quarantine switch might be on, and removal keeps a copy.
    ::mkdir(AppSetup().settingsFile.c_str(), 0755);
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE", "payload");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(application, main, dir / "no-such-folder");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().text,
              "This folder could not be read, so it was not scanned:\r" + dir / "no-such-folder");
    EXPECT_EQ(application.ScanModel()->Report().Text().find("Nothing was found."), std::string::npos);

    ScanFolderFromWindow(application, main, tree);
    dialogs.answer = ports::MessageAnswer::Yes;
    Find<QAbstractButton>(*application.Scan(), "removeButton")->click();
    EXPECT_FALSE(std::filesystem::exists(tree + "/QUELLSTONE-TEST.EXE"));
    EXPECT_TRUE(std::filesystem::exists(dir / "data/Orvanta/Quellstone/Archiwum/QUELLSTONE-TEST.EXE.arc"));
}

// Whether a decoration is the program's picture `file` (as a 16-pixel image).
bool ShowsPicture(const QVariant& decoration, const char* file) {
    const QSize size(16, 16);
    return decoration.value<QIcon>().pixmap(size).toImage() ==
           QIcon(QStringLiteral(":/pictures/") + QString::fromLatin1(file)).pixmap(size).toImage();
}

// The result list's table over a list that the test fills as a walk and a
// removal pass would.
TEST(ResultTable, ShowsNewRowsInOneInsertionWithTheirBoxesAndOutcomes) {
    LoadPictures();
    platform::PosixFileStore files;
    app::Context context(files, QUELLSTONE_PROGRAM_DIR);
    FakeDialogs dialogs;
    windows::ScanResults list(context.languageText);
    windows::RemovalPass pass(context.languageText, dialogs, list);
    quellstone::testing::FakeFileStore folders;
    quellstone::testing::FakeFileOperations disk(folders);
    quellstone::testing::MemorySettingsBackend backend;
    settings::SettingsStore store(backend);
    store.Write(settings::keys::kQuarantineCopies, "0");  // the table's outcomes, without a quarantine
    quarantine::Remover remover(disk, folders, store, {"/prog", "/data", "/usr", "/opt/"});
    const auto detect = [&](const std::string& path) {
        disk.files[path] = "MZ";
        list.Add("TROJAN.X", path, ports::ReachablePath::FromRoot(path));
    };

    ResultTableModel table(list);
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    detect("/a/one.exe");
    detect("/a/two.exe");
    EXPECT_EQ(table.rowCount(), 0);  // not before the window shows them
    table.ShowNewRows();
    for (const char* path : {"/a/three.exe", "/a/four.exe", "/a/five.exe"}) detect(path);
    EXPECT_TRUE(table.HasNewRows());
    table.ShowNewRows();
    table.ShowNewRows();  // nothing new: no insertion
    EXPECT_FALSE(table.HasNewRows());
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 1);
    EXPECT_EQ(inserted[1][1].toInt(), 2);
    EXPECT_EQ(inserted[1][2].toInt(), 4);
    ASSERT_EQ(table.rowCount(), 5);
    EXPECT_EQ(table.index(2, ResultTableModel::DetectionColumn).data(), "TROJAN.X");
    EXPECT_EQ(table.index(2, ResultTableModel::PathColumn).data(), "/a/three.exe");

    // Only the detection carries a box; unticking it unticks the model's row.
    const QModelIndex second = table.index(1, ResultTableModel::DetectionColumn);
    EXPECT_EQ(second.data(Qt::CheckStateRole), Qt::Checked);
    EXPECT_TRUE(table.flags(second) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(table.flags(table.index(1, ResultTableModel::PathColumn)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(table.index(1, ResultTableModel::PathColumn).data(Qt::CheckStateRole).isValid());
    EXPECT_TRUE(table.setData(second, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(list.Rows()[1].checked);
    EXPECT_EQ(second.data(Qt::CheckStateRole), Qt::Unchecked);
    EXPECT_FALSE(table.setData(table.index(1, ResultTableModel::PathColumn), Qt::Checked, Qt::CheckStateRole));

    // A removal pass: the rows show their outcome once the window redraws them.
    disk.undeletable.insert("/a/three.exe");
    dialogs.answer = ports::MessageAnswer::Yes;
    pass.Run(remover, {});
    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);
    table.RedrawShownRows();
    ASSERT_EQ(changed.size(), 1);  // one signal over the span of changed rows
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 0);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 4);
    const auto image = [&table](int row) {
        return table.index(row, ResultTableModel::DetectionColumn).data(Qt::DecorationRole);
    };
    EXPECT_TRUE(ShowsPicture(image(0), "removed.svg"));
    EXPECT_TRUE(ShowsPicture(image(1), "detected.svg"));  // unticked: left alone
    EXPECT_TRUE(ShowsPicture(image(2), "notremoved.svg"));
    EXPECT_FALSE(ShowsPicture(image(2), "removed.svg"));
    table.RedrawShownRows();
    EXPECT_EQ(changed.size(), 1);  // nothing changed since

    // The list emptied (the window closed): the table drops its rows.
    list.Clear();
    table.RedrawShownRows();
    EXPECT_EQ(table.rowCount(), 0);
    detect("/b/again.exe");
    table.ShowNewRows();
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.index(0, ResultTableModel::PathColumn).data(), "/b/again.exe");
    EXPECT_TRUE(
        ShowsPicture(table.index(0, ResultTableModel::DetectionColumn).data(Qt::DecorationRole), "detected.svg"));
}

}  // namespace
}  // namespace quellstone::gui
