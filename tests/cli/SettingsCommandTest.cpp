#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cli/CliRunner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using ::testing::HasSubstr;

class SettingsCommandTest : public quellstone::testing::CliTest {};

TEST_F(SettingsCommandTest, GetSetDeleteAndStats) {
    EXPECT_EQ(Run({"settings", "get", "Settings", "Quarintine"}).status, 1);
    EXPECT_EQ(Run({"settings", "set", "Settings", "Quarintine", "1"}).status, 0);
    const auto got = Run({"settings", "get", "settings", "QUARINTINE"});
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "1\n");
    EXPECT_EQ(Run({"settings", "delete", "Settings", "Quarintine"}).status, 0);
    EXPECT_EQ(Run({"settings", "delete", "Settings", "Quarintine"}).status, 1);
    EXPECT_EQ(Run({"settings", "set", "Settings"}).status, 2);
    EXPECT_EQ(Run({"settings", "frobnicate", "a", "b"}).status, 2);
    EXPECT_EQ(Run({"settings", "get", "a\\b", "c"}).status, 2);

    EXPECT_THAT(
        Run({"stats"}).out,
        ::testing::StartsWith("Scans started: 0\nObjects removed: 0\nLast system scan: Never\nDatabase in use: "));
    EXPECT_EQ(Run({"settings", "get", "Settings", "curLang"}).status, 1);  // stats chose no language
    ::mkdir((dir / "tree").c_str(), 0755);
    Run({"scan", dir / "tree"});
    Run({"scan", dir / "tree"});
    EXPECT_THAT(Run({"stats"}).out, HasSubstr("Scans started: 2\n"));
    EXPECT_THAT(Run({"settings", "get", "Status", "TotalScans"}).out, "2\n");
}

TEST_F(SettingsCommandTest, StatsSaysNeverInTheStoredLanguageAndStoresNothing) {
    const std::pair<std::string, std::string> languages[] = {
        {"Polish", "Nigdy"}, {"Deutsch", "Nie"}, {"Klingon", "Never"}};
    for (const auto& [language, never] : languages) {
        Run({"settings", "set", "Settings", "curLang", language});
        EXPECT_THAT(Run({"stats"}).out, HasSubstr("\nLast system scan: " + never + "\n")) << language;
    }
    EXPECT_EQ(Run({"settings", "get", "Status", "LastSystemScan"}).status, 1);
}

TEST_F(SettingsCommandTest, StatsNamesTheUnexpectedArgument) {
    Run({"settings", "set", "Status", "TotalScans", "5"});
    const auto extra = Run({"stats", "--reset", "extra"});
    EXPECT_EQ(extra.status, 2);
    EXPECT_EQ(extra.err, "quellstone-cli stats: unexpected argument extra\n");
    EXPECT_EQ(Run({"settings", "get", "Status", "TotalScans"}).out, "5\n");  // nothing was reset
}

TEST_F(SettingsCommandTest, AnUnwritableSettingsFolderIsAnError) {
    // A file where the settings folder should be: even root cannot create the folder.
    quellstone::testing::WriteFile(dir / "config");
    const auto result = Run({"settings", "set", "Settings", "curLang", "Polish"});
    EXPECT_EQ(result.status, 2);
    EXPECT_THAT(result.err, HasSubstr("could not write"));
}

}  // namespace
}  // namespace quellstone::cli
