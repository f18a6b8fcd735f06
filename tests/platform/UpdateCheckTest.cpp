// The update check against a real HTTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "core/app/Context.h"
#include "core/update/UpdateCheck.h"
#include "core/windows/UpdateWindowModel.h"
#include "platform/CurlHttpClient.h"
#include "platform/OfflineHttpClient.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"
#include "support/RecordingSink.h"
#include "support/TestHttpServer.h"

namespace quellstone::update {
namespace {

using namespace quellstone::testing;
using namespace std::chrono_literals;

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest()
        : store(backend),
          context(files, "/prog"),
          openers(store, shell, tree, "/prog", i18n::VendorAddresses::Defaults()) {
        store.Write("Settings", "curLang", "English");
        FillWithNumbers(context.languageText);
        context.languageText.Set(320, "newest %1");
        context.languageText.Set(321, "unreachable: %1");
        context.languageText.Set(322, "%1 -> %2");
        context.languageText.Set(323, "not a version");
        context.languageText.Set(324, "no answer");
        context.languageText.Set(287, "failed: %1");
    }
    windows::UpdatePorts Ports() { return Ports(http, server.Address()); }
    windows::UpdatePorts Ports(ports::HttpClient& client, const std::string& address) {
        return {client, pump, dialogs, openers, address, context.languageText, context.quit.get_token()};
    }
    // The manual window's check, as its first check tick runs it.
    std::vector<std::string> ManualCheck() { return ManualCheck(Ports()); }
    std::vector<std::string> ManualCheck(windows::UpdatePorts ports) {
        windows::UpdateWindowModel window(std::move(ports));
        window.Load();
        window.CheckTick();
        EXPECT_TRUE(window.Closed());
        std::vector<std::string> shown;
        for (const auto& message : dialogs.shown) shown.push_back(message.text);
        dialogs.shown.clear();
        return shown;
    }
    // The one message of a manual check that failed, or "" when it does not start with `kind`.
    std::string FailureShown(std::string_view kind) {
        const std::vector<std::string> shown = ManualCheck();
        if (shown.size() != 1 || !shown[0].starts_with(kind)) return "";
        return shown[0];
    }
    std::vector<std::string> ServeVersion(const std::string& body) {
        server.response = HttpResponse("200 OK", body);
        return ManualCheck();
    }

    TestHttpServer server;
    platform::CurlHttpClient http{5s};
    CountingPump pump;
    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeDialogs dialogs;
    FakeShell shell;
    app::Context context;
    i18n::DocumentOpeners openers;
};

TEST_F(UpdateCheckTest, ComparesTheVersionFileWithTheLocalVersion) {
    dialogs.answer = ports::MessageAnswer::Yes;
    EXPECT_EQ(ServeVersion("1.06"), std::vector<std::string>{"1.05 -> 1.06\r\rT144"});  // both versions named
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://www.orvanta.example/en/download/"});
    EXPECT_EQ(server.LastRequestLine(), "GET /updates/velkaro.txt HTTP/1.1");
    dialogs.answer = ports::MessageAnswer::No;
    EXPECT_EQ(ServeVersion("1.1"),
              std::vector<std::string>{"1.05 -> 1.1\r\rT144"});  // "1.1" > "1.05" character by character
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(ServeVersion("1.05"), std::vector<std::string>{"newest 1.05"});
    EXPECT_EQ(ServeVersion("1.04"), std::vector<std::string>{"newest 1.05"});
    EXPECT_EQ(ServeVersion("1.05\r\n"), std::vector<std::string>{"newest 1.05"});  // a line end is not a new version
    EXPECT_EQ(ServeVersion(" 1.06\n"), std::vector<std::string>{"1.05 -> 1.06\r\rT144"});
}

TEST_F(UpdateCheckTest, AFailedCheckNamesItsKindAndKeepsTheTransportsWordsAsDetails) {
    platform::OfflineHttpClient slow(ports::HttpFailure::TimedOut, "Operation timed out");
    platform::OfflineHttpClient unnamed(ports::HttpFailure::HostNotFound, "Could not resolve host: x.invalid");
    server.response = HttpResponse("404 Not Found", "9.99");
    const std::tuple<ports::HttpClient&, std::string, std::string> cases[] = {
        {http, "http://127.0.0.1:1/", "unreachable: T450\rT455 "},  // a closed port: libcurl's words follow
        {slow, server.Address(), "unreachable: T451\rT455 Operation timed out"},
        {unnamed, server.Address(), "unreachable: T452\rT455 Could not resolve host: x.invalid"},
        // The server was reached: the check failed, but not for want of a connection.
        {http, server.Address(), "failed: T453 404\rT455 HTTP/1.1 404 Not Found"},
    };
    for (const auto& [client, address, shown] : cases) {
        const std::vector<std::string> messages = ManualCheck(Ports(client, address));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].starts_with(shown)) << messages[0];
    }
}

TEST_F(UpdateCheckTest, AFailedCheckSaysWhyAndIsNotTakenForTheNewestVersion) {
    // No status code, or no HTTP at all: the transport's own words say why.
    for (const char* response : {"HTTP/1.1\r\nContent-Length: 4\r\n\r\n9.99", "garbage that is not HTTP\r\n\r\n"}) {
        server.response = response;
        const std::string shown = FailureShown("");
        EXPECT_TRUE(shown.starts_with("unreachable: ") || shown.starts_with("failed: ")) << response;
        EXPECT_GT(shown.size(), std::string("failed: ").size()) << response;
    }
    // An informational response before the real one: the real one's status counts.
    server.response = "HTTP/1.1 103 Early Hints\r\nLink: </x>\r\n\r\n" + HttpResponse("200 OK", "1.04");
    EXPECT_EQ(ManualCheck(), std::vector<std::string>{"newest 1.05"});
    server.response = "HTTP/1.1 103 Early Hints\r\n\r\n" + HttpResponse("200 OK", "1.06");
    dialogs.answer = ports::MessageAnswer::No;
    EXPECT_EQ(ManualCheck(), std::vector<std::string>{"1.05 -> 1.06\r\rT144"});

    // A hostile status line is shown as the text it is, escaped and cut short,
    // and a "%1" in it is never filled in.
    server.response = HttpResponse(
        "500 <b>x</b> %1 %2 \x1b[31m\xE2\x80\xAE"
        "exe.txt " +
            std::string(400, 'y'),
        "");
    const std::string hostile = FailureShown("failed: T453 500\r");
    EXPECT_NE(hostile.find("\rT455 HTTP/1.1 500 <b>x</b> %1 %2 \\x1b[31m\\xe2\\x80\\xaeexe.txt yyy"), std::string::npos)
        << hostile;
    EXPECT_TRUE(hostile.ends_with("y...")) << hostile;
    EXPECT_LT(hostile.size(), 260u);

    // The silent check says nothing when nothing is newer or the check fails.
    server.response = HttpResponse("200 OK", "1.05");
    windows::SilentUpdateModel silent(Ports());
    silent.TimerTick();
    EXPECT_TRUE(silent.Closed());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateCheckTest, ReadsABigBodyInChunksAndRefusesAHugeOne) {
    const std::string big = "2" + std::string(1500000, '0');
    server.response = HttpResponse("200 OK", big);
    auto request = http.NewRequest();
    std::string body;
    ASSERT_TRUE(DownloadVersionFile(*request, pump, VersionFileAddress(server.Address()), body));
    EXPECT_EQ(body, big);

    platform::CurlHttpClient small(5s, 1000);
    auto capped = small.NewRequest();
    body = "unchanged";
    EXPECT_FALSE(DownloadVersionFile(*capped, pump, VersionFileAddress(server.Address()), body));
    EXPECT_EQ(body, "unchanged");
}

TEST_F(UpdateCheckTest, TimesOutIsRefusedAndCanBeCancelled) {
    server.answer = false;
    platform::CurlHttpClient impatient(300ms);
    auto request = impatient.NewRequest();
    std::string body = "unchanged";
    DownloadFailure failure;
    EXPECT_FALSE(DownloadVersionFile(*request, pump, VersionFileAddress(server.Address()), body, {}, failure));
    EXPECT_EQ(body, "unchanged");
    EXPECT_EQ(failure.transport, ports::HttpFailure::TimedOut);
    EXPECT_GT(pump.calls, 0);  // it waited, yielding, until the time-out
    // The request did reach the server, which never answered: the time-out ended it.
    EXPECT_EQ(server.WaitForRequestLine(), "GET /updates/velkaro.txt HTTP/1.1");
    EXPECT_EQ(server.Connections(), 1);

    auto refused = http.NewRequest();
    EXPECT_FALSE(DownloadVersionFile(*refused, pump, "http://127.0.0.1:1/updates/velkaro.txt", body, {}, failure));
    EXPECT_NE(failure.text, "");  // the transport says why
    EXPECT_FALSE(failure.answered);

    // Cancel before the first tick: no request at all, no message.
    const int before = server.Connections();
    windows::UpdateWindowModel window(Ports());
    window.Load();
    window.CancelClicked();
    window.CheckTick();
    EXPECT_TRUE(window.Closed());
    EXPECT_EQ(window.RequestsMade(), 0);
    EXPECT_EQ(server.Connections(), before);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateCheckTest, TheWindowKeepsRunningDuringASlowDownload) {
    // The server sends the status line and holds the rest until released.
    server.response = HttpResponse("200 OK", "1.06");
    server.pieces = 2;
    server.hold = true;
    {
        windows::UpdateWindowModel window(Ports());
        window.Load();
        // Closing the window from inside the wait (as a click would) cancels the request.
        pump.action = [&] {
            if (pump.calls == 20) window.CancelClicked();
        };
        window.CheckTick();
        EXPECT_EQ(pump.calls, 20);  // pumped all along, and not once after the cancel
        EXPECT_TRUE(window.Closed());
        EXPECT_TRUE(dialogs.shown.empty());  // cancelled: no answer is shown
    }
    // Released from inside the wait, the download ends and its version is compared.
    pump.calls = 0;
    pump.action = [&] {
        if (pump.calls == 5) server.Release();
    };
    dialogs.answer = ports::MessageAnswer::No;
    EXPECT_EQ(ManualCheck(), std::vector<std::string>{"1.05 -> 1.06\r\rT144"});
    EXPECT_GE(pump.calls, 5);
}

TEST_F(UpdateCheckTest, AQuitRequestEndsTheWaitAndCancelsTheRequest) {
    server.answer = false;
    // Asked to quit at the third yield, the wait on a silent server ends there.
    pump.action = [&] {
        if (pump.calls == 3) context.quit.request_stop();
    };
    windows::SilentUpdateModel silent(Ports());
    silent.TimerTick();
    EXPECT_EQ(pump.calls, 3);
    EXPECT_TRUE(silent.Closed());
    EXPECT_TRUE(dialogs.shown.empty());

    // Once quitting, no check starts at all.
    const int connections = server.Connections();
    auto request = http.NewRequest();
    std::string body;
    EXPECT_FALSE(
        DownloadVersionFile(*request, pump, VersionFileAddress(server.Address()), body, context.quit.get_token()));
    EXPECT_EQ(pump.calls, 3);
    EXPECT_EQ(server.Connections(), connections);
}

TEST_F(UpdateCheckTest, ABodyThatIsNoVersionNumberIsAFailedCheck) {
    using namespace std::string_literals;
    for (const std::string& body : {"1.06\0"s, "<html>newer</html>"s}) {
        EXPECT_EQ(ServeVersion(body), std::vector<std::string>{"failed: not a version"}) << body;
    }
    EXPECT_TRUE(shell.opened.empty());
    // The silent check keeps quiet about it.
    server.response = HttpResponse("200 OK", "zzz");
    windows::SilentUpdateModel silent(Ports());
    silent.TimerTick();
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace quellstone::update
