#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/settings/RegistryDocument.h"
#include "core/settings/SettingsStore.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/UserFolders.h"
#include "support/TempDir.h"

namespace quellstone::platform {
namespace {

using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;
using settings::SettingValue;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The store over the real settings file, in a folder that does not exist yet.
class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() : path(dir / "config/Orvanta/registry.reg"), backend(files, path), store(backend) {}
    TempDir dir;
    std::string path;
    PosixFileStore files;
    RegFileSettingsBackend backend;
    settings::SettingsStore store;
};

TEST_F(SettingsFileTest, KeysAreCreatedOnDemandAndNamesIgnoreCase) {
    EXPECT_EQ(store.ReadSetting("Quellstone", "Settings", "curLang", ""), SettingValue(std::string()));
    store.WriteSetting("Quellstone", "Settings", "curLang", std::string("English"));
    EXPECT_EQ(store.ListSubKeys("HKEY_CURRENT_USER", "SOFTWARE"), std::vector<std::string>{"Orvanta"});
    EXPECT_EQ(store.ListSubKeys("hkey_current_user", "SOFTWARE\\Orvanta\\Quellstone"),
              std::vector<std::string>{"Settings"});

    store.Write("Status", "Totalscans", "4");
    EXPECT_EQ(store.Read("status", "TotalScans", "0"), "4");
    store.Write("Status", "TOTALSCANS", "5");
    EXPECT_NE(ReadAll(path).find("\"Totalscans\"=\"5\""), std::string::npos);  // the first spelling stays
}

TEST_F(SettingsFileTest, ReadsEachTypeAsTheProgramExpects) {
    WriteFile(path = dir / "registry.reg",
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Status]\n"
              "\"blank\"=\"   \"\n\"zero\"=\"0\"\n\"seven\"=dword:00000007\n\"nought\"=dword:00000000\n"
              "\"bytes\"=hex:0a,ff\n\"expand\"=hex(2):25,48,00\n\"big\"=hex(5):07,00,00,00\n"
              "\"other\"=hex(7):41,00\n\"negative\"=dword:ffffffff\n");
    RegFileSettingsBackend fileBackend(files, path);
    settings::SettingsStore fileStore(fileBackend);
    const auto read = [&](const char* name) { return fileStore.ReadSetting("Quellstone", "Status", name, "def"); };
    EXPECT_EQ(read("blank"), SettingValue(std::string("def")));
    EXPECT_EQ(read("zero"), SettingValue(std::string("0")));
    EXPECT_EQ(read("seven"), SettingValue(std::int32_t{7}));
    EXPECT_EQ(read("nought"), SettingValue(std::int32_t{0}));  // a number is never blank
    EXPECT_EQ(read("bytes"), SettingValue(std::string("0A FF")));
    EXPECT_EQ(read("expand"), SettingValue(std::string("%H")));
    EXPECT_EQ(read("big"), SettingValue(std::int32_t{7}));
    EXPECT_EQ(read("other"), SettingValue(std::string("def")));
    EXPECT_EQ(read("negative"), SettingValue(std::int32_t{-1}));
}

TEST_F(SettingsFileTest, DeletesValuesAndWholeSubtrees) {
    store.Write("Settings", "curLang", "Polish");
    store.WriteSetting("Quellstone\\Settings\\Deep\\Deeper", "", "x", std::string("1"));
    store.WriteSetting("Quellstone\\Settings\\Other", "", "y", std::string("2"));
    EXPECT_TRUE(store.DeleteSetting("Quellstone", "Settings", "CURLANG"));
    EXPECT_FALSE(store.DeleteSetting("Quellstone", "Settings", "curLang"));
    EXPECT_TRUE(store.DeleteSetting("Quellstone", "Settings", ""));
    EXPECT_TRUE(store.ListSubKeys("HKEY_CURRENT_USER", "SOFTWARE\\Orvanta\\Quellstone").empty());
    EXPECT_EQ(store.Read("Settings\\Deep\\Deeper", "x", "gone"), "gone");
}

TEST_F(SettingsFileTest, AFileThatCannotBeParsedIsKeptAside) {
    std::filesystem::create_directories(dir / "config/Orvanta");
    WriteFile(path, "this is not a settings file\n\"curLang\"=\"Polish\"\n");
    EXPECT_EQ(store.Read("Settings", "curLang", "none"), "none");
    EXPECT_EQ(ReadAll(path), "this is not a settings file\n\"curLang\"=\"Polish\"\n");  // reading changes nothing

    store.Write("Settings", "curLang", "English");
    EXPECT_EQ(store.Read("Settings", "curLang", "none"), "English");
    int kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "config/Orvanta")) {
        if (entry.path().filename().string().starts_with("registry.reg.bad-")) {
            ++kept;
            EXPECT_EQ(ReadAll(entry.path()), "this is not a settings file\n\"curLang\"=\"Polish\"\n");
        }
    }
    EXPECT_EQ(kept, 1);
}

TEST_F(SettingsFileTest, NeverWritesAFileItCouldNotReadBack) {
    store.Write("Settings", "Quarintine", "1");
    const std::string before = ReadAll(path);
    EXPECT_FALSE(store.Write("Settings", "line\nbreak", "x"));
    EXPECT_FALSE(store.Write("Settings", "bad\xFF", "x"));
    EXPECT_FALSE(store.WriteSetting("Quellstone", "S]\n[T", "x", std::string("y")));
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(store.Read("Settings", "Quarintine", "0"), "1");
    EXPECT_TRUE(store.Readable());
}

TEST_F(SettingsFileTest, EveryUnreadableFileIsKeptAsideWithoutOverwritingAnother) {
    std::filesystem::create_directories(dir / "config/Orvanta");
    for (const char* text : {"first broken file\n", "second broken file\n"}) {
        WriteFile(path, text);
        EXPECT_FALSE(store.Readable());
        store.Write("Settings", "curLang", "English");
    }
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "config/Orvanta")) {
        if (entry.path().filename().string().starts_with("registry.reg.bad-")) kept.push_back(ReadAll(entry.path()));
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{"first broken file\n", "second broken file\n"}));
}

// A writer is killed at each step of one change in turn: it runs traced and
// stops at every entry to and exit from a system call, and round N kills it
// at the Nth stop. Whatever the step, the file holds the old value or the
// new one, and every other value survives.
TEST_F(SettingsFileTest, AWriterKilledAtAnyStepLeavesOldOrNew) {
    store.Write("Settings", "curLang", "Deutsch");
    store.Write("Status", "TotalObjectsRemoved", "17");
    store.Write("Status", "TotalScans", "old");
    bool completed = false;
    int keptOld = 0;
    for (int step = 1; !completed && step < 100000; ++step) {
        const pid_t writer = ::fork();
        if (writer == 0) {
            ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
            ::raise(SIGSTOP);
            PosixFileStore childFiles;
            RegFileSettingsBackend childBackend(childFiles, path);
            settings::SettingsStore(childBackend).Write("Status", "TotalScans", "new");
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(writer, &status, 0);  // stopped before its first step
        ASSERT_EQ(::ptrace(PTRACE_SETOPTIONS, writer, nullptr, PTRACE_O_EXITKILL | PTRACE_O_TRACESYSGOOD), 0)
            << "the test needs to trace its own child";
        for (int stops = 0;;) {
            ::ptrace(PTRACE_SYSCALL, writer, nullptr, nullptr);
            ::waitpid(writer, &status, 0);
            if (WIFEXITED(status) || WIFSIGNALED(status)) {
                completed = true;  // the change ran to its end before step `step`
                break;
            }
            if (WIFSTOPPED(status) && WSTOPSIG(status) == (SIGTRAP | 0x80) && ++stops == step) {
                ::kill(writer, SIGKILL);
                ::waitpid(writer, &status, 0);
                break;
            }
        }

        const auto doc = settings::RegistryDocument::Parse(ReadAll(path));
        ASSERT_TRUE(doc) << "step " << step;
        const std::string after = store.Read("Status", "TotalScans", "none");
        if (completed) {
            EXPECT_EQ(after, "new");
        } else {
            EXPECT_TRUE(after == "old" || after == "new") << "step " << step << ": " << after;
        }
        if (after == "old") ++keptOld;
        if (after == "new" && !completed) store.Write("Status", "TotalScans", "old");
        EXPECT_EQ(store.Read("Settings", "curLang", ""), "Deutsch") << "step " << step;
        EXPECT_EQ(store.Read("Status", "TotalObjectsRemoved", ""), "17") << "step " << step;
    }
    EXPECT_TRUE(completed);
    EXPECT_GT(keptOld, 0);
}

TEST(UserFolders, FollowTheXdgVariables) {
    TempDir dir;
    const auto environment = [&](std::map<std::string, std::string> values) {
        return [values](const char* name) {
            const auto it = values.find(name);
            return it == values.end() ? std::string() : it->second;
        };
    };
    EXPECT_EQ(SettingsFilePath(environment({{"XDG_CONFIG_HOME", dir / "cfg/"}, {"HOME", "/home/u"}})),
              dir / "cfg/Orvanta/registry.reg");
    EXPECT_EQ(SettingsFilePath(environment({{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/home/u"}})),
              "/home/u/.config/Orvanta/registry.reg");
    EXPECT_EQ(UserDataFolder(environment({{"HOME", dir.Path()}})), dir / ".local/share");
    EXPECT_TRUE(std::filesystem::is_directory(dir / ".local/share"));

    PosixFileStore files;
    const settings::ProgramPaths paths{"/prog", dir / "data", "/usr", "/opt/"};
    EXPECT_TRUE(settings::CreateQuarantineFolder(files, paths));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data/Orvanta/Quellstone/Archiwum"));
}

}  // namespace
}  // namespace quellstone::platform
