#include "gui/app/Application.h"

#include "gui/app/MainWindow.h"
#include "gui/app/Pictures.h"
#include "gui/app/SplashWindow.h"

namespace quellstone::gui {

Application::Application(ApplicationSetup setup, ports::Dialogs& dialogs, ports::Shell& shell)
    : setup_(std::move(setup)),
      dialogs_(dialogs),
      shell_(shell),
      settingsFile_(files_, setup_.settingsFile),
      store_(settingsFile_),
      lock_(setup_.lockFile),
      context_(files_, setup_.paths.programFolder),
      languages_(store_, files_, tree_, dialogs_, setup_.paths.programFolder),
      openers_(store_, shell_, tree_, setup_.paths.programFolder,
               i18n::VendorAddresses::Load(files_, setup_.paths.VendorFile())),
      splashModel_(context_, languages_, lock_, dialogs_) {
    LoadPictures();
}

Application::~Application() = default;

bool Application::Start() {
    if (!splashModel_.Initialise()) return false;
    splash_ = std::make_unique<SplashWindow>(splashModel_, [this] { HandOver(); });
    splash_->show();
    return true;
}

void Application::HandOver() {
    app::MainWindowModel::Hooks hooks;
    hooks.rebuildQuarantineList = [] {
        // The quarantine list is filled by the quarantine manager.
    };
    hooks.loadSilentUpdate = [this] { ++silentUpdateLoads_; };
    hooks.closeSplash = [this] {
        if (splash_) splash_->CloseIfOpen();
    };
    mainModel_ = std::make_unique<app::MainWindowModel>(
        context_, setup_.paths, app::MainWindowModel::Ports{store_, dialogs_, shell_, files_, openers_},
        std::move(hooks));
    mainModel_->Load();
    mainWindow_ = std::make_unique<MainWindow>(*mainModel_, context_.languageText, [] {
        // The manual update window arrives with the update check.
    });
    mainModel_->EnableTimer3();
    mainWindow_->SyncTimer3();
    mainWindow_->show();
}

}  // namespace quellstone::gui
