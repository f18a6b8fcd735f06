// The desktop windows on Qt's offscreen platform, over the real settings
// file and the built program folder's language files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <stdexcept>

#include "core/quarantine/Remover.h"
#include "gui/app/Application.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/Pictures.h"
#include "gui/app/SplashWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/scan/ResultTableModel.h"
#include "gui/scan/ScanWindow.h"
#include "gui/update/UpdateWindows.h"
#include "platform/CurlHttpClient.h"
#include "platform/OfflineHttpClient.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
#include "support/ManualTickers.h"
#include "support/MemorySettingsBackend.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

namespace quellstone::gui {
namespace {

using quellstone::testing::FakeDialogs;
using quellstone::testing::FakeShell;
using quellstone::testing::ManualTickers;
using quellstone::testing::TempDir;
using quellstone::testing::TestHttpServer;
using namespace std::chrono_literals;

class DesktopWindowsTest : public ::testing::Test {
protected:
    ApplicationSetup AppSetup() {
        return {{QUELLSTONE_PROGRAM_DIR, dir / "data", "/usr", "/opt/"},
                dir / "registry.reg",
                dir / "instance.lock",
                &tickers};
    }
    void StoreLanguage(const std::string& language) {
        platform::PosixFileStore files;
        platform::RegFileSettingsBackend backend(files, AppSetup().settingsFile);
        settings::SettingsStore(backend).Write("Settings", "curLang", language);
    }
    // Starts the program and steps the start-up window to its hand-over on the third tick.
    MainWindow& StartToMainWindow(Application& application) {
        EXPECT_TRUE(application.Start());
        EXPECT_TRUE(application.Splash()->isVisible());
        for (int tick = 1; tick <= 3; ++tick) {
            EXPECT_EQ(application.Main(), nullptr) << "handed over before tick " << tick;
            EXPECT_TRUE(tickers.Fire("splash"));
        }
        EXPECT_FALSE(tickers.Fire("splash"));  // stopped at the hand-over
        if (!application.Main()) throw std::runtime_error("no main window after the start-up window");
        return *application.Main();
    }
    // Scans `folder` as a user would: the Scan frame, the chosen-folder mode, the folder typed, the start button.
    static void ScanFolderFromWindow(MainWindow& main, const std::string& folder) {
        QTest::mouseClick(Find(main, "scanLink"), Qt::LeftButton);
        Find<QAbstractButton>(main, "chosenFolderOption")->click();
        auto* field = Find<QLineEdit>(main, "scanFolderEdit");
        field->clear();
        QTest::keyClicks(field, QString::fromStdString(folder));
        Find<QAbstractButton>(main, "startScanButton")->click();
    }
    template <typename T = QWidget>
    static T* Find(QWidget& window, const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    static void Hover(QWidget* widget) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(widget, &enter);
    }

    ManualTickers tickers;  // before every window, which hold its tickers
    TempDir dir;
    platform::PosixFileStore files_;
    FakeDialogs dialogs;
    FakeShell shell;
    platform::OfflineHttpClient http;
};

TEST_F(DesktopWindowsTest, FirstStartGoesFromTheStartUpWindowToTheMainWindow) {
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(application.Splash()->isVisible());
    ASSERT_EQ(dialogs.shown.size(), 1u);  // no language stored yet
    EXPECT_EQ(dialogs.shown[0].text, "Error: Failed loading selected language.");
    EXPECT_EQ(Find<QLabel>(main, "scanLink")->text(), "Scan...");
    EXPECT_EQ(Find<QLabel>(main, "lastScanLabel")->text(), "Nigdy");
    EXPECT_EQ(Find<QLabel>(main, "versionLabel")->text(), "Version: 1.05");

    // The silent check's start timer fires once: it loads the silent check, which asks on its first tick.
    EXPECT_EQ(tickers.Find("main.silentCheckStart")->Interval(), 1000);
    EXPECT_EQ(application.SilentUpdateLoads(), 0);
    EXPECT_TRUE(tickers.Fire("main.silentCheckStart"));
    EXPECT_EQ(application.SilentUpdateLoads(), 1);
    EXPECT_FALSE(tickers.Fire("main.silentCheckStart"));
    EXPECT_EQ(http.requests, 0);
    EXPECT_TRUE(tickers.Fire("update.silent"));
    EXPECT_FALSE(tickers.Fire("update.silent"));
    EXPECT_EQ(application.SilentUpdateLoads(), 1);
    EXPECT_EQ(http.requests, 1);  // the silent check asked once, and said nothing of a failure
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(DesktopWindowsTest, CaptionsComeFromTheChosenLanguageFile) {
    StoreLanguage("Polish");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Find<QLabel>(main, "scanLink")->text(), QString::fromUtf8("Skanuj..."));
    EXPECT_EQ(Find<QLabel>(main, "exitLink")->text(), QString::fromUtf8("Zamknij"));  // "&" dropped on a label
    EXPECT_EQ(main.menuBar()->findChild<QMenu*>("programMenu")->title(), QString::fromUtf8("&Program"));
    EXPECT_EQ(Find<QWidget>(main, "saveLanguageButton")->property("text").toString(), QString::fromUtf8("&Zapisz"));
}

TEST_F(DesktopWindowsTest, LinksSwitchFramesAndHoverFollowsThePointer) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    QTest::mouseClick(Find(main, "quarantineLink"), Qt::LeftButton);
    EXPECT_TRUE(Find(main, "quarantineFrame")->isVisibleTo(&main));
    EXPECT_FALSE(Find(main, "informationFrame")->isVisibleTo(&main));
    QTest::keyClick(Find(main, "settingsLink"), Qt::Key_Return);  // links work from the keyboard too
    EXPECT_TRUE(Find(main, "settingsFrame")->isVisibleTo(&main));

    Hover(Find(main, "informationLink"));
    EXPECT_FALSE(Find<QLabel>(main, "informationHighlight")->pixmap().isNull());
    EXPECT_TRUE(Find(main, "informationLink")->font().underline());
    Hover(Find(main, "scanLink"));
    EXPECT_TRUE(Find<QLabel>(main, "informationHighlight")->pixmap().isNull());
    EXPECT_FALSE(Find<QLabel>(main, "scanHighlight")->pixmap().isNull());
    Hover(Find(main, "updateLink"));  // a link outside the list leaves the highlight alone
    EXPECT_FALSE(Find<QLabel>(main, "scanHighlight")->pixmap().isNull());
    EXPECT_EQ(Find(main, "scanLink")->cursor().shape(), Qt::PointingHandCursor);
    Hover(Find(main, "navigation"));
    EXPECT_TRUE(Find<QLabel>(main, "scanHighlight")->pixmap().isNull());
    EXPECT_FALSE(Find(main, "scanLink")->font().underline());
}

TEST_F(DesktopWindowsTest, EachFrameHandsItsControlsToTheModel) {
    StoreLanguage("English");
    {
        platform::RegFileSettingsBackend backend(files_, AppSetup().settingsFile);
        settings::SettingsStore(backend).Write("Status", "Totalscans", "12");
    }
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    const windows::MainWindowModel& model = *application.MainModel();

    // Information: the ad monitor's status link and the reset button.
    QTest::mouseClick(Find(main, "adMonitorLink"), Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>(main, "adMonitorLink")->text(), "The ad monitor is not available in this version.");
    EXPECT_EQ(Find<QLabel>(main, "totalScansLabel")->text(), "12");
    Find<QAbstractButton>(main, "resetStatisticsButton")->click();
    EXPECT_EQ(Find<QLabel>(main, "totalScansLabel")->text(), "0");

    // Scan: each mode button and check box stands for its own mode and option.
    main.findChild<QAction*>("scanAction")->trigger();
    EXPECT_TRUE(Find(main, "scanFrame")->isVisibleTo(&main));
    EXPECT_TRUE(Find<QAbstractButton>(main, "wholeComputerOption")->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(main, "adwareCheck")->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(main, "lessDangerousCheck")->isChecked());
    EXPECT_FALSE(Find<QAbstractButton>(main, "highPriorityCheck")->isChecked());
    EXPECT_FALSE(Find(main, "browseButton")->isEnabled());
    Find<QAbstractButton>(main, "chosenFolderOption")->click();
    EXPECT_TRUE(Find(main, "browseButton")->isEnabled());
    Find<QAbstractButton>(main, "quickScanOption")->click();
    EXPECT_EQ(model.ScanMode(), scan::ScanMode::QuickScan);
    EXPECT_FALSE(Find(main, "browseButton")->isEnabled());
    Find<QAbstractButton>(main, "highPriorityCheck")->click();
    Find<QAbstractButton>(main, "adwareCheck")->click();
    EXPECT_TRUE(model.Checked(windows::ScanOption::HighPriority));
    EXPECT_FALSE(model.Checked(windows::ScanOption::Adware));
    EXPECT_TRUE(model.Checked(windows::ScanOption::LessDangerous));

    // Settings: the language box starts at the stored language; saving stores the choice.
    main.findChild<QAction*>("settingsAction")->trigger();
    auto* language = Find<QComboBox>(main, "languageBox");
    EXPECT_EQ(language->currentText(), "English");
    language->setCurrentText("Deutsch");
    Find<QAbstractButton>(main, "saveLanguageButton")->click();
    platform::RegFileSettingsBackend backend(files_, AppSetup().settingsFile);
    EXPECT_EQ(settings::SettingsStore(backend).Read("Settings", "curLang", ""), "Deutsch");
}

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
    Find<QAbstractButton>(main, "startScanButton")->click();  // returns when the scan has ended

    ASSERT_NE(application.Scan(), nullptr);
    ScanWindow& window = *application.Scan();
    EXPECT_TRUE(window.isVisible());
    QAbstractItemModel& results = *window.ResultList()->model();
    ASSERT_EQ(results.rowCount(), 2);
    EXPECT_EQ(results.index(0, 1).data(), QString::fromStdString(tree + "/sub/quellstone-test.exe"));
    EXPECT_EQ(results.index(0, 0).data(Qt::CheckStateRole), Qt::Checked);
    EXPECT_FALSE(Find(window, "stopButton")->isEnabled());
    EXPECT_TRUE(Find(window, "removeButton")->isEnabled());
    EXPECT_EQ(Find<QLabel>(window, "operationLabel")->text(), "Scan finished.");
    EXPECT_EQ(Find<QLabel>(main, "totalScansLabel")->text(), "1");

    // Unticking a row reaches the model; closing with rows asks first.
    results.setData(results.index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_FALSE(application.ScanModel()->Rows()[1].checked);
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
    context.scan.scanRunning = true;
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
    EXPECT_TRUE(context.scan.scanRunning);
    stop->Fire();
    EXPECT_FALSE(context.scan.scanRunning);
}

TEST_F(DesktopWindowsTest, RemovingDetectionsFillsTheQuarantineFrame) {
    StoreLanguage("English");
    {
        platform::RegFileSettingsBackend backend(files_, AppSetup().settingsFile);
        settings::SettingsStore(backend).Write("Settings", "Quarintine", "1");
    }
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE", "payload");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(main, tree);
    ScanWindow& window = *application.Scan();
    Find<QAbstractButton>(window, "removeButton")->click();
    EXPECT_EQ(dialogs.shown.back().text.substr(0, 17), "Removal finished.");
    EXPECT_EQ(window.Tabs()->currentIndex(), 1);
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
    QTest::keyClick(Find(main, "deleteLink"), Qt::Key_Return);
    EXPECT_EQ(rows.rowCount(), 0);
}

TEST_F(DesktopWindowsTest, TheQuarantineListShowsTheArchivesAsTheyAreNow) {
    StoreLanguage("English");
    {
        platform::RegFileSettingsBackend backend(files_, AppSetup().settingsFile);
        settings::SettingsStore(backend).Write("Settings", "Quarintine", "1");
    }
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE", "payload");
    quellstone::testing::WriteFile(tree + "/MSBLAST.EXE", "worm");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ScanFolderFromWindow(main, tree);
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
    ScanFolderFromWindow(main, dir / "no-such-folder");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().text,
              "This folder could not be read, so it was not scanned:\r" + dir / "no-such-folder");
    EXPECT_EQ(application.ScanModel()->ReportText().find("Nothing was found."), std::string::npos);

    ScanFolderFromWindow(main, tree);
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

// The result list's table over a scan window model that the test fills as a
// walk and a removal pass would.
TEST(ResultTable, ShowsNewRowsInOneInsertionWithTheirBoxesAndOutcomes) {
    LoadPictures();
    platform::PosixFileStore files;
    app::Context context(files, QUELLSTONE_PROGRAM_DIR);
    FakeDialogs dialogs;
    windows::ScanWindowModel window(context.languageText, context.scan, dialogs, files);
    window.Load();
    quellstone::testing::FakeFileOperations disk;
    quellstone::testing::MemorySettingsBackend backend;
    settings::SettingsStore store(backend);
    quellstone::testing::FakeFileStore folders;
    quarantine::Remover remover(disk, folders, store, {"/prog", "/data", "/usr", "/opt/"});
    const auto detect = [&](const std::string& path) {
        disk.files[path] = "MZ";
        window.AddDetection("TROJAN.X", path);
    };

    ResultTableModel table(window);
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
    EXPECT_FALSE(window.Rows()[1].checked);
    EXPECT_EQ(second.data(Qt::CheckStateRole), Qt::Unchecked);
    EXPECT_FALSE(table.setData(table.index(1, ResultTableModel::PathColumn), Qt::Checked, Qt::CheckStateRole));

    // A removal pass: the rows show their outcome once the window redraws them.
    disk.undeletable.insert("/a/three.exe");
    windows::MainWindowCounters counters{[] {}, [](std::int64_t) {}};
    window.RemoveClicked(remover, counters);
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

    // The model's list emptied (the window closed): the table drops its rows.
    window.Unload();
    table.RedrawShownRows();
    EXPECT_EQ(table.rowCount(), 0);
    detect("/b/again.exe");
    table.ShowNewRows();
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.index(0, ResultTableModel::PathColumn).data(), "/b/again.exe");
    EXPECT_TRUE(
        ShowsPicture(table.index(0, ResultTableModel::DetectionColumn).data(Qt::DecorationRole), "detected.svg"));
}

TEST_F(DesktopWindowsTest, ASecondInstanceIsRefused) {
    StoreLanguage("English");
    Application first(AppSetup(), dialogs, shell, http);
    ASSERT_TRUE(first.Start());
    FakeDialogs secondDialogs;
    Application second(AppSetup(), secondDialogs, shell, http);
    EXPECT_FALSE(second.Start());
    ASSERT_EQ(secondDialogs.shown.size(), 1u);
    EXPECT_EQ(secondDialogs.shown[0].icon, ports::MessageIcon::Error);
    EXPECT_NE(secondDialogs.shown[0].text.find("already running"), std::string::npos);
    EXPECT_TRUE(first.Splash()->isVisible());  // the running instance is untouched
}

TEST_F(DesktopWindowsTest, RealTickersRunOnQtTimers) {
    const std::unique_ptr<Ticker> ticker = QtTickers::Real().Make("any");
    int ticks = 0;
    ticker->OnTick([&] { ++ticks; });
    ticker->SetInterval(0);
    EXPECT_FALSE(ticker->IsActive());
    ticker->Start();
    EXPECT_TRUE(ticker->IsActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 10000));
    ticker->Stop();
    EXPECT_FALSE(ticker->IsActive());
}

// Sends every request to the test server, whatever address the program asks
// for, over real libcurl, and records how each request ended. `onTurn` runs
// at every turn of a wait, after the transfer's step.
class ServerHttpClient final : public ports::HttpClient {
public:
    explicit ServerHttpClient(TestHttpServer& server) : server_(server) {}

    int started = 0;
    int cancelledWhileWaiting = 0;  // cancels that ended a request still waiting on the server
    int endedWithoutCancel = 0;     // requests that ended by themselves (an answer, a time-out)
    std::function<void()> onTurn;

    std::unique_ptr<ports::HttpRequest> NewRequest() override {
        return std::make_unique<Request>(*this, curl_.NewRequest());
    }

private:
    class Request final : public ports::HttpRequest {
    public:
        Request(ServerHttpClient& owner, std::unique_ptr<ports::HttpRequest> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        bool Start(const std::string& url) override {
            ++owner_.started;
            const std::size_t path = url.find('/', url.find("://") + 3);
            running_ = inner_->Start(owner_.server_.Address() + url.substr(path + 1));
            return running_;
        }
        bool StillRunning() override {
            const bool still = inner_->StillRunning();
            if (running_ && !still) ++owner_.endedWithoutCancel;
            running_ = still;
            if (owner_.onTurn) owner_.onTurn();
            return still;
        }
        std::string Headers() override { return inner_->Headers(); }
        std::string NextChunk(std::size_t maxChars) override { return inner_->NextChunk(maxChars); }
        void Cancel() override {
            if (running_) ++owner_.cancelledWhileWaiting;
            running_ = false;
            inner_->Cancel();
        }

    private:
        ServerHttpClient& owner_;
        std::unique_ptr<ports::HttpRequest> inner_;
        bool running_ = false;
    };

    TestHttpServer& server_;
    // Long enough that only a cancel, never the time-out, ends a wait in these tests.
    platform::CurlHttpClient curl_{120s};
};

// Quitting while an update check waits on a server that never answers: the
// check's request is cancelled, its wait unwinds and the event loop ends.
class QuitDuringUpdateCheckTest : public DesktopWindowsTest {
protected:
    QuitDuringUpdateCheckTest() {
        StoreLanguage("English");
        server.answer = false;
    }

    // Runs the program's event loop as main() does, `check` its first event.
    // The quit (`quit` on the main window) is posted at the first turn of the
    // check's wait after the server took the connection; the loop's own
    // event pump runs it from inside the wait. Returns the loop's exit code.
    int RunCheckAndQuit(MainWindow& main, const std::function<void()>& check,
                        const std::function<void(MainWindow&)>& quit) {
        const int connections = server.Connections();
        client.onTurn = [&, connections] {
            if (quitPosted || server.Connections() == connections) return;
            quitPosted = true;
            QMetaObject::invokeMethod(
                qApp, [&] { quit(main); }, Qt::QueuedConnection);
        };
        QMetaObject::invokeMethod(qApp, check, Qt::QueuedConnection);
        const int code = QApplication::exec();
        client.onTurn = {};
        return code;
    }

    TestHttpServer server;
    ServerHttpClient client{server};
    bool quitPosted = false;
};

TEST_F(QuitDuringUpdateCheckTest, EveryWayOfQuittingEndsTheManualCheck) {
    const std::pair<const char*, std::function<void(MainWindow&)>> ways[] = {
        {"the close link", [](MainWindow& main) { QTest::mouseClick(Find(main, "exitLink"), Qt::LeftButton); }},
        {"the menu's exit", [](MainWindow& main) { main.findChild<QAction*>("exitAction")->trigger(); }},
        {"the window's close", [](MainWindow& main) { main.close(); }},
    };
    for (const auto& [way, quit] : ways) {
        SCOPED_TRACE(way);
        quitPosted = false;
        client.cancelledWhileWaiting = 0;
        client.endedWithoutCancel = 0;
        const int connections = server.Connections();
        const int started = client.started;
        Application application(AppSetup(), dialogs, shell, client);
        MainWindow& main = StartToMainWindow(application);
        QTest::mouseClick(Find(main, "updateLink"), Qt::LeftButton);  // the update link opens the window
        ASSERT_NE(application.Update(), nullptr);
        EXPECT_TRUE(application.Update()->isVisible());

        // The window checks on its first tick of the check timer; the server never answers.
        const int code = RunCheckAndQuit(
            main, [&] { tickers.Fire("update.check"); }, quit);
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(quitPosted);
        EXPECT_EQ(server.Connections(), connections + 1);
        EXPECT_EQ(client.cancelledWhileWaiting, 1);
        EXPECT_EQ(client.endedWithoutCancel, 0);
        EXPECT_FALSE(application.UpdateModel()->Checking());
        EXPECT_FALSE(main.isVisible());
        EXPECT_FALSE(application.Update()->isVisible());
        EXPECT_TRUE(dialogs.shown.empty());  // no "no newer version" after a quit
        EXPECT_EQ(client.started, started + 1);
    }
}

TEST_F(QuitDuringUpdateCheckTest, QuittingEndsTheSilentCheck) {
    Application application(AppSetup(), dialogs, shell, client);
    MainWindow& main = StartToMainWindow(application);
    ASSERT_TRUE(tickers.Fire("main.silentCheckStart"));  // loads the silent check
    const int code = RunCheckAndQuit(
        main, [&] { tickers.Fire("update.silent"); },
        [](MainWindow& window) { QTest::mouseClick(Find(window, "exitLink"), Qt::LeftButton); });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(quitPosted);
    EXPECT_EQ(client.started, 1);
    EXPECT_EQ(client.cancelledWhileWaiting, 1);
    EXPECT_EQ(client.endedWithoutCancel, 0);
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace quellstone::gui

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The program must end through its own quit, not because Qt saw its last window close.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
