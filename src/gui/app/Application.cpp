#include "gui/app/Application.h"

#include <QCoreApplication>
#include <initializer_list>

#include "gui/app/MainWindow.h"
#include "gui/app/Pictures.h"
#include "gui/app/SplashWindow.h"
#include "gui/scan/ScanWindow.h"
#include "gui/update/UpdateWindows.h"

namespace quellstone::gui {

Application::Application(ApplicationSetup setup, ports::Dialogs& dialogs, ports::Shell& shell, ports::HttpClient& http)
    : setup_(std::move(setup)),
      tickers_(setup_.tickers ? *setup_.tickers : QtTickers::Real()),
      dialogs_(dialogs),
      shell_(shell),
      http_(http),
      settingsFile_(files_, setup_.settingsFile),
      store_(settingsFile_),
      lock_(setup_.lockFile),
      context_(files_, setup_.paths.programFolder),
      languages_(store_, files_, tree_, dialogs_, setup_.paths.programFolder),
      openers_(store_, shell_, tree_, setup_.paths.programFolder,
               i18n::VendorAddresses::Load(files_, setup_.paths.VendorFile())),
      splashModel_(context_, languages_, lock_, dialogs_),
      drives_(files_),
      launcher_(context_, setup_.paths, scan::ScanLauncher::Ports{store_, calendar_, drives_, tree_, pump_}),
      remover_(fileOperations_, store_, setup_.paths),
      quarantine_(fileOperations_, context_.signatures, dialogs_, setup_.paths) {
    LoadPictures();
}

Application::~Application() = default;

bool Application::Start() {
    if (!splashModel_.Initialise()) return false;
    splash_ = std::make_unique<SplashWindow>(
        splashModel_, [this] { HandOver(); }, tickers_);
    splash_->show();
    return true;
}

void Application::HandOver() {
    app::MainWindowModel::Hooks hooks;
    hooks.rebuildQuarantineList = [this] {
        if (mainWindow_) mainWindow_->RefreshQuarantineList();
    };
    hooks.loadSilentUpdate = [this] {
        // Loaded once per run; it checks on its first tick and speaks only of a newer version.
        ++silentUpdateLoads_;
        silentModel_ = std::make_unique<update::SilentUpdateModel>(
            context_, update::UpdatePorts{http_, pump_, dialogs_, openers_, openers_.Addresses().updateServer});
        silentUpdate_ = std::make_unique<SilentUpdate>(*silentModel_, tickers_);
    };
    hooks.closeSplash = [this] {
        if (splash_) splash_->CloseIfOpen();
    };
    mainModel_ = std::make_unique<app::MainWindowModel>(
        context_, setup_.paths, app::MainWindowModel::Ports{store_, dialogs_, shell_, files_, openers_, &quarantine_},
        std::move(hooks));
    mainModel_->Load();
    MainWindow::Host host;
    host.showUpdateWindow = [this] { ShowUpdateWindow(); };
    host.startScan = [this] { StartScan(); };
    host.quit = [this] { Quit(); };
    mainWindow_ = std::make_unique<MainWindow>(*mainModel_, context_.languageText, std::move(host), tickers_);
    mainModel_->EnableTimer3();
    mainWindow_->SyncTimer3();
    mainWindow_->show();
}

void Application::StartScan() {
    if (!mainModel_ || context_.scan.scanRunning || context_.scan.launchRunning) return;
    if (context_.quit.stop_requested()) return;
    const auto mode = static_cast<scan::ScanMode>(mainModel_->ScanMode());
    mainModel_->ShowTotalScans(launcher_.CountScan(mode));
    mainWindow_->Refresh();

    scanWindow_.reset();  // the earlier scan's window, discarded
    scanModel_ = std::make_unique<scan::ScanWindowModel>(context_, dialogs_, files_);
    scanModel_->Load();
    scanWindow_ = std::make_unique<ScanWindow>(
        *scanModel_, mainWindow_.get(), [this] { RemoveDetections(); }, tickers_);
    scanWindow_->Refresh();
    scanWindow_->show();
    pump_.SetBeforeEvents([this] {
        if (scanWindow_) scanWindow_->Refresh();
    });
    launcher_.Run(mode, mainModel_->SelectedFolderForScan(), *scanModel_);
    pump_.SetBeforeEvents({});
    if (scanWindow_) scanWindow_->Refresh();
}

void Application::RemoveDetections() {
    if (!scanModel_ || !mainModel_) return;
    scan::MainWindowCounters counters;
    counters.raiseQuarantined = [this] { mainModel_->RaiseQuarantined(); };
    counters.showRemovedTotal = [this](std::int64_t total) { mainModel_->ShowRemovedTotal(total); };
    scanModel_->RemoveClicked(remover_, counters);
    mainWindow_->Refresh();
}

void Application::ShowUpdateWindow() {
    if (context_.quit.stop_requested()) return;
    if (updateModel_ && !updateModel_->Closed()) {
        updateWindow_->raise();
        return;
    }
    // A closed window's model may still be unwinding its check (the wait yields to events).
    if (updateModel_ && updateModel_->Checking()) return;
    updateWindow_.reset();
    updateModel_ = std::make_unique<update::UpdateWindowModel>(
        context_, update::UpdatePorts{http_, pump_, dialogs_, openers_, openers_.Addresses().updateServer});
    updateWindow_ = std::make_unique<UpdateWindow>(*updateModel_, mainWindow_.get(), tickers_);
    updateWindow_->show();
}

void Application::Quit() {
    // Quit may be called from inside a wait (a walk or a download yields to
    // events), so nothing here is destroyed: every wait is told to return, and
    // the event loop ends once they have unwound.
    context_.quit.request_stop();
    launcher_.Abandon();
    if (updateModel_) updateModel_->Close();  // cancels its request
    if (silentModel_) silentModel_->Close();
    for (QWidget* window :
         std::initializer_list<QWidget*>{splash_.get(), scanWindow_.get(), updateWindow_.get(), mainWindow_.get()}) {
        if (window) window->hide();
    }
    QCoreApplication::exit(0);
}

}  // namespace quellstone::gui
