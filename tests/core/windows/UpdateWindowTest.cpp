#include <gtest/gtest.h>

#include "core/app/Context.h"
#include "core/update/UpdateCheck.h"
#include "core/windows/UpdateWindowModel.h"
#include "platform/OfflineHttpClient.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"
#include "support/RecordingSink.h"

namespace quellstone::windows {
namespace {

using namespace quellstone::testing;
using namespace quellstone::update;

TEST(UpdateCheck, VersionAddressAndComparison) {
    EXPECT_EQ(VersionFileAddress("http://update.example/"), "http://update.example/updates/velkaro.txt");
    EXPECT_EQ(VersionFileAddress("http://update.example"), "http://update.example/updates/velkaro.txt");
    EXPECT_TRUE(IsNewer("1.06", "1.05"));
    EXPECT_TRUE(IsNewer("1.1", "1.05"));
    EXPECT_TRUE(IsNewer("1.050", "1.05"));  // a text that extends another is the greater
    EXPECT_FALSE(IsNewer("1.05", "1.05"));
    EXPECT_FALSE(IsNewer("1.05\r\n", "1.05"));
    EXPECT_FALSE(IsNewer("", "1.05"));
    EXPECT_FALSE(IsNewer(" \t\r\n", "1.05"));
    EXPECT_TRUE(IsNewer("1.6.2", "1.05"));
    EXPECT_EQ(CompareVersions(" 2\n", "1.05"), VersionVerdict::Newer);
    EXPECT_EQ(CompareVersions("1.04", "1.05"), VersionVerdict::NotNewer);
}

TEST(UpdateCheck, ABodyThatIsNoVersionNumberIsAFailedCheck) {
    using namespace std::string_literals;
    for (const std::string& body : {""s, " \r\n"s, "9.99\0"s, "\0"s, "<html>Moved</html>"s, "v2.0"s, "2.0 beta"s,
                                    "2.0\n3.0"s, "1..2"s, ".5"s, "5."s, "."s, "1,06"s, "-1"s, "\xC2\xB2"s}) {
        EXPECT_FALSE(IsVersionNumber(TrimVersionText(body))) << body;
        EXPECT_EQ(CompareVersions(body, "1.05"), VersionVerdict::NotAVersion) << body;
        EXPECT_FALSE(IsNewer(body, "1.05")) << body;
    }
    for (const char* version : {"0", "1.06", "1.6.2", "10.0.0.1"}) EXPECT_TRUE(IsVersionNumber(version)) << version;
}

TEST(UpdateCheck, TheShownRemoteVersionIsCutBetweenCharacters) {
    std::string letters;
    for (int i = 0; i < 70; ++i) letters += "\xC5\xBC";  // two bytes, one character each
    EXPECT_EQ(ServerTextForDisplay(" " + letters + "\n1.06", 64), letters.substr(0, 128) + "...");
    EXPECT_EQ(ServerTextForDisplay(" 1.06 \r\n<html>", 64), "1.06");
}

TEST(UpdateWindow, TheBarIsFullAtOnceAndTheTimerKeepsTicking) {
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeDialogs dialogs;
    FakeShell shell;
    MemorySettingsBackend backend;
    settings::SettingsStore store(backend);
    app::Context context(files, "/prog");
    context.languageText.Set(145, "Checking for updates...");
    context.languageText.Set(147, "&Cancel");
    i18n::DocumentOpeners openers(store, shell, tree, "/prog", i18n::VendorAddresses::Defaults());
    platform::OfflineHttpClient http;
    CountingPump pump;
    UpdateWindowModel window(UpdatePorts{http, pump, dialogs, openers, "http://x/", context.languageText, {}});
    window.Load();
    EXPECT_TRUE(window.Busy());
    EXPECT_EQ(window.Info(), "Checking for updates...");
    EXPECT_EQ(window.CancelCaption(), "&Cancel");
    EXPECT_EQ(window.CheckTimer().intervalMs, 900);
    EXPECT_EQ(window.ProgressTimer().intervalMs, 700);
    window.ProgressTick();
    EXPECT_EQ(window.Progress(), 10);
    window.ProgressTick();
    EXPECT_EQ(window.Progress(), 10);
    EXPECT_TRUE(window.ProgressTimer().enabled);
    window.CancelClicked();
    EXPECT_FALSE(window.Busy());
}

}  // namespace
}  // namespace quellstone::windows
