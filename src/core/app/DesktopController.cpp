#include "core/app/DesktopController.h"

#include "core/app/IgnoredDatabaseWarning.h"
#include "core/settings/FirstStart.h"
#include "core/update/DatabaseInUse.h"

namespace quellstone::app {

namespace {

void Call(const std::function<void()>& view) {
    if (view) view();
}

}  // namespace

DesktopController::DesktopController(Services services, Views views)
    : services_(std::move(services)), views_(std::move(views)) {}

DesktopController::~DesktopController() = default;

windows::UpdatePorts DesktopController::UpdatePortsForWindow() const {
    return windows::UpdatePorts{services_.http,
                                services_.pump,
                                services_.dialogs,
                                services_.openers,
                                services_.openers.Addresses().updateServer,
                                services_.context.languageText,
                                services_.context.quit.get_token()};
}

windows::MainWindowModel& DesktopController::OpenMainWindow() {
    // Only the instance that holds the lock gets here: a second start writes nothing.
    settings::WriteFirstStartDefaults(services_.store);
    windows::MainWindowModel::Hooks hooks;
    hooks.rebuildQuarantineList = [this] { Call(views_.rebuildQuarantineList); };
    hooks.loadSilentUpdate = [this] { LoadSilentUpdate(); };
    hooks.closeSplash = [this] { Call(views_.closeSplash); };
    Context& context = services_.context;
    mainModel_ = std::make_unique<windows::MainWindowModel>(
        windows::MainWindowModel::Shared{context.languageText, context.scan, context.signatures}, services_.paths,
        windows::MainWindowModel::Ports{services_.store, services_.dialogs, services_.shell, services_.files,
                                        services_.openers, &services_.quarantine},
        std::move(hooks));
    mainModel_->Load();
    mainModel_->EnableStartupTimer();
    return *mainModel_;
}

void DesktopController::LoadSilentUpdate() {
    // Loaded once per run; it checks on its first tick and speaks only of a newer version.
    ++silentUpdateLoads_;
    silentModel_ = std::make_unique<windows::SilentUpdateModel>(UpdatePortsForWindow());
    Call(views_.silentUpdateOpened);
}

void DesktopController::StartScan() {
    const scan::ScanState& state = services_.context.scan;
    if (!mainModel_ || state.running || databaseUpdating_ || Quitting()) return;
    // A scan without signatures would end with "nothing was found": it does not start.
    std::shared_ptr<const scan::SignatureIndex> index = mainModel_->DatabaseReadyForScan();
    if (!index) {
        Call(views_.refreshMainWindow);
        return;
    }
    const scan::ScanMode mode = mainModel_->ScanMode();
    mainModel_->ShowTotalScans(services_.launcher.CountScan(mode));
    mainModel_->ShowLastSystemScan();  // a whole-computer scan has just stored today's date
    Call(views_.refreshMainWindow);

    Call(views_.dropScanWindow);  // the earlier scan's window, discarded
    scanModel_ = std::make_unique<windows::ScanWindowModel>(services_.context.languageText, services_.context.scan,
                                                            services_.dialogs, services_.files);
    scanModel_->Load();
    Call(views_.scanWindowOpened);
    using windows::ScanOption;
    const ScanBoxes boxes{.reported = {.adware = mainModel_->Checked(ScanOption::Adware),
                                       .lessDangerous = mainModel_->Checked(ScanOption::LessDangerous)},
                          .highPriority = mainModel_->Checked(ScanOption::HighPriority)};
    services_.launcher.Start(mode, mainModel_->SelectedFolderForScan(), *scanModel_, scan::ReadyIndex(std::move(index)),
                             boxes);
}

void DesktopController::FinishScan() {
    services_.launcher.WaitUntilEnded();
    DeliverScanResults();
}

void DesktopController::DeliverScanResults() {
    if (!scanModel_) return;
    if (!services_.launcher.Deliver()) {
        Call(views_.scanProgress);
        return;
    }
    Call(views_.scanEnded);
    // Detections found while the user was elsewhere: a notice says so.
    if (Quitting()) return;
    WarnOfIgnoredDatabase(services_.context, services_.paths, services_.dialogs);
    if (const std::optional<windows::ScanAlert> alert = scanModel_->FinishedAlert(); alert && views_.showAlert)
        views_.showAlert(alert->title, alert->message);
}

void DesktopController::RemoveDetections() {
    if (!scanModel_ || !mainModel_) return;
    windows::MainWindowCounters counters;
    counters.showRemovedTotal = [this](std::int64_t total) { mainModel_->ShowRemovedTotal(total); };
    scanModel_->RemoveClicked(services_.remover, counters, services_.processes);
    // The pass may have added archives: the count, and a quarantine list on screen, show them.
    mainModel_->QuarantineFolderChanged();
    Call(views_.refreshMainWindow);
}

void DesktopController::ShowUpdateWindow() {
    if (Quitting()) return;
    if (updateModel_ && !updateModel_->Closed()) {
        Call(views_.raiseUpdateWindow);
        return;
    }
    // A closed window's model may still be unwinding its check (the wait yields to events).
    if (updateModel_ && updateModel_->Checking()) return;
    Call(views_.dropUpdateWindow);
    updateModel_ = std::make_unique<windows::UpdateWindowModel>(UpdatePortsForWindow());
    Call(views_.updateWindowOpened);
}

void DesktopController::UpdateDatabase() {
    const scan::ScanState& state = services_.context.scan;
    if (!mainModel_ || databaseUpdating_ || Quitting()) return;
    if (!services_.databaseHttp || !services_.verifier) return;
    if (state.running) {
        mainModel_->RefuseDatabaseUpdateDuringScan();
        return;
    }
    databaseUpdating_ = true;
    mainModel_->ShowDatabaseUpdating();
    Call(views_.refreshMainWindow);
    const i18n::VendorAddresses& vendor = services_.openers.Addresses();
    const update::DatabaseUpdateResult result = update::UpdateDatabase(
        vendor.updateServer, vendor.updatePublicKey, services_.paths,
        {*services_.databaseHttp, services_.signatureHttp ? *services_.signatureHttp : services_.http, services_.pump,
         *services_.verifier, services_.files},
        services_.context.quit.get_token(), services_.databaseInto);
    databaseUpdating_ = false;
    if (Quitting()) return;
    if (result.Succeeded()) {
        // Chosen as at start-up, so the window uses what the next start would
        // -- also when another process installed the newest one meanwhile.
        services_.context.signatures.UseDatabase(
            update::ChooseDatabase(services_.paths, vendor.updatePublicKey, services_.files, *services_.verifier).path);
    }
    mainModel_->ShowDatabaseUpdateResult(result);
    Call(views_.refreshMainWindow);
}

bool DesktopController::QuitClicked() {
    if (Quitting()) return true;
    if (scanModel_ && !scanModel_->QuitClicked()) return false;
    Quit();
    return true;
}

void DesktopController::Quit() {
    services_.context.quit.request_stop();
    services_.launcher.Abandon();
    if (updateModel_) updateModel_->Close();  // cancels its request
    if (silentModel_) silentModel_->Close();
    Call(views_.endProgram);
}

}  // namespace quellstone::app
