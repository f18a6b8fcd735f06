// Every window fits the small screens of netbooks and scaled laptops: a
// 1024x600 screen at 100 % and a 1280x800 screen at 200 %, each with a task
// bar and a title bar taken off. The suite runs this test once as it is and
// once with QT_SCALE_FACTOR=2, so the layouts are measured with the fonts and
// metrics of both scales.
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>

#include "gui/DesktopFixture.h"
#include "gui/app/AboutDialog.h"
#include "gui/quarantine/AlertWindow.h"

namespace quellstone::gui {
namespace {

struct SmallScreen {
    const char* name;
    QSize pixels;
    double scale;
};
constexpr SmallScreen kSmallScreens[] = {{"1024x600 at 100 %", {1024, 600}, 1.0},
                                         {"1280x800 at 200 %", {1280, 800}, 2.0}};
// What a desktop takes off the screen, in pixels at 100 %: a task bar, and
// the window's title bar and borders.
constexpr int kTaskBar = 48;
constexpr int kTitleBar = 32;
constexpr int kBorder = 4;

// The largest inside of a window that every one of the small screens can show.
QSize Room() {
    QSize room(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    for (const SmallScreen& screen : kSmallScreens) {
        const QSize logical(static_cast<int>(screen.pixels.width() / screen.scale),
                            static_cast<int>(screen.pixels.height() / screen.scale));
        room = room.boundedTo(QSize(logical.width() - 2 * kBorder, logical.height() - kTaskBar - kTitleBar - kBorder));
    }
    return room;
}

// The smallest the window lets itself be made, as a user dragging its corner would find.
QSize SmallestSize(QWidget& window) {
    window.show();
    window.resize(1, 1);
    QApplication::processEvents();
    return window.size();
}

void ExpectFits(QWidget& window, const std::string& where) {
    const QSize smallest = SmallestSize(window);
    const QSize room = Room();
    EXPECT_TRUE(smallest.width() <= room.width() && smallest.height() <= room.height())
        << where << " needs at least " << smallest.width() << "x" << smallest.height() << ", the screens leave "
        << room.width() << "x" << room.height();
}

class WindowFitTest : public DesktopWindowsTest {};

TEST_F(WindowFitTest, EveryWindowFitsTheSmallScreensInEveryLanguage) {
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE");
    const std::string scale = " at scale " + std::to_string(qApp->devicePixelRatio());
    for (const char* language : {"English", "Polish", "Deutsch"}) {
        SCOPED_TRACE(language);
        const std::string where = std::string(language) + scale + ": ";
        StoreLanguage(language);
        Application application(AppSetup(), dialogs, shell, http);
        ASSERT_TRUE(application.Start());
        ExpectFits(*application.Splash(), where + "start-up window");
        MainWindow& main = StartToMainWindow(application);

        for (QAction* frame : Find<QMenu>(main, "viewMenu")->actions()) {
            frame->trigger();
            ExpectFits(main, where + "main window, " + frame->text().toStdString());
        }

        AboutDialog about(*application.MainModel(), application.SharedContext().languageText, &main);
        ExpectFits(about, where + "About");
        about.close();

        main.findChild<QAction*>(QStringLiteral("updateAction"))->trigger();
        ASSERT_NE(application.Update(), nullptr);
        ExpectFits(*application.Update(), where + "update window");

        ScanFolderFromWindow(application, main, tree);
        ASSERT_NE(application.Scan(), nullptr);
        auto* tabs = application.Scan()->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            ExpectFits(*application.Scan(), where + "scan window, " + tabs->tabText(tab).toStdString());
        }

        const std::string title = application.SharedContext().languageText.Text(i18n::TextId::ScanFinished);
        AlertWindow alert(title + ": 23", "/home/user/Downloads\r/tmp", tickers);
        ExpectFits(alert, where + "alert");
    }
}

}  // namespace
}  // namespace quellstone::gui
