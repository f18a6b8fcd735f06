// The window's side of a downloaded database that fails its checks: one
// warning, after the main window is on the screen, and the program folder's
// database in use.
#include <gmock/gmock.h>

#include <filesystem>

#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

using ::testing::HasSubstr;

class DownloadedDatabaseTest : public DesktopWindowsTest {
protected:
    // The messages that speak of a database file.
    std::vector<std::string> DatabaseMessages() const {
        std::vector<std::string> found;
        for (const FakeDialogs::Message& message : dialogs.shown)
            if (message.text.find("bdts.dll") != std::string::npos) found.push_back(message.text);
        return found;
    }
    const std::string userDatabase = dir / "data/Orvanta/Quellstone/bdts.dll";
    const std::string programDatabase = std::string(QUELLSTONE_PROGRAM_DIR) + "/bdts.dll";
};

TEST_F(DownloadedDatabaseTest, AnUnverifiableOneIsIgnoredWithOneWarningAfterTheMainWindowAppears) {
    StoreLanguage("English");
    std::filesystem::create_directories(dir / "data/Orvanta/Quellstone");
    // Unsigned, and the shipped vendor.ini names no key: it cannot verify.
    quellstone::testing::WriteFile(userDatabase, "[Database]\nVersion=2099.1.1\n[Scanfiles]\nX.EXE=y\n");
    Application application(AppSetup(), dialogs, shell, http);
    bool mainWindowShown = false;
    dialogs.whileAsking = [&] { mainWindowShown = application.Main() && application.Main()->isVisible(); };
    StartToMainWindow(application);

    const std::vector<std::string> messages = DatabaseMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(mainWindowShown);
    EXPECT_THAT(messages[0], HasSubstr(userDatabase));
    EXPECT_THAT(messages[0], HasSubstr(programDatabase));
    EXPECT_THAT(messages[0], HasSubstr("no update key is configured"));
    EXPECT_EQ(dialogs.shown.back().icon, ports::MessageIcon::Warning);
    EXPECT_EQ(application.SharedContext().signatures.DefaultPath(), programDatabase);
    EXPECT_EQ(application.SharedContext().signatures.DefaultPath(), programDatabase);
}

TEST_F(DownloadedDatabaseTest, NoneDownloadedMeansNoWord) {
    Application application(AppSetup(), dialogs, shell, http);
    StartToMainWindow(application);
    EXPECT_TRUE(DatabaseMessages().empty());
    EXPECT_EQ(application.SharedContext().signatures.DefaultPath(), programDatabase);
}

}  // namespace
}  // namespace quellstone::gui
