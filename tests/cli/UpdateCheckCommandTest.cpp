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
    EXPECT_EQ(newer.out, "Local version: 1.05\nRemote version: 1.06\\x0a\nA newer version is available.\n");
    server.response = HttpResponse("200 OK", "1.05\r\n");
    EXPECT_EQ(RunCli({"update-check", "--server", server.Address()}).status, 0);
    server.response = HttpResponse("404 Not Found", "2.0");
    EXPECT_EQ(RunCli({"update-check", "--server", server.Address()}).status, 2);
    EXPECT_EQ(RunCli({"update-check", "--server", "http://127.0.0.1:1/"}).status, 2);
    EXPECT_EQ(RunCli({"update-check", "--frobnicate"}).status, 2);
}

}  // namespace
}  // namespace quellstone::cli
