#include "gui/app/Application.h"

#include <unistd.h>

#include <QCoreApplication>
#include <initializer_list>

#include "core/app/IgnoredDatabaseWarning.h"
#include "core/update/DatabaseInUse.h"
#include "gui/app/CloseGuard.h"
#include "gui/app/Pictures.h"
#include "gui/app/QtTranslations.h"
#include "gui/app/RaiseRequests.h"
#include "gui/app/SplashWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/quarantine/AlertWindow.h"
#include "gui/scan/ScanWindow.h"
#include "gui/update/UpdateWindows.h"
#include "platform/SodiumSignatureVerifier.h"
#include "platform/ThreadPriority.h"

namespace quellstone::gui {

namespace {

// The downloaded database when it verifies and is newer, else the program
// folder's; why a downloaded one was ignored waits for the main window.
// Every later load of the downloaded database is checked again, so a file
// changed after this choice is never used unverified.
void UseDatabaseInUse(app::Context& context, const settings::ProgramPaths& paths, ports::FileStore& files,
                      ports::SignatureVerifier& verifier) {
    const std::string publicKey = i18n::VendorAddresses::Load(files, paths.VendorFile()).updatePublicKey;
    const update::DatabaseInUse chosen = update::ChooseDatabase(paths, publicKey, files, verifier);
    context.signatures.UseDatabase(chosen.path);
    context.signatures.SetLoadCheck(update::UserDatabaseLoadCheck(paths, publicKey, files, verifier));
    context.ignoredDatabaseReason = chosen.warning;
    context.ignoredDatabasePath = chosen.warningPath;
}

}  // namespace

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
      reportingShell_(shell_, dialogs_, context_.languageText),
      openers_(store_, reportingShell_, tree_, setup_.paths.programFolder,
               i18n::VendorAddresses::Load(files_, setup_.paths.VendorFile())),
      splashModel_(context_.languageText, languages_, lock_, dialogs_),
      drives_(files_),
      launcher_(context_, setup_.paths,
                app::ScanLauncher::Ports{store_, calendar_, drives_, tree_, platform::LowerThreadPriority, &processes_,
                                         &files_},
                [this] {
                    // On the scan's thread: the results ticker's next tick comes at once and shows the end.
                    QMetaObject::invokeMethod(
                        &scanResultsContext_, [this] { scanResults_->SetInterval(0); }, Qt::QueuedConnection);
                }),
      remover_(fileOperations_, files_, store_, setup_.paths),
      quarantine_(fileOperations_, files_, context_.signatures, dialogs_, setup_.paths),
      databaseHttp_(platform::CurlHttpClient::ForDatabase(update::kMaxDatabaseBytes)),
      signatureHttp_(std::chrono::seconds(60), update::kMaxSignatureDownloadBytes),
      controller_(
          app::DesktopController::Services{
              context_, setup_.paths, store_, dialogs_, reportingShell_, files_, http_, pump_, openers_, quarantine_,
              remover_, launcher_, &databaseHttp_, &verifier_, &signatureHttp_, &processes_,
              // Root's updates serve every user, as on the command line.
              ::geteuid() == 0 ? update::DatabaseSource::System : update::DatabaseSource::User},
          ControllerViews()) {
    UseDatabaseInUse(context_, setup_.paths, files_, verifier_);
    LoadPictures();
    scanResults_ = tickers_.Make("scan.results");
    scanResults_->SetInterval(kScanResultsIntervalMs);
    scanResults_->OnTick([this] { controller_.DeliverScanResults(); });
}

Application::~Application() {
    // No scan thread may outlive the ports it uses or what its end notice reaches.
    launcher_.Abandon();
    launcher_.WaitUntilEnded();
}

bool Application::Start() {
    qtTexts_ = std::make_unique<QtTranslations>(store_.Read(settings::keys::kLanguage));
    const QString socketPath = RaiseRequests::SocketPathFor(QString::fromStdString(setup_.lockFile));
    // The running instance comes to the front first, then this one says why it ends.
    if (!splashModel_.Initialise([&socketPath] { RaiseRequests::Ask(socketPath); })) return false;
    raiseRequests_ = std::make_unique<RaiseRequests>(socketPath, [this] {
        if (mainWindow_) {
            mainWindow_->BringToFront();
        } else if (splash_) {
            splash_->raise();
        }
    });
    raiseRequests_->Listen();
    splash_ = std::make_unique<SplashWindow>(
        splashModel_, [this] { HandOver(); }, tickers_);
    splash_->show();
    return true;
}

app::DesktopController::Views Application::ControllerViews() {
    app::DesktopController::Views views;
    views.refreshMainWindow = [this] {
        if (mainWindow_) mainWindow_->Refresh();
    };
    views.rebuildQuarantineList = [this] {
        if (mainWindow_) mainWindow_->RefreshQuarantineList();
    };
    views.closeSplash = [this] {
        if (splash_) splash_->CloseIfOpen();
    };
    views.silentUpdateOpened = [this] {
        silentUpdate_ = std::make_unique<SilentUpdate>(*controller_.SilentModel(), tickers_);
    };
    views.dropScanWindow = [this] { scanWindow_.reset(); };
    views.scanWindowOpened = [this] {
        scanWindow_ = std::make_unique<ScanWindow>(
            *controller_.ScanModel(), mainWindow_.get(), [this] { controller_.RemoveDetections(); }, tickers_);
        scanWindow_->Refresh();
        scanWindow_->PlaceOver(mainWindow_.get());
        scanWindow_->show();
        scanResults_->SetInterval(kScanResultsIntervalMs);
        scanResults_->Start();
    };
    views.scanProgress = [this] {
        if (scanWindow_) scanWindow_->Refresh();
    };
    views.scanEnded = [this] {
        scanResults_->Stop();
        if (scanWindow_) scanWindow_->Refresh();
    };
    views.showAlert = [this](const std::string& title, const std::string& message) {
        auto* alert = new AlertWindow(title, message, tickers_);  // deletes itself once it has slid out
        alert->show();
    };
    views.dropUpdateWindow = [this] { updateWindow_.reset(); };
    views.updateWindowOpened = [this] {
        updateWindow_ = std::make_unique<UpdateWindow>(*controller_.UpdateModel(), mainWindow_.get(), tickers_);
        updateWindow_->show();
    };
    views.raiseUpdateWindow = [this] {
        if (updateWindow_) updateWindow_->raise();
    };
    views.endProgram = [this] {
        if (mainWindow_) mainWindow_->StorePlace();  // however the program ends
        // Nothing is destroyed here: a wait that yields to events may be
        // running below; the event loop ends once it has unwound.
        for (QWidget* window : std::initializer_list<QWidget*>{splash_.get(), scanWindow_.get(), updateWindow_.get(),
                                                               mainWindow_.get()}) {
            if (window) window->hide();
        }
        QCoreApplication::exit(0);
    };
    return views;
}

void Application::HandOver() {
    windows::MainWindowModel& model = controller_.OpenMainWindow();
    MainWindow::Host host;
    host.showUpdateWindow = [this] { controller_.ShowUpdateWindow(); };
    host.updateDatabase = [this] { controller_.UpdateDatabase(); };
    host.startScan = [this] { controller_.StartScan(); };
    host.quit = [this] { controller_.QuitClicked(); };
    mainWindow_ = std::make_unique<MainWindow>(model, context_.languageText, std::move(host), tickers_);
    // The close box asks before anything closes: "No" keeps every window as it was.
    new CloseGuard(mainWindow_.get(), [this] { return controller_.QuitClicked(); });  // owned by the window
    mainWindow_->SyncTimers();
    mainWindow_->show();
    app::WarnOfIgnoredDatabase(context_, setup_.paths, dialogs_);
}

}  // namespace quellstone::gui
