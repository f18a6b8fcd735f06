#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "cli/CliRunner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using ::testing::HasSubstr;

class DatabaseCheckCommandTest : public quellstone::testing::CliTest {};

TEST_F(DatabaseCheckCommandTest, ExitStatusSaysCleanWarnedOrNotADatabase) {
    const std::string db = dir / "bdts.dll";
    struct Case {
        const char* text;
        int status;
        std::string out;  // a line the output holds
    };
    const Case cases[] = {
        {"[Database]\nVersion=2026.12.9\n[Scanfiles]\nA=T\n", 0, "Version: 2026.12.9\n[Scanfiles] names: 1\n"},
        {"[Scanfiles]\nA=T\na=U\n", 1, db + ":3: warning: name a is given on line 2 already"},
        {"[Database]\nVersion=1\n", 2, ""},
    };
    for (const Case& c : cases) {
        quellstone::testing::WriteFile(db, c.text);
        const auto result = Run({"database", "check", db});
        EXPECT_EQ(result.status, c.status) << c.text;
        EXPECT_THAT(result.out, HasSubstr(c.out)) << c.text;
    }
    EXPECT_EQ(Run({"database", "check", dir / "missing"}).status, 2);
    EXPECT_EQ(Run({"database", "check", "--help"}).status, 0);
}

}  // namespace
}  // namespace quellstone::cli
