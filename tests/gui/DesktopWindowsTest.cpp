// The desktop windows on Qt's offscreen platform, over the real settings
// file and the built program folder's language files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <stdexcept>

#include "gui/app/Application.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SplashWindow.h"
#include "gui/scan/ScanWindow.h"
#include "gui/update/UpdateWindows.h"
#include "platform/CurlHttpClient.h"
#include "platform/OfflineHttpClient.h"
#include "support/FakeDesktop.h"
#include "support/ManualTickers.h"
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
        QTest::mouseClick(Find(main, "Label6"), Qt::LeftButton);
        Find<QAbstractButton>(main, "optScanMODE1")->click();
        auto* field = Find<QLineEdit>(main, "Text2");
        field->clear();
        QTest::keyClicks(field, QString::fromStdString(folder));
        Find<QAbstractButton>(main, "Command1")->click();
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
    EXPECT_EQ(Find<QLabel>(main, "Label6")->text(), "Scan...");
    EXPECT_EQ(Find<QLabel>(main, "lblStatus_System")->text(), "Nigdy");
    EXPECT_EQ(Find<QLabel>(main, "Label25")->text(), "Version: 1.05");

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
    EXPECT_EQ(Find<QLabel>(main, "Label6")->text(), QString::fromUtf8("Skanuj..."));
    EXPECT_EQ(Find<QLabel>(main, "Label19")->text(), QString::fromUtf8("Zamknij"));  // "&" dropped on a label
    EXPECT_EQ(main.menuBar()->findChild<QMenu*>("f1")->title(), QString::fromUtf8("&Program"));
    EXPECT_EQ(Find<QWidget>(main, "Command2")->property("text").toString(), QString::fromUtf8("&Zapisz"));
}

TEST_F(DesktopWindowsTest, LinksSwitchFramesAndHoverFollowsThePointer) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
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
    Application application(AppSetup(), dialogs, shell, http);
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
    Find<QAbstractButton>(*application.Scan(), "Command3")->click();
    EXPECT_FALSE(std::filesystem::exists(tree + "/QUELLSTONE-TEST.EXE"));
    EXPECT_TRUE(std::filesystem::exists(dir / "data/Orvanta/Quellstone/Archiwum/QUELLSTONE-TEST.EXE.arc"));
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
        {"the close link", [](MainWindow& main) { QTest::mouseClick(Find(main, "Label19"), Qt::LeftButton); }},
        {"the menu's exit", [](MainWindow& main) { main.findChild<QAction*>("f1close")->trigger(); }},
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
        QTest::mouseClick(Find(main, "Label21"), Qt::LeftButton);  // the update link opens the window
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
        [](MainWindow& window) { QTest::mouseClick(Find(window, "Label19"), Qt::LeftButton); });
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
