#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/TempDir.h"

namespace quellstone::cli {
namespace {

using quellstone::testing::ReadAll;
using quellstone::testing::WriteFile;
using ::testing::HasSubstr;

// `scan --remove` keeps a copy of each detected file whenever the settings
// file might say so, whatever state that file is in.
class SettingsFileScanTest : public quellstone::testing::CliTest {
protected:
    SettingsFileScanTest() {
        std::filesystem::create_directories(tree);
        std::filesystem::create_directories(configFolder);
        WriteFile(tree + "/QUELLSTONE-TEST.EXE", "detected");
    }
    const std::string tree = dir / "tree";
    const std::string configFolder = dir / "config/Orvanta";
    const std::string settingsFile = configFolder + "/registry.reg";
    const std::string archive = dir / "data/Orvanta/Quellstone/Archiwum/QUELLSTONE-TEST.EXE.arc";
};

TEST_F(SettingsFileScanTest, ASettingsFileThatCannotBeReadMeansKeepACopy) {
    std::filesystem::create_directories(settingsFile);  // a folder where the file should be
    const auto scan = Run({"scan", "--remove", tree});
    EXPECT_EQ(scan.status, 1) << scan.err;
    EXPECT_THAT(scan.out, HasSubstr(": REMOVED (kept in quarantine as QUELLSTONE-TEST.EXE.arc)\n"));
    EXPECT_FALSE(std::filesystem::exists(tree + "/QUELLSTONE-TEST.EXE"));
    EXPECT_TRUE(std::filesystem::exists(archive));
    EXPECT_TRUE(std::filesystem::is_directory(settingsFile));
}

TEST_F(SettingsFileScanTest, ABadLineDoesNotCostTheQuarantineSetting) {
    const std::string original =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n"
        "\"curLang\"=\"caf\xE9\"\n"
        "\"Quarintine\"=\"1\"\n";
    WriteFile(settingsFile, original);
    // A scan raises the scan counter: the first write after the bad line was read.
    std::filesystem::create_directories(dir / "clean");
    EXPECT_EQ(Run({"scan", dir / "clean"}).status, 0);
    EXPECT_EQ(Run({"settings", "get", "Settings", "Quarintine"}).out, "1\n");
    EXPECT_EQ(Run({"settings", "get", "Status", "TotalScans"}).out, "1\n");
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(configFolder)) {
        if (entry.path().filename().string().starts_with("registry.reg.bad-")) kept.push_back(ReadAll(entry.path()));
    }
    EXPECT_EQ(kept, std::vector<std::string>{original});

    const auto scan = Run({"scan", "--remove", tree});
    EXPECT_EQ(scan.status, 1) << scan.err;
    EXPECT_THAT(scan.out, HasSubstr(": REMOVED (kept in quarantine as QUELLSTONE-TEST.EXE.arc)\n"));
    EXPECT_EQ(ReadAll(archive), "detected");
    EXPECT_EQ(Run({"settings", "get", "Status", "TotalObjectsRemoved"}).out, "1\n");
}

}  // namespace
}  // namespace quellstone::cli
