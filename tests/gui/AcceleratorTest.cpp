// Every control has an accelerator (Alt+letter), and no two clash within one
// window or one menu, in any language. Every control that carries one is found by its kind, so
// controls added later are checked without naming them here.
#include <gtest/gtest-spi.h>

#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <map>

#include "gui/DesktopFixture.h"
#include "gui/app/AboutDialog.h"
#include "gui/quarantine/AlertWindow.h"

namespace quellstone::gui {
namespace {

// The accelerator of a text ("&Save" gives Alt+S; "&&" is a plain "&").
QString AcceleratorOf(const QString& text) {
    return QKeySequence::mnemonic(text).toString();
}

// Collects accelerators and reports each key that two texts share.
class Clashes {
public:
    explicit Clashes(QString where) : where_(std::move(where)) {}
    // `text` is a control's; a control whose text has a letter or digit needs an
    // accelerator, a group's frame (which takes no focus itself) may have one.
    void Add(const QString& text, bool required = true) {
        const QString key = AcceleratorOf(text);
        if (key.isEmpty()) {
            if (required && std::ranges::any_of(text, [](QChar c) { return c.isLetterOrNumber(); }))
                ADD_FAILURE() << where_.toStdString() << ": \"" << text.toStdString() << "\" has no accelerator";
            return;
        }
        const auto [first, added] = seen_.emplace(key, text);
        if (!added)
            ADD_FAILURE() << where_.toStdString() << ": " << key.toStdString() << " is both \""
                          << first->second.toStdString() << "\" and \"" << text.toStdString() << "\"";
    }

private:
    QString where_;
    std::map<QString, QString> seen_;
};

bool Shown(QWidget& window, QWidget* widget) {
    return widget->window() == &window && widget->isVisibleTo(&window);
}

// The accelerators a user can press in `window` as it stands now: buttons,
// labels that lead to a field, group boxes, tabs and the menu bar's titles.
void CheckWindowAsShown(QWidget& window, const QString& where) {
    Clashes clashes(where);
    for (auto* button : window.findChildren<QAbstractButton*>()) {
        if (Shown(window, button)) clashes.Add(button->text());
    }
    for (auto* label : window.findChildren<QLabel*>()) {
        if (Shown(window, label) && label->buddy()) clashes.Add(label->text());
    }
    for (auto* box : window.findChildren<QGroupBox*>()) {
        if (Shown(window, box)) clashes.Add(box->title(), false);
    }
    for (auto* bar : window.findChildren<QTabBar*>()) {
        if (!Shown(window, bar)) continue;
        for (int tab = 0; tab < bar->count(); ++tab) clashes.Add(bar->tabText(tab));
    }
    for (auto* bar : window.findChildren<QMenuBar*>()) {
        if (!Shown(window, bar)) continue;
        for (QAction* title : bar->actions()) {
            if (title->isVisible()) clashes.Add(title->text());
        }
    }
}

// The window as shown, then with each page of each tab bar in turn.
void CheckWindow(QWidget& window, const QString& where) {
    CheckWindowAsShown(window, where);
    for (auto* bar : window.findChildren<QTabBar*>()) {
        if (!Shown(window, bar)) continue;
        const int current = bar->currentIndex();
        for (int tab = 0; tab < bar->count(); ++tab) {
            bar->setCurrentIndex(tab);
            CheckWindowAsShown(window, where + QStringLiteral(", tab ") + bar->tabText(tab));
        }
        bar->setCurrentIndex(current);
    }
}

// Every menu of `window`, submenus included: its items among themselves.
void CheckMenus(QWidget& window, const QString& where) {
    for (auto* menu : window.findChildren<QMenu*>()) {
        // A menu that no bar or menu shows (the menu bar's overflow list) has no items of its own.
        if (menu->menuAction()->associatedObjects().isEmpty()) continue;
        Clashes clashes(where + QStringLiteral(", menu ") + menu->title());
        for (QAction* item : menu->actions()) {
            if (!item->isSeparator() && item->isVisible()) clashes.Add(item->text());
        }
    }
}

class AcceleratorTest : public DesktopWindowsTest {};

TEST_F(AcceleratorTest, TheCheckSeesAClashAndAMissingAccelerator) {
    QWidget window;
    auto* stop = new QPushButton(QStringLiteral("&Zatrzymaj"), &window);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), &window);
    auto* field = new QLineEdit(&window);
    auto* label = new QLabel(QStringLiteral("Plik && &folder"), &window);
    label->setBuddy(field);
    window.show();
    EXPECT_EQ(AcceleratorOf(label->text()), QKeySequence::mnemonic(QStringLiteral("&f")).toString());
    ::testing::TestPartResultArray failures;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
        CheckWindow(window, QStringLiteral("sample"));
        close->setText(QStringLiteral("Za&mknij"));
        CheckWindow(window, QStringLiteral("sample"));
        stop->hide();  // a hidden control cannot clash
        close->setText(QStringLiteral("&Zamknij"));
        CheckWindow(window, QStringLiteral("sample"));
        close->setText(QStringLiteral("Zamknij"));  // no accelerator at all
        CheckWindow(window, QStringLiteral("sample"));
    }
    EXPECT_EQ(failures.size(), 2);
}

TEST_F(AcceleratorTest, EveryWindowAndMenuHasUniqueAcceleratorsInEveryLanguage) {
    const std::string tree = dir / "tree";
    ::mkdir(tree.c_str(), 0755);
    quellstone::testing::WriteFile(tree + "/QUELLSTONE-TEST.EXE");
    for (const char* language : {"English", "Polish", "Deutsch"}) {
        SCOPED_TRACE(language);
        const QString name = QString::fromLatin1(language);
        StoreLanguage(language);
        Application application(AppSetup(), dialogs, shell, http);
        MainWindow& main = StartToMainWindow(application);

        // The main window with each of its frames, chosen from the View menu.
        CheckWindow(main, name + QStringLiteral(": main window"));
        for (QAction* frame : Find<QMenu>(main, "viewMenu")->actions()) {
            frame->trigger();
            CheckWindow(main, name + QStringLiteral(": main window, ") + frame->text());
        }
        CheckMenus(main, name + QStringLiteral(": main window"));

        AboutDialog about(*application.MainModel(), application.SharedContext().languageText, &main);
        about.show();
        CheckWindow(about, name + QStringLiteral(": About"));
        about.close();

        main.findChild<QAction*>(QStringLiteral("updateAction"))->trigger();
        ASSERT_NE(application.Update(), nullptr);
        CheckWindow(*application.Update(), name + QStringLiteral(": update window"));

        ScanFolderFromWindow(application, main, tree);
        ASSERT_NE(application.Scan(), nullptr);
        CheckWindow(*application.Scan(), name + QStringLiteral(": scan window"));
        CheckMenus(*application.Scan(), name + QStringLiteral(": scan window"));

        auto alert = std::make_unique<AlertWindow>(
            "Quellstone", application.SharedContext().languageText.Text(i18n::TextId::ScanFinished), tickers);
        alert->show();
        CheckWindow(*alert, name + QStringLiteral(": alert"));
    }
}

}  // namespace
}  // namespace quellstone::gui
