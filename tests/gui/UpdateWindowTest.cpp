// The manual update window as a user meets it: where it opens, what it shows
// while it waits, how it ends and what it says when the server is out of reach.
#include <QProgressBar>
#include <QWindow>

#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

TEST_F(DesktopWindowsTest, TheUpdateWindowOpensBusyOverTheMainWindowAndEscapeCancelsIt) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    main.move(137, 91);
    QTest::mouseClick(Find(main, "updateLink"), Qt::LeftButton);
    ASSERT_NE(application.Update(), nullptr);
    UpdateWindow& window = *application.Update();
    ASSERT_TRUE(window.isVisible());
    // Above the main window and on its task bar entry.
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowHandle()->transientParent(), main.windowHandle());

    const QPoint offset = window.frameGeometry().center() - main.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 1) << offset.x() << "," << offset.y();
    // A bar with no maximum is Qt's busy indicator: the wait has no known length.
    const auto* bar = Find<QProgressBar>(window, "progressBar");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 0);

    // Escape reaches the window from the focused Cancel button, as a key press does.
    QTest::keyClick(Find(window, "cancelButton"), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(application.UpdateModel()->Closed());
    EXPECT_FALSE(tickers.Fire("update.check"));  // no check after a cancel
    EXPECT_EQ(http.requests, 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DesktopWindowsTest, AnUnreachableServerIsNotTakenForTheNewestVersion) {
    const std::pair<const char*, const char*> languages[] = {
        {"English",
         "Could not reach the update server: could not connect to the server\rDetails: no network in this run"},
        {"Deutsch",
         "Der Update-Server war nicht erreichbar: keine Verbindung zum Server möglich\rDetails: no network in this "
         "run"},
        {"Polish",
         "Nie udało się połączyć z serwerem aktualizacji: nie można nawiązać połączenia z serwerem\rSzczegóły: no "
         "network in this run"},
    };
    for (const auto& [language, expected] : languages) {
        SCOPED_TRACE(language);
        dialogs.shown.clear();
        StoreLanguage(language);
        Application application(AppSetup(), dialogs, shell, http);
        MainWindow& main = StartToMainWindow(application);
        QTest::mouseClick(Find(main, "updateLink"), Qt::LeftButton);
        ASSERT_TRUE(tickers.Fire("update.check"));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, expected);
        EXPECT_EQ(dialogs.shown[0].icon, ports::MessageIcon::Warning);
        EXPECT_FALSE(application.Update()->isVisible());
    }
}

}  // namespace
}  // namespace quellstone::gui
