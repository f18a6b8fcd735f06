#include <gtest/gtest.h>

#include "core/settings/FirstStart.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/Statistics.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"

namespace quellstone::settings {
namespace {

using quellstone::testing::MemorySettingsBackend;

TEST(SettingsStore, BuildsKeyPaths) {
    EXPECT_EQ(BuildKeyPath("SOFTWARE\\Orvanta", "Quellstone", "Status"), "SOFTWARE\\Orvanta\\Quellstone\\Status");
    EXPECT_EQ(BuildKeyPath("SOFTWARE\\Orvanta", "Quellstone", ""), "SOFTWARE\\Orvanta\\Quellstone");
    EXPECT_EQ(BuildKeyPath("", "", "Status"), "Status");
    EXPECT_EQ(BuildKeyPath("SOFTWARE\\\\\\Orvanta", "a/b", "Status"), "SOFTWARE\\Orvanta\\a\\b\\Status");
    // "/" is turned into "\" after doubled backslashes were collapsed.
    EXPECT_EQ(BuildKeyPath("A\\/B", "", ""), "A\\\\B");
}

TEST(SettingsStore, NamesRootKeys) {
    EXPECT_EQ(RootKeyFromName("hkey_current_user"), kHkeyCurrentUser);
    EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_CONFIG"), 0x80000005u);
    EXPECT_EQ(RootKeyFromName("HKEY_DYN_DATA"), 0u);
    EXPECT_EQ(RootKeyName(0x80000002), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(RootKeyName(0x80000004), "");
}

TEST(SettingsStore, ConvertsNumbersAndFailsQuietly) {
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    EXPECT_TRUE(store.WriteSetting("App", "S", "n", std::string(" 12.5 "), kHkeyCurrentUser, "SOFTWARE", kTypeNumber));
    EXPECT_EQ(store.ReadSetting("App", "S", "n", "d", kHkeyCurrentUser, "SOFTWARE"), SettingValue(std::int32_t{12}));
    EXPECT_FALSE(store.WriteSetting("App", "S", "n", std::string("abc"), kHkeyCurrentUser, "SOFTWARE", kTypeNumber));
    EXPECT_FALSE(store.WriteSetting("App", "S", "b", std::string("01"), kHkeyCurrentUser, "SOFTWARE", kTypeBinary));
    EXPECT_FALSE(store.WriteSetting("App", "S", "x", std::string("y"), 0x80000004, "SOFTWARE"));
    EXPECT_EQ(store.ReadSetting("App", "S", "x", "default", 0x80000004, "SOFTWARE"),
              SettingValue(std::string("default")));
    backend.failWrites = true;
    EXPECT_FALSE(store.Write("Settings", "curLang", "Polish"));
    EXPECT_EQ(store.Read("Settings", "curLang", ""), "");
    // A text value stored without its terminating NUL cannot be read: the default stands in.
    backend.failWrites = false;
    backend.Set("HKEY_CURRENT_USER", "SOFTWARE\\Orvanta\\Quellstone\\Settings", "raw", {1, ""});
    EXPECT_EQ(store.Read("Settings", "raw", "fallback"), "fallback");
}

TEST(Statistics, CountsReadAsNumbers) {
    EXPECT_EQ(CountFromText("41"), 41);
    EXPECT_EQ(CountFromText(" 7 apples"), 7);
    EXPECT_EQ(CountFromText("abc"), 0);
    EXPECT_EQ(CountFromText("-3"), 0);
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    EXPECT_EQ(RaiseTotalScans(store), 1);
    EXPECT_EQ(RaiseTotalScans(store), 2);
    EXPECT_EQ(store.Read(keys::kTotalScans.section, "TOTALSCANS", "0"), "2");
    EXPECT_NE(backend.doc.Serialize().find("\"Totalscans\"=\"2\""), std::string::npos);  // the spelling written

    // A raised count reads the stored value as a plain read would, and stores decimal text.
    const auto raiseFrom = [&](const ports::SettingsBackend::Value& stored) {
        backend.Set("HKEY_CURRENT_USER", "SOFTWARE\\Orvanta\\Quellstone\\Status", "Count", stored);
        return store.RaiseCount(keys::kTotalScans.section, "count");
    };
    EXPECT_EQ(raiseFrom({1, std::string("12 apples\0", 10)}), 13);
    EXPECT_EQ(raiseFrom({1, std::string("  \0", 3)}), 1);
    EXPECT_EQ(raiseFrom({1, "no terminating NUL"}), 1);
    EXPECT_EQ(raiseFrom({4, std::string("\x07\0\0\0", 4)}), 8);
    EXPECT_EQ(store.Read(keys::kTotalScans.section, "COUNT", ""), "8");
    EXPECT_EQ(store.RaiseCount("Elsewhere", "New"), 1);
    // Nothing stored: the count shown is still one more than what reads back.
    backend.failWrites = true;
    EXPECT_EQ(store.RaiseCount(keys::kTotalScans.section, "Count"), 9);
}

TEST(FirstStart, AnEmptyValueIsNoChoiceButAnyOtherStays) {
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    for (const char* chosen : {"0", "1", "no"}) {
        store.Write("Settings", "Quarintine", chosen);
        WriteFirstStartDefaults(store);
        EXPECT_EQ(store.Read("Settings", "Quarintine", ""), chosen);
    }
    store.Write("Settings", "Quarintine", "");  // "Quarintine=" by hand: no choice the check box made
    WriteFirstStartDefaults(store);
    EXPECT_EQ(store.Read("Settings", "Quarintine", ""), "1");
}

TEST(ProgramPaths, DerivesTheFixedPaths) {
    const ProgramPaths paths{"/opt/quellstone", "/home/u/.local/share", "/usr/", "/opt/"};
    EXPECT_EQ(paths.QuarantineFolder(), "/home/u/.local/share/Orvanta/Quellstone/Archiwum");
    EXPECT_EQ(paths.SignatureDatabase(), "/opt/quellstone/bdts.dll");
    EXPECT_EQ(paths.VendorFile(), "/opt/quellstone/vendor.ini");
    EXPECT_EQ(paths.SystemFolder(), "/usr");  // offered to the user without its trailing "/"
    EXPECT_EQ((ProgramPaths{"/p", "/d", "/", "/opt/"}.SystemFolder()), "/");
    quellstone::testing::FakeFileStore files;
    EXPECT_TRUE(CreateQuarantineFolder(files, paths));
    EXPECT_TRUE(files.folders.contains("/home/u/.local/share/Orvanta/Quellstone/Archiwum"));
}

}  // namespace
}  // namespace quellstone::settings
