// The scan window's close questions, its feedback during a walk, its result
// rows' outcomes, its place on the screen and the alert after a scan.
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <functional>

#include "gui/DesktopFixture.h"
#include "gui/quarantine/AlertWindow.h"

namespace quellstone::gui {
namespace {

class ScanWindowCloseTest : public DesktopWindowsTest {
protected:
    // A tree with one detection and folders the walk yields before.
    std::string MakeTree() {
        const std::string tree = dir / "tree";
        ::mkdir(tree.c_str(), 0755);
        quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE", "payload");
        for (const char* sub : {"/a", "/b"}) ::mkdir((tree + sub).c_str(), 0755);
        return tree;
    }
    // Scans the tree; `duringWalk` runs with the scan window on screen and
    // the scan not yet ended for it (the window has had none of its results).
    void ScanWith(MainWindow& main, Application& application, const std::function<void(ScanWindow&)>& duringWalk) {
        StartScanFromWindow(main, MakeTree());
        ASSERT_NE(application.Scan(), nullptr);
        ASSERT_TRUE(application.SharedContext().scan.running);
        duringWalk(*application.Scan());
        application.Controller().FinishScan();
    }
    std::size_t Asked(std::string_view start) const {
        return static_cast<std::size_t>(std::count_if(dialogs.shown.begin(), dialogs.shown.end(),
                                                      [start](const auto& m) { return m.text.starts_with(start); }));
    }
    // The list's place once the window has laid itself out again.
    static QRect ListPlace(ScanWindow& window) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return window.ResultList()->geometry();
    }
};

TEST_F(ScanWindowCloseTest, ClosingTheMainWindowWithResultsAsksOnceBeforeAnythingCloses) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(application, main, MakeTree());
    ScanWindow& window = *application.Scan();
    ASSERT_EQ(window.ResultList()->model()->rowCount(), 1);

    dialogs.answer = ports::MessageAnswer::No;
    main.close();  // the close box's way: a close event to the main window
    EXPECT_EQ(Asked("The list contains detected objects."), 1u);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.ResultList()->model()->rowCount(), 1);
    EXPECT_FALSE(application.Controller().Quitting());
    main.findChild<QAction*>("exitAction")->trigger();  // the menu asks the same, once
    EXPECT_EQ(Asked("The list contains detected objects."), 2u);
    EXPECT_TRUE(main.isVisible() && window.isVisible());

    dialogs.answer = ports::MessageAnswer::Yes;
    main.close();
    EXPECT_EQ(Asked("The list contains detected objects."), 3u);
    EXPECT_TRUE(application.Controller().Quitting());
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ScanWindowCloseTest, CloseDuringAWalkOffersStopAndCloseAndClosesOnceTheWalkHasEnded) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    bool keptOnCancel = false;
    ScanWith(main, application, [&](ScanWindow& window) {
        QTest::mouseClick(Find(window, "closeButton"), Qt::LeftButton);  // cancelled: nothing changes
        keptOnCancel = window.isVisible() && Find(window, "stopButton")->isEnabled();
        dialogs.choice = 0;  // "Stop and close"
        Activate(window);
        QTest::keyClick(&window, Qt::Key_Escape);  // Escape is the close button
        EXPECT_TRUE(window.isVisible());           // until the walk has ended
        EXPECT_FALSE(Find(window, "stopButton")->isEnabled());
        tickers.Fire("scan.stop");
    });
    EXPECT_TRUE(keptOnCancel);
    ASSERT_EQ(Asked("A scan is still running.\rStop the scan and close the window?"), 2u);
    EXPECT_EQ(dialogs.shown.back().choices, std::vector<std::string>{"&Stop and close"});
    EXPECT_FALSE(application.Scan()->isVisible());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(application.ScanModel()->Stopped());
}

TEST_F(ScanWindowCloseTest, ClosingTheProgramDuringAWalkAsksOneQuestion) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanWith(main, application, [&](ScanWindow&) {
        main.close();  // cancelled
        EXPECT_TRUE(main.isVisible());
        dialogs.choice = 0;
        main.close();
    });
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(Asked("A scan is still running.\rStop the scan and close the window?"), 2u);
    EXPECT_TRUE(application.Controller().Quitting());
    EXPECT_FALSE(main.isVisible());
}

TEST_F(ScanWindowCloseTest, AWalkShowsItsProgressWithoutMovingTheLayoutAndAStopSaysWhere) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    QRect listDuringWalk;
    ScanWith(main, application, [&](ScanWindow& window) {
        EXPECT_TRUE(Find(window, "busyIndicator")->isVisible());
        EXPECT_EQ(Find<QLabel>(window, "elapsedCaption")->text(), "Elapsed time:");
        EXPECT_EQ(Find<QLabel>(window, "elapsedLabel")->text(), "0:00");
        EXPECT_TRUE(Find(window, "waitNotice")->isVisible());
        listDuringWalk = ListPlace(window);
        tickers.Fire("scan.noticeHide");  // the notice blinks off: nothing moves
        EXPECT_FALSE(Find(window, "waitNotice")->isVisible());
        EXPECT_EQ(ListPlace(window), listDuringWalk);
        QTest::mouseClick(Find(window, "stopButton"), Qt::LeftButton);
        tickers.Fire("scan.stop");
    });
    ScanWindow& window = *application.Scan();
    EXPECT_FALSE(Find(window, "busyIndicator")->isVisible());
    EXPECT_EQ(ListPlace(window), listDuringWalk);  // nor when the notice and the busy bar have gone
    EXPECT_EQ(window.windowTitle(), "Scan stopped");
    EXPECT_EQ(Find<QLabel>(window, "operationLabel")->text(), "Scan stopped.");
    const QString stoppedIn = Find<QLabel>(window, "currentFileLabel")->toolTip();
    EXPECT_TRUE(stoppedIn.startsWith("Stopped in: " + QString::fromStdString(dir / "tree"))) << stoppedIn.toStdString();
    EXPECT_NE(application.ScanModel()->Report().Text().find("Scan stopped.\nStopped in: "), std::string::npos);
}

TEST_F(ScanWindowCloseTest, RowsSayTheirOutcomeInWordsAndKeepLongPathsReadable) {
    StoreLanguage("English");
    StoreSetting(settings::keys::kQuarantineCopies, "1");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(application, main, MakeTree());
    ScanWindow& window = *application.Scan();
    QAbstractItemModel& results = *window.ResultList()->model();
    const std::string path = dir / "tree/QUELLSTONE-TEST.EXE";
    EXPECT_EQ(results.headerData(ResultTableModel::StatusColumn, Qt::Horizontal), "Status");
    EXPECT_EQ(results.index(0, ResultTableModel::StatusColumn).data(), "Detected");
    // Every cell's tooltip has the whole path and outcome, which the columns may cut.
    EXPECT_EQ(results.index(0, ResultTableModel::PathColumn).data(Qt::ToolTipRole),
              QString::fromStdString(path + "\nDetected"));
    EXPECT_EQ(window.ResultList()->textElideMode(), Qt::ElideMiddle);

    // "No", the default, removes nothing; "Yes" keeps a copy and says so.
    dialogs.answer = ports::MessageAnswer::No;
    QTest::mouseClick(Find(window, "removeButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.back().text,
              "Remove the ticked files (1)?\rA copy of each file will be kept in quarantine, from where it can be "
              "restored.");
    EXPECT_TRUE(std::filesystem::exists(path));
    dialogs.answer = ports::MessageAnswer::Yes;
    QTest::mouseClick(Find(window, "removeButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.back().text, "Removal finished.\rRemoved: 1\rKept in quarantine: 1");
    EXPECT_EQ(results.index(0, ResultTableModel::StatusColumn).data(), "Kept in quarantine");
    EXPECT_TRUE(results.index(0, 0).data(Qt::AccessibleTextRole).toString().contains("Kept in quarantine"));
}

TEST_F(ScanWindowCloseTest, TheWindowOpensCentredOverTheMainWindowAndOnTheScreen) {
    StoreLanguage("Deutsch");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    const QRect area = main.screen()->availableGeometry();
    // Not at the screen's centre, so centring on the screen would not pass.
    main.move(area.center() + QPoint(30, 20) - main.frameGeometry().center() + main.pos());
    ScanFolderFromWindow(application, main, MakeTree());
    const ScanWindow& window = *application.Scan();
    const QPoint offset = window.frameGeometry().center() - main.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
    EXPECT_TRUE(area.contains(window.frameGeometry())) << window.width() << "x" << window.height();
    // A full-HD screen at 200 % has 960 x 540 logical pixels: the window can shrink into it.
    EXPECT_LE(window.minimumSizeHint().width(), 960);
    EXPECT_LE(window.minimumSizeHint().height(), 540);
}

TEST_F(ScanWindowCloseTest, F1InTheScanWindowOpensTheReadme) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(application, main, MakeTree());
    ScanWindow& window = *application.Scan();
    Activate(window);
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].ends_with("readme.txt")) << shell.opened[0];
}

TEST_F(ScanWindowCloseTest, DetectionsFoundWhileTheUserIsInAnotherWindowSlideInTheAlert) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    // The main window is the active one; the scan window learns it before
    // the scan's end reaches it (the results ticker is stepped by hand).
    Activate(main);
    ScanWith(main, application, [&](ScanWindow& window) {
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(&window, &activation);
        ASSERT_FALSE(window.isActiveWindow());
    });
    AlertWindow* alert = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<AlertWindow*>(widget)) alert = found;
    }
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(Find<QLabel>(*alert, "titleLabel")->text(), "Scan finished: 1 detections");
    delete alert;
}

}  // namespace
}  // namespace quellstone::gui
