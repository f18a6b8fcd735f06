// Quitting while the update checks wait for the network.
#include "gui/DesktopFixture.h"
#include "gui/update/UpdateWindows.h"

namespace quellstone::gui {
namespace {

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

// Presses Ctrl+Q in `window` as a user does, once it is the active window (a
// shortcut reaches only that one). Runs inside the event loop: a failure ends
// the loop with -1 instead of leaving it waiting for a quit.
void PressCtrlQIn(QWidget* window) {
    if (window) window->activateWindow();
    if (!window || !QTest::qWaitForWindowActive(window)) {
        ADD_FAILURE() << "the window to press Ctrl+Q in never became active";
        QApplication::exit(-1);
        return;
    }
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
}

TEST_F(QuitDuringUpdateCheckTest, EveryWayOfQuittingEndsTheManualCheck) {
    const std::pair<const char*, std::function<void(MainWindow&)>> ways[] = {
        {"the close link", [](MainWindow& main) { QTest::mouseClick(Find(main, "exitLink"), Qt::LeftButton); }},
        {"the menu's exit", [](MainWindow& main) { main.findChild<QAction*>("exitAction")->trigger(); }},
        {"Ctrl+Q in the update window",
         [](MainWindow&) {
             QWidget* update = nullptr;
             for (QWidget* window : QApplication::topLevelWidgets()) {
                 if (qobject_cast<UpdateWindow*>(window) && window->isVisible()) update = window;
             }
             PressCtrlQIn(update);
         }},
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
    const std::pair<const char*, std::function<void(MainWindow&)>> ways[] = {
        {"the close link", [](MainWindow& main) { QTest::mouseClick(Find(main, "exitLink"), Qt::LeftButton); }},
        {"the exit action", [](MainWindow& main) { main.findChild<QAction*>("exitAction")->trigger(); }},
        {"Ctrl+Q", [](MainWindow& main) { PressCtrlQIn(&main); }},
    };
    for (const auto& [way, quit] : ways) {
        SCOPED_TRACE(way);
        quitPosted = false;
        client.started = 0;
        client.cancelledWhileWaiting = 0;
        client.endedWithoutCancel = 0;
        Application application(AppSetup(), dialogs, shell, client);
        MainWindow& main = StartToMainWindow(application);
        ASSERT_TRUE(tickers.Fire("main.silentCheckStart"));  // loads the silent check
        const int code = RunCheckAndQuit(
            main, [&] { tickers.Fire("update.silent"); }, quit);
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(quitPosted);
        EXPECT_EQ(client.started, 1);
        EXPECT_EQ(client.cancelledWhileWaiting, 1);
        EXPECT_EQ(client.endedWithoutCancel, 0);
        EXPECT_FALSE(main.isVisible());
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

}  // namespace
}  // namespace quellstone::gui
