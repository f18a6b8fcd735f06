// The desktop windows on Qt's offscreen platform, over the real settings
// file and the built program folder's language files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "gui/app/Application.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SplashWindow.h"
#include "gui/scan/ScanWindow.h"
#include "platform/OfflineHttpClient.h"
#include "support/FakeDesktop.h"
#include "support/TempDir.h"

namespace quellstone::gui {
namespace {

using quellstone::testing::FakeDialogs;
using quellstone::testing::FakeShell;
using quellstone::testing::TempDir;

class DesktopWindowsTest : public ::testing::Test {
protected:
    ApplicationSetup Setup() const {
        return {{QUELLSTONE_PROGRAM_DIR, dir / "data", "/usr", "/opt/"}, dir / "registry.reg", dir / "instance.lock"};
    }
    void StoreLanguage(const std::string& language) {
        platform::PosixFileStore files;
        platform::RegFileSettingsBackend backend(files, Setup().settingsFile);
        settings::SettingsStore(backend).Write("Settings", "curLang", language);
    }
    // Starts the program and waits for the start-up window to hand over.
    MainWindow& StartToMainWindow(Application& application) {
        EXPECT_TRUE(application.Start());
        EXPECT_TRUE(application.Splash()->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([&] { return application.Main() != nullptr; }, 5000));
        return *application.Main();
    }
    template <typename T = QWidget>
    static T* Find(QWidget& window, const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    static void Hover(QWidget* widget) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(widget, &enter);
    }

    TempDir dir;
    platform::PosixFileStore files_;
    FakeDialogs dialogs;
    FakeShell shell;
    platform::OfflineHttpClient http;
};

TEST_F(DesktopWindowsTest, FirstStartGoesFromTheStartUpWindowToTheMainWindow) {
    Application application(Setup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(application.Splash()->isVisible());
    ASSERT_EQ(dialogs.shown.size(), 1u);  // no language stored yet
    EXPECT_EQ(dialogs.shown[0].text, "Error: Failed loading selected language.");
    EXPECT_EQ(Find<QLabel>(main, "Label6")->text(), "Scan...");
    EXPECT_EQ(Find<QLabel>(main, "lblStatus_System")->text(), "Nigdy");
    EXPECT_EQ(Find<QLabel>(main, "Label25")->text(), "Version: 1.05");
    EXPECT_TRUE(QTest::qWaitFor([&] { return application.SilentUpdateLoads() == 1; }, 3000));
    QTest::qWait(1200);
    EXPECT_EQ(application.SilentUpdateLoads(), 1);
    EXPECT_EQ(http.requests, 1);  // the silent check asked once, and said nothing of a failure
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(DesktopWindowsTest, CaptionsComeFromTheChosenLanguageFile) {
    StoreLanguage("Polish");
    Application application(Setup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Find<QLabel>(main, "Label6")->text(), QString::fromUtf8("Skanuj..."));
    EXPECT_EQ(Find<QLabel>(main, "Label19")->text(), QString::fromUtf8("Zamknij"));  // "&" dropped on a label
    EXPECT_EQ(main.menuBar()->findChild<QMenu*>("f1")->title(), QString::fromUtf8("&Program"));
    EXPECT_EQ(Find<QWidget>(main, "Command2")->property("text").toString(), QString::fromUtf8("&Zapisz"));
}

TEST_F(DesktopWindowsTest, LinksSwitchFramesAndHoverFollowsThePointer) {
    StoreLanguage("English");
    Application application(Setup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    QTest::mouseClick(Find(main, "Label12"), Qt::LeftButton);
    EXPECT_TRUE(Find(main, "picFrame4")->isVisibleTo(&main));
    EXPECT_FALSE(Find(main, "picFrame0")->isVisibleTo(&main));
    QTest::keyClick(Find(main, "Label14"), Qt::Key_Return);  // links work from the keyboard too
    EXPECT_TRUE(Find(main, "picFrame2")->isVisibleTo(&main));

    Hover(Find(main, "Label4"));
    EXPECT_FALSE(Find<QLabel>(main, "m1")->pixmap().isNull());
    EXPECT_TRUE(Find(main, "Label4")->font().underline());
    Hover(Find(main, "Label6"));
    EXPECT_TRUE(Find<QLabel>(main, "m1")->pixmap().isNull());
    EXPECT_FALSE(Find<QLabel>(main, "m2")->pixmap().isNull());
    Hover(Find(main, "navigation"));
    EXPECT_TRUE(Find<QLabel>(main, "m2")->pixmap().isNull());
    EXPECT_FALSE(Find(main, "Label6")->font().underline());
}

TEST_F(DesktopWindowsTest, AScanFromTheWindowFillsTheScanWindow) {
    StoreLanguage("English");
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE");
    ::mkdir((tree + "/sub").c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/sub/quellstone-test.exe");
    Application application(Setup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    QTest::mouseClick(Find(main, "Label6"), Qt::LeftButton);
    Find<QAbstractButton>(main, "optScanMODE1")->click();
    ASSERT_TRUE(Find<QAbstractButton>(main, "optScanMODE1")->isChecked());
    auto* folder = Find<QLineEdit>(main, "Text2");
    folder->clear();
    QTest::keyClicks(folder, QString::fromStdString(tree));
    Find<QAbstractButton>(main, "Command1")->click();  // returns when the scan has ended

    ASSERT_NE(application.Scan(), nullptr);
    ScanWindow& window = *application.Scan();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(window.ResultList()->topLevelItemCount(), 2);
    EXPECT_EQ(window.ResultList()->topLevelItem(0)->text(1), QString::fromStdString(tree + "/sub/quellstone-test.exe"));
    EXPECT_EQ(window.ResultList()->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_FALSE(Find(window, "Command1")->isEnabled());
    EXPECT_TRUE(Find(window, "Command3")->isEnabled());
    EXPECT_EQ(Find<QLabel>(window, "lblOperation")->text(), "Scan finished.");
    EXPECT_EQ(Find<QLabel>(main, "lblStatus_Total")->text(), "1");

    // Unticking a row reaches the model; closing with rows asks first.
    window.ResultList()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
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
    scan::ScanWindowModel model(context, dialogs, files_);
    model.Load();
    ScanWindow window(model, nullptr);
    window.show();
    context.scan.scanRunning = true;
    model.StopClicked();
    window.Refresh();
    // A walk redraws the window at every yield, more often than the 10 ms stop timer.
    for (int i = 0; i < 100 && context.scan.scanRunning; ++i) {
        window.Refresh();
        QTest::qWait(4);
    }
    EXPECT_FALSE(context.scan.scanRunning);
}

TEST_F(DesktopWindowsTest, RemovingDetectionsFillsTheQuarantineFrame) {
    StoreLanguage("English");
    {
        platform::RegFileSettingsBackend backend(files_, Setup().settingsFile);
        settings::SettingsStore(backend).Write("Settings", "Quarintine", "1");
    }
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE", "payload");
    Application application(Setup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    QTest::mouseClick(Find(main, "Label6"), Qt::LeftButton);
    Find<QAbstractButton>(main, "optScanMODE1")->click();
    auto* folder = Find<QLineEdit>(main, "Text2");
    folder->clear();
    QTest::keyClicks(folder, QString::fromStdString(tree));
    Find<QAbstractButton>(main, "Command1")->click();
    ScanWindow& window = *application.Scan();
    Find<QAbstractButton>(window, "Command3")->click();
    EXPECT_EQ(dialogs.shown.back().text.substr(0, 17), "Removal finished.");
    EXPECT_EQ(window.Tabs()->currentIndex(), 1);
    EXPECT_EQ(Find<QLabel>(main, "lblStatus_Quarintine")->text(), "1");
    EXPECT_EQ(Find<QLabel>(main, "lblStatus_Removed")->text(), "1");

    QTest::mouseClick(Find(main, "Label12"), Qt::LeftButton);
    QTreeWidget* list = main.QuarantineList();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "QUELLSTONE-TEST.EXE.arc");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Test.File.Quellstone");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "7");
    QTest::keyClick(Find(main, "Label17"), Qt::Key_Return);  // nothing selected: nothing happens
    EXPECT_EQ(list->topLevelItemCount(), 1);
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(Find(main, "Label17"), Qt::Key_Return);
    EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(DesktopWindowsTest, ASecondInstanceIsRefused) {
    StoreLanguage("English");
    Application first(Setup(), dialogs, shell, http);
    ASSERT_TRUE(first.Start());
    FakeDialogs secondDialogs;
    Application second(Setup(), secondDialogs, shell, http);
    EXPECT_FALSE(second.Start());
    ASSERT_EQ(secondDialogs.shown.size(), 1u);
    EXPECT_EQ(secondDialogs.shown[0].icon, ports::MessageIcon::Error);
    EXPECT_NE(secondDialogs.shown[0].text.find("already running"), std::string::npos);
    EXPECT_TRUE(first.Splash()->isVisible());  // the running instance is untouched
}

}  // namespace
}  // namespace quellstone::gui

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
