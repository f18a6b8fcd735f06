// Renders the desktop program's windows, and the questions and messages a
// scan and its removal bring up, to PNG files for the documentation:
//   quellstone-screenshots OUTPUT_FOLDER PROGRAM_FOLDER LANGUAGE...
// Runs on Qt's offscreen platform with a settings file of its own, so the
// user's settings are never touched.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeView>
#include <cstdio>
#include <tuple>

#include "core/scan/ScheduledScanResult.h"
#include "gui/app/AboutDialog.h"
#include "gui/app/Application.h"
#include "gui/app/Pictures.h"
#include "gui/app/SplashWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/scan/ScanWindow.h"
#include "gui/tools/PhotographingDialogs.h"
#include "gui/update/UpdateWindows.h"
#include "platform/OfflineHttpClient.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"

namespace {

using namespace quellstone;

class NoShell final : public ports::Shell {
public:
    bool OpenWithDefaultAction(const std::string&) override { return true; }
};

// The inside of a window on a 1280x800 screen at 200 %, with a task bar and a
// title bar taken off, in the scaled pixels the layouts use.
constexpr QSize kRoomAt200(632, 316);

bool Save(QWidget& widget, const QString& path) {
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    gui::LoadPictures();
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER PROGRAM_FOLDER LANGUAGE...\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);
    bool ok = true;
    for (int i = 3; i < argc; ++i) {
        const std::string language = argv[i];
        // At twice the scale the pictures are named apart, and the windows are
        // as small as a 1280x800 screen leaves them.
        const bool doubled = qApp->devicePixelRatio() >= 2;
        const QString suffix =
            QString::fromStdString(language).toLower() + (doubled ? QStringLiteral("-200") : QString());
        QTemporaryDir home;
        const std::string root = home.path().toStdString();
        auto paths = settings::ProgramPaths::OnThisSystem(argv[2], root + "/data");
        paths.systemDataFolder = root + "/system";
        gui::ApplicationSetup setup{paths, root + "/registry.reg", root + "/instance.lock"};
        {
            platform::PosixFileStore files;
            platform::RegFileSettingsBackend backend(files, setup.settingsFile);
            settings::SettingsStore store(backend);
            store.Write("Settings", "curLang", language);
            store.Write("Status", "Totalscans", "12");
            store.Write("Status", "TotalObjectsRemoved", "3");
            store.Write("Status", "LastSystemScan", "2026-12-01");
            store.Write("Settings", "ExcludedFolders", "/home/user/Virtual Machines\n/srv/backup");
            // The timer's scan of last night, for the Information frame.
            scan::WriteScheduledScanResult(files, scan::ScheduledScanResultPath(paths),
                                           {1796689062, 48213, 0, scan::ScanEnd::Finished});
            // And the system timer's scan of the whole computer, an hour earlier.
            scan::WriteScheduledScanResult(files, scan::SystemScanResultPath(paths),
                                           {1796685462, 612904, 1, scan::ScanEnd::Finished});
        }
        gui::PhotographingDialogs dialogs(output, suffix);
        NoShell shell;
        platform::OfflineHttpClient http;  // no network: the silent update check fails at once
        gui::Application application(setup, dialogs, shell, http);
        if (!application.Start()) return 1;
        ok &= Save(*application.Splash(), output + "/splash-" + suffix + ".png");
        QElapsedTimer waited;
        waited.start();
        while (!application.Main() && waited.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        gui::MainWindow* main = application.Main();
        if (!main) return 1;
        windows::MainWindowModel& model = *application.MainModel();
        // A finished scan with detections: a small tree with names from the database.
        const std::string tree = root + "/Downloads";
        QDir().mkpath(QString::fromStdString(tree + "/old-tools/backup"));
        for (const char* name : {"/QUELLSTONE-TEST.EXE", "/holiday.jpg", "/old-tools/MSBLAST.EXE",
                                 "/old-tools/readme.txt", "/old-tools/backup/NETBUS.EXE", "/report.pdf"}) {
            QFile file(QString::fromStdString(tree + name));
            file.open(QIODevice::WriteOnly);
        }
        // One miner dropped in a dozen cache folders: the quarantine numbers its copies.
        for (int copy = 1; copy <= 12; ++copy) {
            const QString folder = QString::fromStdString(tree) + QStringLiteral("/.cache/session-%1").arg(copy);
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/kdevtmpfsi"));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(4096 * copy, 'x'));
        }
        model.SetCurrentFrame(windows::Frame::Scan);
        model.ModeClicked(scan::ScanMode::ChosenFolder);
        model.ScanFolderEdited(tree);
        main->Refresh();
        application.Controller().StartScan();
        application.Controller().FinishScan();  // the pictures show the scan's end
        if (gui::ScanWindow* window = application.Scan()) {
            window->resize(doubled ? kRoomAt200 : QSize(760, 520));
            window->Refresh();
            QCoreApplication::processEvents();
            ok &= Save(*window, output + "/scan-window-" + suffix + ".png");
            window->Tabs()->setCurrentIndex(1);
            QCoreApplication::processEvents();
            ok &= Save(*window, output + "/scan-report-" + suffix + ".png");
            window->Tabs()->setCurrentIndex(0);

            // Closing with results asks first ("No" keeps the list); removing asks
            // first and then says what happened, row by row too.
            dialogs.Expect("close-question", ports::MessageAnswer::No);
            window->close();
            dialogs.Expect("remove-question", ports::MessageAnswer::Yes);
            dialogs.Expect("removal-finished", ports::MessageAnswer::Ok);
            if (auto* remove = window->findChild<QPushButton*>("removeButton")) remove->click();
            window->Tabs()->setCurrentIndex(0);
            window->Refresh();
            QCoreApplication::processEvents();
            ok &= Save(*window, output + "/scan-window-removed-" + suffix + ".png");
        }
        const std::tuple<windows::Frame, windows::NavigationLink, const char*> frames[] = {
            {windows::Frame::Information, windows::NavigationLink::Information, "information"},
            {windows::Frame::Scan, windows::NavigationLink::Scan, "scan"},
            {windows::Frame::Settings, windows::NavigationLink::Settings, "settings"},
            {windows::Frame::Quarantine, windows::NavigationLink::Quarantine, "quarantine"}};
        if (doubled) main->resize(kRoomAt200);
        for (const auto& [frame, link, name] : frames) {
            model.SetCurrentFrame(frame);
            model.HoverLink(link);  // as if the pointer rested on the link just clicked
            main->Refresh();
            QCoreApplication::processEvents();
            ok &= Save(*main, output + "/" + name + "-" + suffix + ".png");
        }
        // The quarantine frame's delete asks before anything is lost.
        model.SetCurrentFrame(windows::Frame::Quarantine);
        main->Refresh();
        if (!doubled) {
            // A quarantine of many archives, sorted by the detection's column, on a wide screen.
            const QSize shown = main->size();
            main->resize(1100, 560);
            main->QuarantineList()->sortByColumn(1, Qt::AscendingOrder);
            QCoreApplication::processEvents();
            ok &= Save(*main, output + "/quarantine-sorted-" + suffix + ".png");
            main->QuarantineList()->sortByColumn(0, Qt::AscendingOrder);
            main->resize(shown);
        }
        dialogs.Expect("quarantine-delete-question", ports::MessageAnswer::No);
        model.QuarantineDeleteClicked({0});
        // The update window while it waits, and what it says when the server cannot be reached.
        dialogs.Expect("update-unreachable", ports::MessageAnswer::Ok);
        application.Controller().ShowUpdateWindow();
        if (QWidget* update = application.Update()) {
            QCoreApplication::processEvents();
            ok &= Save(*update, output + "/update-window-" + suffix + ".png");
        }
        waited.restart();
        while (dialogs.Pending() > 0 && waited.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        ok &= dialogs.Pending() == 0 && dialogs.AllSaved();

        gui::AboutDialog about(model, application.SharedContext().languageText, main);
        about.adjustSize();
        ok &= Save(about, output + "/about-" + suffix + ".png");
    }
    return ok ? 0 : 1;
}
