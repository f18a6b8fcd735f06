#pragma once

#include <memory>
#include <string>

#include "core/app/Context.h"
#include "core/app/MainWindowModel.h"
#include "core/app/SplashModel.h"
#include "core/i18n/DocumentOpeners.h"
#include "core/i18n/LanguageFile.h"
#include "core/ports/Dialogs.h"
#include "core/ports/Shell.h"
#include "core/quarantine/QuarantineManager.h"
#include "core/quarantine/Remover.h"
#include "core/scan/ScanLauncher.h"
#include "core/scan/ScanWindowModel.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/update/UpdateWindowModel.h"
#include "gui/app/Ticker.h"
#include "gui/scan/QtEventPump.h"
#include "platform/FlockInstanceLock.h"
#include "platform/LocaleCalendar.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcMountTable.h"
#include "platform/RegFileSettingsBackend.h"

namespace quellstone::gui {

class MainWindow;
class ScanWindow;
class SilentUpdate;
class SplashWindow;
class UpdateWindow;

// Where the desktop program finds its folders and files.
struct ApplicationSetup {
    settings::ProgramPaths paths;
    std::string settingsFile;
    std::string lockFile;
    // The windows' timers; null runs them on real QTimers (a test steps its own).
    Tickers* tickers = nullptr;
};

// The desktop program for one run: the shared context, the platform
// implementations of the ports, and the windows from the start-up window on.
class Application {
public:
    Application(ApplicationSetup setup, ports::Dialogs& dialogs, ports::Shell& shell, ports::HttpClient& http);
    ~Application();

    // Loads the language and checks for another instance; false when this
    // instance must end. Then shows the start-up window.
    bool Start();

    [[nodiscard]] SplashWindow* Splash() const { return splash_.get(); }
    [[nodiscard]] MainWindow* Main() const { return mainWindow_.get(); }
    [[nodiscard]] app::MainWindowModel* MainModel() const { return mainModel_.get(); }
    [[nodiscard]] app::Context& SharedContext() { return context_; }
    [[nodiscard]] int SilentUpdateLoads() const { return silentUpdateLoads_; }
    [[nodiscard]] ScanWindow* Scan() const { return scanWindow_.get(); }
    [[nodiscard]] scan::ScanWindowModel* ScanModel() const { return scanModel_.get(); }

    // The start button's scan: counts it, replaces the scan window and walks
    // the selected mode's folders; returns when the scan has ended.
    void StartScan();
    // Ends the program at once: hides the windows, abandons a running scan,
    // cancels every update check and ends the event loop. Waits that yield to
    // events (a walk, a download) see the quit request and return.
    void Quit();
    // The scan window's remove button.
    void RemoveDetections();
    // The manual update window (menu, link and picture): a new one unless one is open.
    void ShowUpdateWindow();
    [[nodiscard]] UpdateWindow* Update() const { return updateWindow_.get(); }
    [[nodiscard]] update::UpdateWindowModel* UpdateModel() const { return updateModel_.get(); }

private:
    void HandOver();

    ApplicationSetup setup_;
    Tickers& tickers_;
    ports::Dialogs& dialogs_;
    ports::Shell& shell_;
    ports::HttpClient& http_;
    platform::PosixFileStore files_;
    platform::RegFileSettingsBackend settingsFile_;
    settings::SettingsStore store_;
    platform::PosixDirectoryTree tree_;
    platform::FlockInstanceLock lock_;
    app::Context context_;
    i18n::LanguageLoader languages_;
    i18n::DocumentOpeners openers_;
    app::SplashModel splashModel_;
    platform::ProcMountTable drives_;
    platform::LocaleCalendar calendar_;
    QtEventPump pump_;
    scan::ScanLauncher launcher_;
    platform::PosixFileOperations fileOperations_;
    quarantine::Remover remover_;
    quarantine::QuarantineManager quarantine_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<app::MainWindowModel> mainModel_;
    std::unique_ptr<MainWindow> mainWindow_;
    // After the main window, so it goes first: the scan window is its child.
    std::unique_ptr<scan::ScanWindowModel> scanModel_;
    std::unique_ptr<ScanWindow> scanWindow_;
    std::unique_ptr<update::UpdateWindowModel> updateModel_;
    std::unique_ptr<UpdateWindow> updateWindow_;
    std::unique_ptr<update::SilentUpdateModel> silentModel_;
    std::unique_ptr<SilentUpdate> silentUpdate_;
    int silentUpdateLoads_ = 0;
};

}  // namespace quellstone::gui
