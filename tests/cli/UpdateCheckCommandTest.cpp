#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/TestHttpServer.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::HttpResponse;
using quellstone::testing::RunCli;
using quellstone::testing::TestHttpServer;

TEST(UpdateCheckCommand, ExitStatusTellsTheAnswer) {
    TestHttpServer server;
    server.response = HttpResponse("200 OK", "1.06\n");
    auto newer = RunCli({"update-check", "--server", server.Address()});
    EXPECT_EQ(newer.status, 1);
    EXPECT_EQ(newer.out, "Local version: 1.05\nRemote version: 1.06\nA newer version is available.\n");
    server.response = HttpResponse("200 OK", "1.05\r\n");
    EXPECT_EQ(RunCli({"update-check", "--server", server.Address()}).status, 0);
    server.response = HttpResponse("404 Not Found", "2.0");
    const auto missing = RunCli({"update-check", "--server", server.Address()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("velkaro.txt: the server answered HTTP/1.1 404 Not Found"), std::string::npos)
        << missing.err;
    EXPECT_EQ(RunCli({"update-check", "--server", "http://127.0.0.1:1/"}).status, 2);
    EXPECT_EQ(RunCli({"update-check", "--frobnicate"}).status, 2);
}

TEST(UpdateCheckCommand, ABodyThatIsNoVersionNumberFailsTheCheck) {
    TestHttpServer server;
    // A page instead of the version file: its first line, cut at 64 characters, is shown.
    server.response = HttpResponse("200 OK", "  " + std::string(80, 'x') + "\r\n<body>9.99</body>\n");
    const auto page = RunCli({"update-check", "--server", server.Address()});
    EXPECT_EQ(page.status, 2);
    EXPECT_EQ(page.out, "Local version: 1.05\nRemote version: " + std::string(64, 'x') + "...\n");
    EXPECT_NE(page.err.find("does not hold a version number"), std::string::npos) << page.err;

    server.response = HttpResponse("200 OK", std::string("9.99\0\x1b", 6));
    const auto binary = RunCli({"update-check", "--server", server.Address()});
    EXPECT_EQ(binary.status, 2);
    EXPECT_EQ(binary.out, "Local version: 1.05\nRemote version: 9.99\\x00\\x1b\n");
}

}  // namespace
}  // namespace quellstone::cli
