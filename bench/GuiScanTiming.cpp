// Times a scan started from the desktop program's scan window against the
// same tree, and how long a stop takes to end it.
//
//   quellstone-bench-gui PROGRAM_FOLDER DATABASE TREE RUNS
//
// Runs on Qt's offscreen platform with the real scan window and launcher:
// the scan on its own thread, its results handed to the window every 100 ms.
// Prints one line per run: "scan SECONDS" for a full scan of TREE in the
// chosen-folder mode (the database already loaded), until the window shows
// the end, then "stop MILLISECONDS" for a scan stopped 100 ms after its start
// (the time from the stop click until the window shows the scan stopped).
#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/app/Context.h"
#include "core/app/ScanLauncher.h"
#include "core/windows/ScanWindowModel.h"
#include "gui/app/Pictures.h"
#include "gui/app/QtDialogs.h"
#include "gui/scan/ScanWindow.h"
#include "platform/LocaleCalendar.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileStore.h"
#include "platform/ProcMountTable.h"
#include "platform/RegFileSettingsBackend.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    quellstone::gui::LoadPictures();
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER DATABASE TREE RUNS\n", argv[0]);
        return 2;
    }
    using namespace quellstone;
    using Clock = std::chrono::steady_clock;
    QTemporaryDir home;
    platform::PosixFileStore files;
    platform::RegFileSettingsBackend settingsFile(files, home.path().toStdString() + "/registry.reg");
    settings::SettingsStore store(settingsFile);
    platform::LocaleCalendar calendar;
    platform::ProcMountTable drives(files);
    platform::PosixDirectoryTree tree;
    gui::QtDialogs dialogs;
    app::Context context(files, argv[1]);
    for (int i = 0; i < i18n::LanguageTable::kSize; ++i) context.languageText.Set(i, "text " + std::to_string(i));
    const auto index = context.signatures.IndexOf(argv[2]);  // loaded before the clock starts
    QEventLoop loop;
    QTimer results;
    results.setInterval(100);
    app::ScanLauncher launcher(context, {argv[1], home.path().toStdString(), "/usr", "/opt/"},
                               app::ScanLauncher::Ports{store, calendar, drives, tree},
                               [&results] {  // as the program does: the next tick at once
                                   QMetaObject::invokeMethod(&results, [&results] { results.setInterval(0); });
                               });
    bool ended = false;
    // What the program does every 100 ms.
    const auto deliver = [&] {
        if (!ended && launcher.Deliver()) ended = true;
    };
    const int runs = std::atoi(argv[4]);

    for (int run = 0; run < runs; ++run) {
        for (const bool stopEarly : {false, true}) {
            windows::ScanWindowModel model(context.languageText, context.scan, dialogs, files);
            model.Load();
            gui::ScanWindow window(model, nullptr);
            window.show();
            QObject::connect(&results, &QTimer::timeout, &window, [&] {
                deliver();
                window.Refresh();
                if (ended) loop.quit();
            });
            Clock::time_point stopClicked{};
            if (stopEarly) {
                QTimer::singleShot(100, &window, [&] {
                    stopClicked = Clock::now();
                    model.StopClicked();
                    window.Refresh();
                });
            }
            const auto started = Clock::now();
            launcher.Start(scan::ScanMode::ChosenFolder, argv[3], model, scan::ReadyIndex(index));
            ended = false;
            results.setInterval(100);
            results.start();
            loop.exec();  // until a tick shows the end
            results.stop();
            const auto shown = Clock::now();
            window.Refresh();
            if (!stopEarly) {
                std::printf("scan %.4f\n", std::chrono::duration<double>(shown - started).count());
            } else if (stopClicked != Clock::time_point{}) {
                std::printf("stop %.1f\n", std::chrono::duration<double, std::milli>(shown - stopClicked).count());
            }
            std::fflush(stdout);
        }
    }
    return 0;
}
