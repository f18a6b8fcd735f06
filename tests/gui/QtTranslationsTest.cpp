// Qt's own texts (message box buttons, the folder picker) follow the chosen language.
#include "gui/DesktopFixture.h"
#include "gui/app/QtTranslations.h"

namespace quellstone::gui {
namespace {

QString QtYes() {
    return QCoreApplication::translate("QPlatformTheme", "&Yes");
}

TEST(QtTranslations, LanguageNamesGiveQtsCodes) {
    EXPECT_EQ(QtLanguageCode("Polish"), "pl");
    EXPECT_EQ(QtLanguageCode("deutsch"), "de");
    EXPECT_EQ(QtLanguageCode("Polski"), "pl");  // the same names the report's formats know
    EXPECT_EQ(QtLanguageCode("German"), "de");
    EXPECT_EQ(QtLanguageCode("English"), "");
    EXPECT_EQ(QtLanguageCode("Klingon"), "");
}

TEST_F(DesktopWindowsTest, QtsOwnTextsFollowTheChosenLanguageForTheRun) {
    ASSERT_EQ(QtYes(), "&Yes");
    const std::pair<const char*, const char*> languages[] = {
        {"Deutsch", "&Ja"}, {"Polish", "&Tak"}, {"English", "&Yes"}};
    for (const auto& [language, yes] : languages) {
        SCOPED_TRACE(language);
        StoreLanguage(language);
        {
            Application application(AppSetup(), dialogs, shell, http);
            StartToMainWindow(application);
            EXPECT_EQ(QtYes(), yes);
        }
        EXPECT_EQ(QtYes(), "&Yes");  // gone with the run
    }
}

TEST(QtTranslations, AMissingTranslationFileIsNoError) {
    // A folder without Qt's files (the package not installed) keeps Qt's English.
    const quellstone::testing::TempDir empty;
    const QtTranslations none("Deutsch", QString::fromStdString(empty.Path()));
    EXPECT_FALSE(none.Installed());
    EXPECT_EQ(QtYes(), "&Yes");
    const QtTranslations english("English");
    EXPECT_FALSE(english.Installed());
}

}  // namespace
}  // namespace quellstone::gui
