#include <gtest/gtest.h>

#include "core/update/UpdateCheck.h"
#include "core/update/UpdateWindowModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"
#include "support/RecordingSink.h"

namespace quellstone::update {
namespace {

using namespace quellstone::testing;

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
    struct NoHttp final : ports::HttpClient {
        std::unique_ptr<ports::HttpRequest> NewRequest() override { return nullptr; }
    } http;
    CountingPump pump;
    UpdateWindowModel window(context, UpdatePorts{http, pump, dialogs, openers, "http://x/"});
    window.Load();
    EXPECT_EQ(window.Info(), "Checking for updates...");
    EXPECT_EQ(window.CancelCaption(), "&Cancel");
    EXPECT_EQ(window.Timer(1).intervalMs, 900);
    EXPECT_EQ(window.Timer(2).intervalMs, 700);
    window.Timer2Tick();
    EXPECT_EQ(window.Progress(), 10);
    window.Timer2Tick();
    EXPECT_EQ(window.Progress(), 10);
    EXPECT_TRUE(window.Timer(2).enabled);
}

}  // namespace
}  // namespace quellstone::update
