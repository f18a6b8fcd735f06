// The main window's frames, driven with real clicks, pointer moves and keys.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>

#include "gui/DesktopFixture.h"

namespace quellstone::gui {
namespace {

// What the list shows, row by row as the view lays them out: every column's text, "|"-separated.
QStringList ShownRows(QTreeView& list) {
    QStringList shown;
    const QAbstractItemModel& rows = *list.model();
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QModelIndex at = list.indexAt(list.visualRect(rows.index(row, 0)).center());
        QStringList cells;
        for (int column = 0; column < rows.columnCount(); ++column)
            cells << at.siblingAtColumn(column).data().toString();
        shown << cells.join('|');
    }
    return shown;
}

void ClickRow(QTreeView& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(row, 0)).center());
}

TEST_F(DesktopWindowsTest, QuarantineDeleteAsksAndTheListShowsTheFolderAsItIsAfterEveryChange) {
    StoreLanguage("English");
    const std::string folder = dir / "data/Orvanta/Quellstone/Archiwum";
    std::filesystem::create_directories(folder);
    for (const char* name : {"a.exe.arc", "b.exe.arc", "c.exe.arc", "d.exe.arc"})
        quellstone::testing::WriteFile(folder + "/" + name, "x");
    quellstone::testing::WriteFile(folder + "/b.exe.arc.info",
                                   "[Quarantine]\nPath=/home/u/Downloads/b.exe\nDetection=Trojan.B\n"
                                   "Removed=2026-12-08 20:15:03\n");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    Activate(main);
    QTest::mouseClick(Find(main, "quarantineLink"), Qt::LeftButton);
    QTreeView& list = *main.QuarantineList();
    EXPECT_EQ(ShownRows(list),
              (QStringList{"a.exe.arc||1||", "b.exe.arc|Trojan.B|1|/home/u/Downloads/b.exe|2026-12-08 20:15:03",
                           "c.exe.arc||1||", "d.exe.arc||1||"}));

    // Another program takes c out of the folder while the list shows it.
    std::filesystem::remove(folder + "/c.exe.arc");
    ClickRow(list, 0);
    QTest::mouseClick(Find(main, "deleteLink"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Delete a.exe.arc for good?");
    EXPECT_EQ(dialogs.shown[0].buttons, ports::MessageButtons::YesNo);
    EXPECT_EQ(dialogs.shown[0].defaultAnswer, ports::MessageAnswer::No);
    EXPECT_TRUE(std::filesystem::exists(folder + "/a.exe.arc"));  // the answer was not "Yes"

    dialogs.answer = ports::MessageAnswer::Yes;
    ClickRow(list, 0);
    QTest::mouseClick(Find(main, "deleteLink"), Qt::LeftButton);
    EXPECT_FALSE(std::filesystem::exists(folder + "/a.exe.arc"));
    EXPECT_EQ(ShownRows(list),
              (QStringList{"b.exe.arc|Trojan.B|1|/home/u/Downloads/b.exe|2026-12-08 20:15:03", "d.exe.arc||1||"}));

    // The Delete key on the list deletes the selected archive, after the same question.
    ClickRow(list, 1);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(dialogs.shown.back().text, "Delete d.exe.arc for good?");
    EXPECT_FALSE(std::filesystem::exists(folder + "/d.exe.arc"));
    EXPECT_EQ(ShownRows(list), QStringList{"b.exe.arc|Trojan.B|1|/home/u/Downloads/b.exe|2026-12-08 20:15:03"});
    EXPECT_EQ(list.model()->headerData(3, Qt::Horizontal).toString(), "Original location");
    EXPECT_EQ(list.model()->headerData(4, Qt::Horizontal).toString(), "Removed on");
}

TEST_F(DesktopWindowsTest, TheQuarantineListFollowsTheFolderAsItChangesSortsAndKeepsTheSelection) {
    StoreLanguage("Deutsch");
    const std::string folder = dir / "data/Orvanta/Quellstone/Archiwum";
    std::filesystem::create_directories(folder);
    quellstone::testing::WriteFile(folder + "/x (10).exe.arc", "x");
    quellstone::testing::WriteFile(folder + "/x (2).exe.arc", "xxx");
    quellstone::testing::WriteFile(
        folder + "/x (2).exe.arc.info",
        "[Quarantine]\nPath=/home/u/x (2).exe\nDetection=Trojan.X\nRemoved=2026-12-08 20:15:03\n");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    Activate(main);
    const auto count = [&main] { return Find<QLabel>(main, "quarantineCountLabel")->text(); };
    EXPECT_EQ(count(), "2");
    QTest::mouseClick(Find(main, "quarantineLink"), Qt::LeftButton);
    QTreeView& list = *main.QuarantineList();
    EXPECT_EQ(ShownRows(list),
              (QStringList{"x (2).exe.arc|Trojan.X|3|/home/u/x (2).exe|08.12.2026 20:15:03", "x (10).exe.arc||1||"}));
    EXPECT_EQ(list.model()->index(0, 3).data(Qt::ToolTipRole).toString(),
              "Dateiname: x (2).exe.arc\nErkennung: Trojan.X\nUrsprünglicher Ort: /home/u/x (2).exe");
    ClickRow(list, 1);

    // Another program archives a file that sorts first: it shows without a switch of frames.
    quellstone::testing::WriteFile(folder + "/a.exe.arc", "aa");
    EXPECT_TRUE(QTest::qWaitFor([&list] { return list.model()->rowCount() == 3; }, 20000));
    EXPECT_EQ(list.model()->index(0, 0).data().toString(), "a.exe.arc");
    const QModelIndexList selected = list.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].data().toString(), "x (10).exe.arc");  // still the row the user chose
    EXPECT_EQ(count(), "3");

    // A click on a header sorts by that column: sizes by number.
    QHeaderView& header = *list.header();
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                      QPoint(header.sectionViewportPosition(2) + header.sectionSize(2) / 2, header.height() / 2));
    EXPECT_EQ(ShownRows(list)[0].section('|', 0, 0), "x (10).exe.arc");

    // Two rows chosen with Ctrl: one question names their number.
    ClickRow(list, 0);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list.visualRect(list.model()->index(2, 0)).center());
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(dialogs.shown.back().text, "Die markierten Archive (2) endgültig löschen?");

    // The folder goes and comes back: the list follows it there too.
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(QTest::qWaitFor([&list] { return list.model()->rowCount() == 0; }, 20000));
    std::filesystem::create_directories(folder);
    quellstone::testing::WriteFile(folder + "/b.exe.arc", "b");
    EXPECT_TRUE(QTest::qWaitFor([&list] { return list.model()->rowCount() == 1; }, 20000));
}

TEST_F(DesktopWindowsTest, SwitchingFramesKeepsTheWindowSizeAndTheSmallestWindowShowsEveryControl) {
    StoreLanguage("Deutsch");  // the longest texts
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    const QSize size = main.size();
    const char* const links[] = {"scanLink", "informationLink", "quarantineLink", "settingsLink", "informationLink"};
    for (const char* link : links) {
        QTest::mouseClick(Find(main, link), Qt::LeftButton);
        EXPECT_EQ(main.size(), size) << link;
    }

    main.resize(1, 1);  // as small as the window goes
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(main.size(), main.minimumSize());
    for (const char* frameName : {"informationFrame", "scanFrame", "quarantineFrame", "settingsFrame"}) {
        const QString role = QString::fromLatin1(frameName).chopped(5);
        QTest::mouseClick(Find(main, (role + "Link").toLatin1().constData()), Qt::LeftButton);
        QCoreApplication::sendPostedEvents();
        QWidget* frame = Find(main, frameName);
        ASSERT_TRUE(frame->isVisible()) << frameName;
        for (QWidget* control : frame->findChildren<QWidget*>()) {
            if (!control->isVisible() || control->objectName().isEmpty()) continue;
            const QRect place(control->mapTo(frame, QPoint(0, 0)), control->size());
            EXPECT_TRUE(frame->rect().contains(place)) << frameName << " clips " << control->objectName().toStdString();
            // As a layout reads it: a minimum set on the control wins over its hint.
            const QSize hint = control->minimumSizeHint();
            const QSize needed(control->minimumWidth() > 0 ? control->minimumWidth() : hint.width(),
                               control->minimumHeight() > 0 ? control->minimumHeight() : hint.height());
            EXPECT_GE(control->width(), needed.width()) << control->objectName().toStdString();
            EXPECT_GE(control->height(), needed.height()) << control->objectName().toStdString();
        }
    }
    auto* field = Find<QLineEdit>(main, "scanFolderEdit");
    EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(QStringLiteral("/home/user/Downloads")));
}

TEST_F(DesktopWindowsTest, APointerMovedFromALinkOntoTheNavigationBackgroundClearsTheHighlight) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QWidget* navigation = Find(main, "navigation");
    const auto highlighted = [&main](const char* highlight) {
        return !Find<QLabel>(main, highlight)->pixmap().isNull();
    };

    QTest::mouseMove(Find(main, "scanLink"));
    EXPECT_TRUE(highlighted("scanHighlight"));
    EXPECT_TRUE(Find(main, "scanLink")->font().underline());
    QTest::mouseMove(Find(main, "updateLink"));  // another kind of link leaves it alone
    EXPECT_TRUE(highlighted("scanHighlight"));

    // The column's right margin, beside the link: the bare background.
    QTest::mouseMove(Find(main, "quarantineLink"));
    EXPECT_TRUE(highlighted("quarantineHighlight"));
    EXPECT_FALSE(highlighted("scanHighlight"));
    QWidget* link = Find(main, "quarantineLink");
    const QPoint background(navigation->width() - 3, link->mapTo(navigation, link->rect().center()).y());
    ASSERT_EQ(navigation->childAt(background), nullptr);
    QTest::mouseMove(navigation, background);
    EXPECT_FALSE(highlighted("quarantineHighlight"));
    EXPECT_FALSE(Find(main, "quarantineLink")->font().underline());
    // The program's picture at the top of the column is its surface too.
    QTest::mouseMove(Find(main, "helpLink"));
    EXPECT_TRUE(highlighted("helpHighlight"));
    QTest::mouseMove(Find(main, "goLabel"));
    EXPECT_FALSE(highlighted("helpHighlight"));

    // From a link straight onto the frame beside the column.
    QTest::mouseMove(Find(main, "settingsLink"));
    EXPECT_TRUE(highlighted("settingsHighlight"));
    QTest::mouseMove(Find(main, "informationTitle"));
    EXPECT_FALSE(highlighted("settingsHighlight"));
}

// A Unix-domain socket file with nobody listening, as a crashed run leaves it.
void LeaveStaleSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

TEST_F(DesktopWindowsTest, ASecondStartBringsTheRunningWindowToTheFrontAsItWasEvenAfterACrashedRun) {
    StoreLanguage("English");
    LeaveStaleSocket(dir / "instance.socket");
    Application first(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(first);
    main.showMaximized();
    main.showMinimized();
    ASSERT_TRUE(main.isMinimized());

    FakeDialogs secondDialogs;
    Application second(AppSetup(), secondDialogs, shell, http);
    EXPECT_FALSE(second.Start());
    ASSERT_EQ(secondDialogs.shown.size(), 1u);
    EXPECT_NE(secondDialogs.shown[0].text.find("already running"), std::string::npos);
    // The running instance answers from its event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.isMinimized() && main.isActiveWindow(); }, 20000));
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.isMaximized());  // as it was before it went to the task bar
}

TEST_F(DesktopWindowsTest, TheSettingsFrameSwitchesQuarantineCopiesWhichAFirstStartTurnsOn) {
    StoreLanguage("Polish");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    const auto stored = [this] {
        platform::RegFileSettingsBackend backend(files_, AppSetup().settingsFile);
        return settings::SettingsStore(backend).Read("Settings", "Quarintine", "");
    };
    EXPECT_EQ(stored(), "1");
    QTest::mouseClick(Find(main, "settingsLink"), Qt::LeftButton);
    auto* keep = Find<QAbstractButton>(main, "keepCopiesCheck");
    EXPECT_EQ(keep->text(), QString::fromUtf8("Zachowaj &kopię w kwarantannie przed usunięciem"));
    EXPECT_TRUE(keep->isChecked());
    QTest::mouseClick(keep, Qt::LeftButton);
    EXPECT_FALSE(keep->isChecked());
    EXPECT_EQ(stored(), "0");
    QTest::mouseClick(keep, Qt::LeftButton);
    EXPECT_EQ(stored(), "1");
}

TEST_F(DesktopWindowsTest, TheKeyboardReachesEveryLinkAndTheShortcutsWork) {
    StoreLanguage("English");
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    Activate(main);

    // Ctrl+1..4 switch frames.
    const std::pair<Qt::Key, const char*> frames[] = {{Qt::Key_2, "scanFrame"},
                                                      {Qt::Key_3, "quarantineFrame"},
                                                      {Qt::Key_4, "settingsFrame"},
                                                      {Qt::Key_1, "informationFrame"}};
    for (const auto& [key, frame] : frames) {
        QTest::keyClick(&main, key, Qt::ControlModifier);
        EXPECT_TRUE(Find(main, frame)->isVisible()) << frame;
    }
    // F1 opens the readme.
    QTest::keyClick(&main, Qt::Key_F1);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].ends_with("readme.txt")) << shell.opened[0];

    // Tab reaches every link of the information frame and the navigation; a focused link draws a frame.
    QSet<QString> reached;
    QWidget* focused = nullptr;
    for (int press = 0; press < 40; ++press) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &main, Qt::Key_Tab);
        focused = QApplication::focusWidget();
        if (!focused) continue;
        reached.insert(focused->objectName());
        if (!qobject_cast<LinkLabel*>(focused)) continue;
        const QImage withFocus = focused->grab().toImage();
        focused->clearFocus();
        EXPECT_NE(focused->grab().toImage(), withFocus)
            << focused->objectName().toStdString() << " draws no focus frame";
        focused->setFocus(Qt::TabFocusReason);
    }
    for (const char* link : {"informationLink", "scanLink", "quarantineLink", "settingsLink", "helpLink", "exitLink",
                             "updateLink", "adMonitorLink", "fileListLink"}) {
        EXPECT_TRUE(reached.contains(QString::fromLatin1(link)))
            << link << " not in " << QStringList(reached.values()).join(' ').toStdString();
    }

    // Assistive technology hears links as links, the browse button and the folder field by name.
    QAccessibleInterface* scanLink = QAccessible::queryAccessibleInterface(Find(main, "scanLink"));
    ASSERT_NE(scanLink, nullptr);
    EXPECT_EQ(scanLink->role(), QAccessible::Link);
    EXPECT_EQ(scanLink->text(QAccessible::Name), "Scan...");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find(main, "fileListLink"))->role(), QAccessible::Link);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find(main, "browseButton"))->text(QAccessible::Name), "Browse");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find(main, "scanFolderEdit"))->text(QAccessible::Name),
              "Selected folder:");

    // Ctrl+Q quits.
    QTest::keyClick(&main, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(application.Controller().Quitting());
}

TEST_F(DesktopWindowsTest, TheWindowPlaceAndTheChosenFolderAreRemembered) {
    StoreLanguage("English");
    const std::string tree = dir / "tree";
    std::filesystem::create_directories(tree);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QRect closedAt;
    {
        Application application(AppSetup(), dialogs, shell, http);
        MainWindow& main = StartToMainWindow(application);
        EXPECT_EQ(Find<QLineEdit>(main, "scanFolderEdit")->text(), "/usr");  // nothing stored yet
        ScanFolderFromWindow(application, main, tree);
        // Below where a title bar and borders reach, so the place comes back as it was.
        main.setGeometry(QRect(screen.topLeft() + QPoint(47, 69), main.minimumSize() + QSize(5, 3)));
        closedAt = main.geometry();
        main.close();
        platform::RegFileSettingsBackend backend(files_, AppSetup().settingsFile);
        EXPECT_EQ(settings::SettingsStore(backend).Read("Settings", "WindowGeometry", ""), QStringLiteral("%1,%2,%3,%4")
                                                                                               .arg(closedAt.x())
                                                                                               .arg(closedAt.y())
                                                                                               .arg(closedAt.width())
                                                                                               .arg(closedAt.height())
                                                                                               .toStdString());
    }
    Application application(AppSetup(), dialogs, shell, http);
    MainWindow& main = StartToMainWindow(application);
    EXPECT_EQ(main.geometry(), closedAt) << main.geometry().x() << "," << main.geometry().y() << ","
                                         << main.geometry().width() << "," << main.geometry().height() << " screen "
                                         << screen.width() << "x" << screen.height() << " closed " << closedAt.x()
                                         << "," << closedAt.y() << "," << closedAt.width() << "," << closedAt.height();
    EXPECT_EQ(Find<QLineEdit>(main, "scanFolderEdit")->text(), QString::fromStdString(tree));
}

TEST_F(DesktopWindowsTest, AHostileStoredPlaceLeavesTheWindowOnTheScreen) {
    StoreLanguage("English");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto startWith = [&](const char* stored, const std::function<void(MainWindow&)>& check) {
        StoreSetting({"Settings", "WindowGeometry", ""}, stored);  // the name in the settings file
        Application application(AppSetup(), dialogs, shell, http);
        check(StartToMainWindow(application));
    };
    QRect byDefault;
    startWith("", [&](MainWindow& main) { byDefault = main.geometry(); });
    // Not a place the program wrote: the window starts where it would without one.
    for (const char* malformed : {"1,2,3", "x,y,w,h", "0,0,99999999999,1", "40,40,-1,-1", "1,2,3,4,5"}) {
        startWith(malformed, [&](MainWindow& main) { EXPECT_EQ(main.geometry(), byDefault) << malformed; });
    }
    // Far off the screen and too small: moved onto the screen, at the window's minimum size.
    startWith("-99999,99999,5,5", [&](MainWindow& main) {
        EXPECT_TRUE(screen.contains(main.geometry()));
        EXPECT_EQ(main.size(), main.minimumSize());
    });
    // At the screen's top edge: moved down so that the title bar above the inside shows.
    startWith("0,0,900,600", [&](MainWindow& main) { EXPECT_GT(main.geometry().top(), screen.top()); });
}

}  // namespace
}  // namespace quellstone::gui
