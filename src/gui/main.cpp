#include <signal.h>

#include <QApplication>
#include <QIcon>
#include <iostream>
#include <optional>
#include <string>

#include "gui/app/Application.h"
#include "gui/app/Pictures.h"
#include "gui/app/QtDialogs.h"
#include "platform/CurlHttpClient.h"
#include "platform/ExecutableFolder.h"
#include "platform/InstallLayout.h"
#include "platform/UserFolders.h"
#include "platform/XdgOpenShell.h"

int main(int argc, char** argv) {
    namespace platform = quellstone::platform;
    // Without its own folder the program would read another folder's files: it refuses to start.
    const std::optional<std::string> folder = platform::ExecutableFolder();
    if (!folder) {
        std::cerr << "quellstone: " << platform::kNoProgramFolderMessage << '\n';
        return 2;
    }
    // A write past the file-size limit fails with EFBIG (a removal then keeps
    // the file and says there is no space for its copy) instead of killing the program.
    ::signal(SIGXFSZ, SIG_IGN);
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quellstone"));
    quellstone::gui::LoadPictures();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/quellstone.svg")));

    const platform::EnvironmentReader environment = platform::ProcessEnvironment();
    quellstone::gui::ApplicationSetup setup{
        platform::LinuxProgramPaths(environment, platform::FindInstallLayout(*folder)),
        platform::SettingsFilePath(environment), platform::InstanceLockPath(environment)};
    quellstone::gui::QtDialogs dialogs;
    platform::XdgOpenShell shell;
    platform::CurlHttpClient http;
    quellstone::gui::Application application(std::move(setup), dialogs, shell, http);
    // A second instance has told the user and ends here, leaving the first alone.
    if (!application.Start()) return 0;
    return QApplication::exec();
}
