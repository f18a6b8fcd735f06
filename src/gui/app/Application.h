#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "core/app/Context.h"
#include "core/app/DesktopController.h"
#include "core/app/ScanLauncher.h"
#include "core/i18n/DocumentOpeners.h"
#include "core/i18n/LanguageFile.h"
#include "core/i18n/ReportingShell.h"
#include "core/ports/Dialogs.h"
#include "core/ports/Shell.h"
#include "core/quarantine/QuarantineManager.h"
#include "core/quarantine/Remover.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/windows/MainWindowModel.h"
#include "core/windows/ScanWindowModel.h"
#include "core/windows/SplashModel.h"
#include "core/windows/UpdateWindowModel.h"
#include "gui/app/Ticker.h"
#include "gui/scan/QtEventPump.h"
#include "platform/CurlHttpClient.h"
#include "platform/FlockInstanceLock.h"
#include "platform/LocaleCalendar.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcMountTable.h"
#include "platform/ProcProcessTable.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/SodiumSignatureVerifier.h"

namespace quellstone::gui {

class MainWindow;
class QtTranslations;
class RaiseRequests;
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
    // instance must end (after it has asked the running one to come to the
    // front). Then shows the start-up window.
    bool Start();

    [[nodiscard]] SplashWindow* Splash() const { return splash_.get(); }
    [[nodiscard]] MainWindow* Main() const { return mainWindow_.get(); }
    [[nodiscard]] windows::MainWindowModel* MainModel() const { return controller_.MainModel(); }
    [[nodiscard]] app::Context& SharedContext() { return context_; }
    [[nodiscard]] int SilentUpdateLoads() const { return controller_.SilentUpdateLoads(); }
    [[nodiscard]] ScanWindow* Scan() const { return scanWindow_.get(); }
    [[nodiscard]] windows::ScanWindowModel* ScanModel() const { return controller_.ScanModel(); }

    // The window rules (one scan at a time, one update window, quitting).
    [[nodiscard]] app::DesktopController& Controller() { return controller_; }
    [[nodiscard]] UpdateWindow* Update() const { return updateWindow_.get(); }
    [[nodiscard]] windows::UpdateWindowModel* UpdateModel() const { return controller_.UpdateModel(); }

private:
    void HandOver();
    app::DesktopController::Views ControllerViews();

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
    // Every window's openers go through it, so a document or page that nothing opens is named in a message.
    i18n::ReportingShell reportingShell_;
    i18n::DocumentOpeners openers_;
    windows::SplashModel splashModel_;
    platform::ProcMountTable drives_;
    platform::ProcProcessTable processes_;
    platform::LocaleCalendar calendar_;
    QtEventPump pump_;
    // Where the scan's thread posts its end notice; it goes after the scan's thread has ended.
    QObject scanResultsContext_;
    app::ScanLauncher launcher_;
    platform::PosixFileOperations fileOperations_;
    quarantine::Remover remover_;
    quarantine::QuarantineManager quarantine_;
    // The database update's own ports: the database may be larger than other downloads.
    platform::CurlHttpClient databaseHttp_;
    platform::CurlHttpClient signatureHttp_;
    platform::SodiumSignatureVerifier verifier_;
    std::unique_ptr<SplashWindow> splash_;
    app::DesktopController controller_;
    // After the controller, so the widgets go before the models they draw.
    std::unique_ptr<MainWindow> mainWindow_;
    // After the main window, so it goes first: the scan window is its child.
    std::unique_ptr<ScanWindow> scanWindow_;
    std::unique_ptr<UpdateWindow> updateWindow_;
    // Hands a running scan's results to its window every 100 ms, and its end
    // at once (the scan's thread has the next tick come without delay).
    static constexpr int kScanResultsIntervalMs = 100;
    std::unique_ptr<Ticker> scanResults_;
    std::unique_ptr<SilentUpdate> silentUpdate_;
    // Qt's own texts in the chosen language, from the start on.
    std::unique_ptr<QtTranslations> qtTexts_;
    // Listens while this instance holds the lock; a later start asks it to come to the front.
    std::unique_ptr<RaiseRequests> raiseRequests_;
};

}  // namespace quellstone::gui
