// The desktop program's windows on Qt's offscreen platform, over the real
// settings file and the built program folder's language files: the fixture
// the GUI tests share.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <stdexcept>

#include "core/quarantine/Remover.h"
#include "gui/app/Application.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/Pictures.h"
#include "gui/app/SplashWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/scan/ResultTableModel.h"
#include "gui/scan/ScanWindow.h"
#include "gui/update/UpdateWindows.h"
#include "platform/CurlHttpClient.h"
#include "platform/OfflineHttpClient.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
#include "support/ManualTickers.h"
#include "support/MemorySettingsBackend.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

namespace quellstone::gui {

using quellstone::testing::FakeDialogs;
using quellstone::testing::FakeShell;
using quellstone::testing::ManualTickers;
using quellstone::testing::TempDir;
using quellstone::testing::TestHttpServer;
using namespace std::chrono_literals;

class DesktopWindowsTest : public ::testing::Test {
protected:
    ApplicationSetup AppSetup() {
        return {{QUELLSTONE_PROGRAM_DIR, dir / "data", "/usr", "/opt/", "", "", dir / "system"},
                dir / "registry.reg",
                dir / "instance.lock",
                &tickers};
    }
    void StoreSetting(const settings::SettingKey& key, const std::string& value) {
        platform::PosixFileStore files;
        platform::RegFileSettingsBackend backend(files, AppSetup().settingsFile);
        settings::SettingsStore(backend).Write(key, value);
    }
    void StoreLanguage(const std::string& language) { StoreSetting(settings::keys::kLanguage, language); }
    // Starts the program and steps the start-up window to its hand-over on the third tick.
    MainWindow& StartToMainWindow(Application& application) {
        EXPECT_TRUE(application.Start());
        EXPECT_TRUE(application.Splash()->isVisible());
        for (int tick = 1; tick <= 3; ++tick) {
            EXPECT_EQ(application.Main(), nullptr) << "handed over before tick " << tick;
            EXPECT_TRUE(tickers.Fire("splash"));
        }
        EXPECT_FALSE(tickers.Fire("splash"));  // stopped at the hand-over
        if (!application.Main()) throw std::runtime_error("no main window after the start-up window");
        return *application.Main();
    }
    // Starts a scan of `folder` as a user would: the Scan frame, the
    // chosen-folder mode, the folder typed, the start button. The scan runs
    // on; its window has had none of its results yet.
    static void StartScanFromWindow(MainWindow& main, const std::string& folder) {
        QTest::mouseClick(Find(main, "scanLink"), Qt::LeftButton);
        Find<QAbstractButton>(main, "chosenFolderOption")->click();
        auto* field = Find<QLineEdit>(main, "scanFolderEdit");
        field->clear();
        QTest::keyClicks(field, QString::fromStdString(folder));
        Find<QAbstractButton>(main, "startScanButton")->click();
    }
    // ... and waits until the scan window shows the scan's end.
    static void ScanFolderFromWindow(Application& application, MainWindow& main, const std::string& folder) {
        StartScanFromWindow(main, folder);
        application.Controller().FinishScan();
    }
    // Activated, so that the window's shortcuts and keyboard focus work as on a desktop.
    static void Activate(QWidget& window) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    template <typename T = QWidget>
    static T* Find(QWidget& window, const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }

    ManualTickers tickers;  // before every window, which hold its tickers
    TempDir dir;
    platform::PosixFileStore files_;
    FakeDialogs dialogs;
    FakeShell shell;
    platform::OfflineHttpClient http;
};

}  // namespace quellstone::gui
