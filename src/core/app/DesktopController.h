#pragma once

#include <functional>
#include <memory>

#include "core/app/Context.h"
#include "core/app/ScanLauncher.h"
#include "core/i18n/DocumentOpeners.h"
#include "core/ports/Dialogs.h"
#include "core/ports/EventPump.h"
#include "core/ports/FileStore.h"
#include "core/ports/HttpClient.h"
#include "core/ports/Shell.h"
#include "core/ports/SignatureVerifier.h"
#include "core/quarantine/QuarantineManager.h"
#include "core/quarantine/Remover.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/update/DatabaseInUse.h"
#include "core/windows/MainWindowModel.h"
#include "core/windows/ScanWindowModel.h"
#include "core/windows/UpdateWindowModel.h"

namespace quellstone::app {

// The desktop program's windows after the start-up window, and the rules
// between them: one scan at a time (a second one would pull the first one's
// window from under its walk), one manual update window at a time, and
// nothing new once the program is closing. It owns the window models; the
// front end owns the widgets and makes or drops them when told to.
class DesktopController {
public:
    struct Services {
        Context& context;
        settings::ProgramPaths paths;
        settings::SettingsStore& store;
        ports::Dialogs& dialogs;
        ports::Shell& shell;
        ports::FileStore& files;
        ports::HttpClient& http;
        ports::EventPump& pump;
        i18n::DocumentOpeners& openers;
        quarantine::QuarantineManager& quarantine;
        quarantine::Remover& remover;
        ScanLauncher& launcher;
        // A database update's ports; without both, updates are not offered.
        ports::HttpClient* databaseHttp = nullptr;  // with the database's body limit
        ports::SignatureVerifier* verifier = nullptr;
        // With a signature file's small body limit; `http` when not given.
        ports::HttpClient* signatureHttp = nullptr;
        // Ends detected processes the user agrees to end; without it they are left running.
        ports::ProcessTable* processes = nullptr;
        // Where a database update installs: the user's own, or for root the system's.
        update::DatabaseSource databaseInto = update::DatabaseSource::User;
    };

    // What the front end does for the windows this controller opens and closes.
    struct Views {
        std::function<void()> refreshMainWindow;
        std::function<void()> rebuildQuarantineList;
        std::function<void()> closeSplash;
        // The silent update check was made; give it its timer.
        std::function<void()> silentUpdateOpened;
        // The scan window's model is about to be replaced: drop its widget.
        std::function<void()> dropScanWindow;
        // A new scan window model exists and its scan starts: make and show
        // its widget, and call DeliverScanResults regularly.
        std::function<void()> scanWindowOpened;
        // The scan window's model took new results: draw them.
        std::function<void()> scanProgress;
        // The scan has ended (finished, stopped or abandoned) and its window shows it all.
        std::function<void()> scanEnded;
        // Shows a passing notice (title, message) that closes by itself.
        std::function<void(const std::string&, const std::string&)> showAlert;
        std::function<void()> dropUpdateWindow;
        std::function<void()> updateWindowOpened;
        std::function<void()> raiseUpdateWindow;
        // The program closes: hide every window and end the event loop.
        std::function<void()> endProgram;
    };

    DesktopController(Services services, Views views);
    ~DesktopController();
    DesktopController(const DesktopController&) = delete;
    DesktopController& operator=(const DesktopController&) = delete;

    // Makes and loads the main window model and starts its start-up timer.
    windows::MainWindowModel& OpenMainWindow();

    // The start button: counts the scan, replaces the scan window and
    // starts the walk of the selected mode's folders on a thread of its own.
    // Nothing happens while a scan runs or the program is closing.
    void StartScan();
    // On the window's thread, at least every 100 ms while a scan runs and
    // once its thread has ended: shows what the scan found since the last
    // call, and at its end finishes the scan window.
    void DeliverScanResults();
    [[nodiscard]] bool ScanRunning() const { return services_.context.scan.running; }
    // Waits for a running scan's thread to end, then delivers its results.
    void FinishScan();
    // The scan window's remove button.
    void RemoveDetections();
    // The manual update window (menu, link and picture): raised when one is
    // open, a new one otherwise.
    void ShowUpdateWindow();
    // The database update (link and menu item): downloads, checks and
    // installs the server's database, then the window uses it. One update at
    // a time; none while a scan runs, and no scan starts while one runs (the
    // database would change under the walk).
    void UpdateDatabase();
    [[nodiscard]] bool DatabaseUpdating() const { return databaseUpdating_; }
    // The user closes the main window (its close box, the menu or the
    // link): asks once when the scan window's list or a running walk would
    // be lost, then quits; true when the program ends. Nothing closes on "No".
    bool QuitClicked();
    // Ends the program at once. It may be called from inside a wait (a walk or
    // a download yields to events), so nothing is destroyed here: every wait is
    // told to return, and the front end ends its event loop.
    void Quit();

    [[nodiscard]] bool Quitting() const { return services_.context.quit.stop_requested(); }
    [[nodiscard]] windows::MainWindowModel* MainModel() const { return mainModel_.get(); }
    [[nodiscard]] windows::ScanWindowModel* ScanModel() const { return scanModel_.get(); }
    [[nodiscard]] windows::UpdateWindowModel* UpdateModel() const { return updateModel_.get(); }
    [[nodiscard]] windows::SilentUpdateModel* SilentModel() const { return silentModel_.get(); }
    [[nodiscard]] int SilentUpdateLoads() const { return silentUpdateLoads_; }

private:
    [[nodiscard]] windows::UpdatePorts UpdatePortsForWindow() const;
    void LoadSilentUpdate();

    Services services_;
    Views views_;
    std::unique_ptr<windows::MainWindowModel> mainModel_;
    std::unique_ptr<windows::ScanWindowModel> scanModel_;
    std::unique_ptr<windows::UpdateWindowModel> updateModel_;
    std::unique_ptr<windows::SilentUpdateModel> silentModel_;
    int silentUpdateLoads_ = 0;
    bool databaseUpdating_ = false;
};

}  // namespace quellstone::app
