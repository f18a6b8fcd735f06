// The About window from the keyboard and for assistive technology.
#include <QAccessible>
#include <QDialog>
#include <QImage>

#include "gui/DesktopFixture.h"
#include "gui/app/AboutDialog.h"

namespace quellstone::gui {
namespace {

class AboutDialogTest : public DesktopWindowsTest {
protected:
    AboutDialogTest() { StoreLanguage("English"); }
    // Presses `key` where a real key press goes: the focused control of the active window.
    static void Press(QWidget& window, Qt::Key key) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused && focused->window() == &window ? focused : &window, key);
    }
    static std::vector<LinkLabel*> Links(QWidget& window) {
        const QList<LinkLabel*> found = window.findChildren<LinkLabel*>();
        return {found.begin(), found.end()};
    }
};

TEST_F(AboutDialogTest, TabReachesEveryLinkWhichShowsItsFocusAndOpensByKey) {
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    AboutDialog about(*application.MainModel(), application.SharedContext().languageText, &main);
    about.show();
    about.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &about);
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);

    const std::vector<LinkLabel*> links = Links(about);
    ASSERT_EQ(links.size(), 4u);
    std::vector<LinkLabel*> reached;
    for (int press = 0; press < 8; ++press) {
        Press(about, Qt::Key_Tab);
        auto* link = qobject_cast<LinkLabel*>(QApplication::focusWidget());
        if (link && std::ranges::find(reached, link) == reached.end()) reached.push_back(link);
    }
    EXPECT_EQ(reached.size(), links.size());

    for (LinkLabel* link : links) {
        SCOPED_TRACE(link->objectName().toStdString());
        // The same link drawn without and with the focus: the focus frame makes the difference.
        link->clearFocus();
        const QImage without = link->grab().toImage();
        link->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(link->hasFocus());
        EXPECT_NE(link->grab().toImage(), without);
        const std::size_t opened = shell.opened.size();
        Press(about, link == links[0] ? Qt::Key_Return : Qt::Key_Space);
        EXPECT_EQ(shell.opened.size(), opened + 1);
    }
    EXPECT_EQ(shell.opened.front(), "http://www.orvanta.example/en/");

    Press(about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Rejected);
}

TEST_F(AboutDialogTest, LinksAreAnnouncedAsLinksByTheirText) {
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    AboutDialog about(*application.MainModel(), application.SharedContext().languageText, &main);
    about.show();
    std::vector<std::string> names;
    for (LinkLabel* link : Links(about)) {
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(link);
        ASSERT_NE(spoken, nullptr);
        EXPECT_EQ(spoken->role(), QAccessible::Link);
        names.push_back(spoken->text(QAccessible::Name).toStdString());
        // A screen reader's press opens the link like a click.
        QAccessibleActionInterface* actions = spoken->actionInterface();
        ASSERT_NE(actions, nullptr);
        const std::size_t opened = shell.opened.size();
        actions->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(shell.opened.size(), opened + 1);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Quellstone home page", "Support", "Forum", "Contact"}));
}

}  // namespace
}  // namespace quellstone::gui
