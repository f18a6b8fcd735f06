#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "core/settings/QuarantineCopies.h"
#include "core/settings/RegistryDocument.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/Statistics.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/UserFolders.h"
#include "support/TempDir.h"

namespace quellstone::platform {
namespace {

using quellstone::testing::ReadAll;
using quellstone::testing::TempDir;
using quellstone::testing::WriteFile;
using settings::SettingValue;

// The content of every "registry.reg.bad-*" file in `folder`, sorted.
std::vector<std::string> KeptAside(const std::string& folder) {
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("registry.reg.bad-")) kept.push_back(ReadAll(entry.path()));
    }
    std::sort(kept.begin(), kept.end());
    return kept;
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

TEST_F(SettingsFileTest, ABadLineCostsOnlyItselfAndIsKeptAside) {
    std::filesystem::create_directories(dir / "config/Orvanta");
    const std::string original =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n"
        "\"curLang\"=\"caf\xE9\"\n"
        "\"Quarintine\"=\"1\"\n"
        "\"half\"=\"no closing quote\n"
        "some junk\n"
        "\"sound\"=\"Yes\"\n";
    WriteFile(path, original);
    EXPECT_TRUE(store.Readable());
    EXPECT_EQ(store.Read("Settings", "Quarintine", "0"), "1");
    EXPECT_EQ(store.Read("Settings", "curLang", "none"), "none");
    // Reading, and a change that changes nothing, leave the file as it is.
    EXPECT_FALSE(store.DeleteSetting("Quellstone", "Settings", "absent"));
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_TRUE(KeptAside(dir / "config/Orvanta").empty());

    store.Write("Settings", "curLang", "English");
    EXPECT_EQ(KeptAside(dir / "config/Orvanta"), std::vector<std::string>{original});
    EXPECT_EQ(ReadAll(path),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n"
              "\"Quarintine\"=\"1\"\n"
              "\"sound\"=\"Yes\"\n"
              "\"curLang\"=\"English\"\n");
    // The new file has no bad line: the next write keeps nothing more aside.
    store.Write("Settings", "curLang", "Polish");
    EXPECT_EQ(KeptAside(dir / "config/Orvanta").size(), 1u);
}

// Removal deletes without a copy only when the file holds exactly "0" for the
// switch; whatever could not be read leaves it on.
TEST_F(SettingsFileTest, TheQuarantineSwitchIsOffOnlyForAStoredZero) {
    const std::string header =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n";
    const struct {
        const char* what;
        std::optional<std::string> file;  // nullopt: no settings file
        bool on;
    } cases[] = {
        {"no settings file", std::nullopt, true},
        {"an empty file", "", true},
        {"no value", header, true},
        {"an empty value", header + "\"Quarintine\"=\"\"\n", true},
        {"\"1\"", header + "\"Quarintine\"=\"1\"\n", true},
        {"\" 0\"", header + "\"Quarintine\"=\" 0\"\n", true},
        {"\"0\"", header + "\"Quarintine\"=\"0\"\n", false},
        {"a number 0", header + "\"quarintine\"=dword:00000000\n", false},
        {"no closing quote", header + "\"Quarintine\"=\"0\n", true},
        {"a header without \"]\"",
         "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings\n\"Quarintine\"=\"0\"\n", true},
        {"a byte that is no UTF-8", header + "\"Quarintine\"=\"0\"\xff\n", true},
        {"CR-only line ends",
         "Windows Registry Editor Version 5.00\r\r[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\"
         "Quellstone\\Settings]\r\"Quarintine\"=\"0\"\r",
         true},
        {"random bytes", std::string("\x8f\x00\x13[\"Quarintine\"=\"0\"\xc3\x28\xfe", 19), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir / "config");
        if (c.file) {
            std::filesystem::create_directories(dir / "config/Orvanta");
            WriteFile(path, *c.file);
        }
        EXPECT_EQ(settings::QuarantineCopiesOn(store), c.on);
    }
    // A settings file that cannot be read at all (here: a folder in its place).
    std::filesystem::remove_all(dir / "config");
    std::filesystem::create_directories(path);
    EXPECT_TRUE(settings::QuarantineCopiesOn(store));
}

TEST_F(SettingsFileTest, AUtf16ExportIsReadAndRewrittenAsUtf8) {
    std::filesystem::create_directories(dir / "config/Orvanta");
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\r\n"
        "\"Quarintine\"=\"1\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : text) utf16 += std::string{c, '\0'};
    WriteFile(path, utf16);
    EXPECT_EQ(store.Read("Settings", "Quarintine", "0"), "1");
    store.Write("Settings", "curLang", "English");
    EXPECT_EQ(ReadAll(path),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n"
              "\"Quarintine\"=\"1\"\n\"curLang\"=\"English\"\n");
    EXPECT_TRUE(KeptAside(dir / "config/Orvanta").empty());  // nothing was lost, so nothing is kept
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

TEST_F(SettingsFileTest, EveryFileWithBadLinesIsKeptAsideWithoutOverwritingAnother) {
    std::filesystem::create_directories(dir / "config/Orvanta");
    for (const char* text : {"first broken file\n", "second broken file\n"}) {
        WriteFile(path, text);
        store.Write("Settings", "curLang", "English");
    }
    EXPECT_EQ(KeptAside(dir / "config/Orvanta"),
              (std::vector<std::string>{"first broken file\n", "second broken file\n"}));
}

// The real file store, telling `report` of each moment of a change: 0 once it
// has read the file under the lock, then 1 + each step of the replacement.
class SteppingFileStore final : public ports::FileStore {
public:
    explicit SteppingFileStore(std::function<void(int)> report)
        : report_(std::move(report)),
          files_([this](PosixFileStore::ReplaceStep step) { report_(1 + static_cast<int>(step)); }) {}

    ports::FileContent ReadFile(const std::string& path, ports::FileRole role) override {
        ports::FileContent content = files_.ReadFile(path, role);
        report_(0);
        return content;
    }
    bool ReplaceFile(const std::string& path, std::string_view content, ports::FileRole role) override {
        return files_.ReplaceFile(path, content, role);
    }
    bool RenameOver(const std::string& from, const std::string& to) override { return files_.RenameOver(from, to); }
    void RemoveTemporariesOf(const std::string& path) override { files_.RemoveTemporariesOf(path); }
    std::optional<ports::FileStamp> Stamp(const std::string& path) override { return files_.Stamp(path); }
    bool CreateFolders(const std::string& path) override { return files_.CreateFolders(path); }

private:
    std::function<void(int)> report_;
    PosixFileStore files_;
};

TEST_F(SettingsFileTest, AWriterKilledAtAnyMomentLeavesOldOrNew) {
    std::filesystem::create_directories(dir / "config/Orvanta");
    const std::string clean =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings]\n"
        "\"curLang\"=\"Deutsch\"\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Status]\n"
        "\"TotalObjectsRemoved\"=\"17\"\n\"TotalScans\"=\"before\"\n";
    // A file with a bad line is also copied aside during the write.
    const std::string withBadLine = clean + "\"broken\n";
    const int renamed = 1 + static_cast<int>(PosixFileStore::ReplaceStep::Renamed);
    const int last = 1 + static_cast<int>(PosixFileStore::ReplaceStep::FolderFlushed);
    for (const std::string& original : {clean, withBadLine}) {
        for (int stopAt = 0; stopAt <= last; ++stopAt) {
            WriteFile(path, original);
            int steps[2];
            ASSERT_EQ(::pipe(steps), 0);
            const pid_t writer = ::fork();
            ASSERT_GE(writer, 0);
            if (writer == 0) {
                // Reports each moment to the test and stops for good at the chosen one.
                ::close(steps[0]);
                SteppingFileStore childFiles([&](int step) {
                    const char byte = static_cast<char>(step);
                    [[maybe_unused]] const auto written = ::write(steps[1], &byte, 1);
                    if (step == stopAt) {
                        for (;;) ::pause();
                    }
                });
                RegFileSettingsBackend childBackend(childFiles, path);
                settings::SettingsStore childStore(childBackend);
                childStore.Write("Status", "TotalScans", "after");
                ::_exit(0);
            }
            ::close(steps[1]);
            char step = -1;
            while (step != stopAt && ::read(steps[0], &step, 1) == 1) {
            }
            ::close(steps[0]);
            ::kill(writer, SIGKILL);
            ::waitpid(writer, nullptr, 0);
            ASSERT_EQ(step, stopAt) << "the writer ended before the chosen moment";

            if (stopAt < renamed) {
                EXPECT_EQ(ReadAll(path), original) << "stopped at " << stopAt;
                continue;
            }
            EXPECT_EQ(settings::RegistryDocument::Parse(ReadAll(path)).SkippedLines(), 0u);
            EXPECT_EQ(store.Read("Status", "TotalScans", "none"), "after") << "stopped at " << stopAt;
            EXPECT_EQ(store.Read("Settings", "curLang", ""), "Deutsch");
            EXPECT_EQ(store.Read("Status", "TotalObjectsRemoved", ""), "17");
        }
    }
    // The killed writers' locks went with them.
    EXPECT_TRUE(store.Write("Status", "TotalScans", "later"));
    EXPECT_EQ(store.Read("Status", "TotalScans", ""), "later");
}

TEST_F(SettingsFileTest, CountsRaisedByManyProcessesAtOnceAllAddUp) {
    store.Write("Settings", "Quarintine", "1");
    constexpr int kWriters = 3;
    constexpr int kRaises = 25;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            // Every writer starts once the test closes the gate's write end.
            ::close(gate[1]);
            char byte = 0;
            [[maybe_unused]] const auto got = ::read(gate[0], &byte, 1);
            PosixFileStore childFiles;
            RegFileSettingsBackend childBackend(childFiles, path);
            settings::SettingsStore childStore(childBackend);
            for (int i = 0; i < kRaises; ++i) {
                settings::RaiseTotalScans(childStore);
                childStore.RaiseCount("Status", "TotalObjectsRemoved");
            }
            ::_exit(0);
        }
        writers.push_back(writer);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t writer : writers) {
        int status = 0;
        ::waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(store.Read("Status", "TotalScans", ""), std::to_string(kWriters * kRaises));
    EXPECT_EQ(store.Read("Status", "TotalObjectsRemoved", ""), std::to_string(kWriters * kRaises));
    EXPECT_EQ(store.Read("Settings", "Quarintine", ""), "1");
    EXPECT_NE(ReadAll(path).find("\"Totalscans\"="), std::string::npos);
}

// One read and one write in files of 20,000 and 40,000 values, in one key and
// spread over 2,000 keys. Prints the time each took; the values read and
// written are checked, the time is not.
TEST_F(SettingsFileTest, LargeFilesAreReadAndWrittenWhole) {
    std::filesystem::create_directories(dir / "config/Orvanta");
    for (const int values : {20000, 40000}) {
        for (const int keys : {1, 2000}) {
            const int perKey = values / keys;
            std::string text = "Windows Registry Editor Version 5.00\n";
            for (int k = 0; k < keys; ++k) {
                text += "\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Key" + std::to_string(k) + "]\n";
                for (int v = 0; v < perKey; ++v) {
                    text += "\"Value" + std::to_string(v) + "\"=\"" + std::to_string(k * perKey + v) + "\"\n";
                }
            }
            WriteFile(path, text);
            const std::string lastKey = "Key" + std::to_string(keys - 1);
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(store.Read(lastKey, "VALUE" + std::to_string(perKey - 1), ""), std::to_string(values - 1));
            const auto read = std::chrono::steady_clock::now();
            EXPECT_TRUE(store.Write(lastKey, "Added", "1"));
            const auto written = std::chrono::steady_clock::now();
            EXPECT_EQ(ReadAll(path), text + "\"Added\"=\"1\"\n");
            std::printf("%d values in %d key(s): read %.3f s, write %.3f s\n", values, keys,
                        std::chrono::duration<double>(read - start).count(),
                        std::chrono::duration<double>(written - read).count());
        }
    }
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
