// The start-up window, the main window and its frames.
#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

TEST_F(DesktopWindowsTest, FirstStartGoesFromTheStartUpWindowToTheMainWindow) {
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(application.Splash()->isVisible());
    ASSERT_EQ(dialogs.shown.size(), 1u);  // no language stored yet
    EXPECT_EQ(dialogs.shown[0].text, "Error: Failed loading selected language.");
    EXPECT_EQ(Find<QLabel>(main, "scanLink")->text(), "Scan...");
    EXPECT_EQ(Find<QLabel>(main, "lastScanLabel")->text(), "Never");  // in the language shown, not Polish
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

    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));  // pointer moves reach a shown window
    QTest::mouseMove(Find(main, "informationLink"));
    EXPECT_FALSE(Find<QLabel>(main, "informationHighlight")->pixmap().isNull());
    EXPECT_TRUE(Find(main, "informationLink")->font().underline());
    QTest::mouseMove(Find(main, "scanLink"));
    EXPECT_TRUE(Find<QLabel>(main, "informationHighlight")->pixmap().isNull());
    EXPECT_FALSE(Find<QLabel>(main, "scanHighlight")->pixmap().isNull());
    QTest::mouseMove(Find(main, "updateLink"));  // a link outside the list leaves the highlight alone
    EXPECT_FALSE(Find<QLabel>(main, "scanHighlight")->pixmap().isNull());
    EXPECT_EQ(Find(main, "scanLink")->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(Find(main, "navigation"), QPoint(3, 3));  // its bare top corner
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

TEST_F(DesktopWindowsTest, ASecondInstanceRaisesTheFirstThenIsRefused) {
    StoreLanguage("English");
    Application first(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(first);
    main.showMinimized();
    FakeDialogs secondDialogs;
    // While the message is up, the running window has already come out of the task bar.
    bool raisedBeforeMessage = false;
    secondDialogs.whileAsking = [&] {
        raisedBeforeMessage = QTest::qWaitFor([&] { return !main.isMinimized(); }, 10000);
    };
    Application second(AppSetup(), secondDialogs, shell, http);
    EXPECT_FALSE(second.Start());
    EXPECT_TRUE(raisedBeforeMessage);
    ASSERT_EQ(secondDialogs.shown.size(), 1u);
    EXPECT_EQ(secondDialogs.shown[0].icon, ports::MessageIcon::Error);
    EXPECT_NE(secondDialogs.shown[0].text.find("already running"), std::string::npos);
    EXPECT_TRUE(main.isVisible());  // the running instance goes on
}

TEST_F(DesktopWindowsTest, ADocumentOrPageThatNothingOpensIsNamedInAMessage) {
    StoreLanguage("English");
    shell.fails = true;
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    Activate(main);
    for (const std::function<void()>& open : std::initializer_list<std::function<void()>>{
             [&] { QTest::keyClick(&main, Qt::Key_F1); },
             [&] { main.findChild<QAction*>(QStringLiteral("licenseAction"))->trigger(); },
             [&] { QTest::mouseClick(Find(main, "helpLink"), Qt::LeftButton); }}) {
        shell.opened.clear();
        dialogs.shown.clear();
        open();
        ASSERT_EQ(shell.opened.size(), 1u);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.shown[0].text.starts_with("No program on this computer can open " + shell.opened[0] + "."));
    }
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

}  // namespace
}  // namespace quellstone::gui
