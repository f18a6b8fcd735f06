// Times a scan started from the desktop program's scan window against the
// same tree, and how long a stop takes to end it.
//
//   quellstone-bench-gui PROGRAM_FOLDER DATABASE TREE RUNS
//
// Runs on Qt's offscreen platform with the real scan window, launcher and
// event pump. Prints one line per run: "scan SECONDS" for a full scan of TREE
// in the chosen-folder mode (the database already loaded, as the command line
// has it before its clock starts), then "stop MILLISECONDS" for a scan stopped
// 100 ms after its start (the time from the stop click to the end of the walk).
#include <QApplication>
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
#include "gui/scan/QtEventPump.h"
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
    context.signatures.Accessor().SetPath(argv[2]);
    context.signatures.Accessor().SetSection(std::string(scan::kScanSection));
    const auto index = context.signatures.IndexForScan();  // loaded before the clock starts
    gui::QtEventPump pump;
    app::ScanLauncher launcher(context, {argv[1], home.path().toStdString(), "/usr", "/opt/"},
                                app::ScanLauncher::Ports{store, calendar, drives, tree, pump});
    const int runs = std::atoi(argv[4]);

    for (int run = 0; run < runs; ++run) {
        for (const bool stopEarly : {false, true}) {
            windows::ScanWindowModel model(context.languageText, context.scan, dialogs, files);
            model.Load();
            gui::ScanWindow window(model, nullptr);
            window.show();
            pump.SetBeforeEvents([&window] { window.Refresh(); });
            Clock::time_point stopClicked{};
            if (stopEarly) {
                QTimer::singleShot(100, &window, [&] {
                    stopClicked = Clock::now();
                    model.StopClicked();
                    window.Refresh();
                });
            }
            std::string folder = argv[3];
            const auto started = Clock::now();
            launcher.Run(scan::ScanMode::ChosenFolder, folder, model);
            const auto ended = Clock::now();
            window.Refresh();
            if (!stopEarly) {
                std::printf("scan %.4f\n", std::chrono::duration<double>(ended - started).count());
            } else if (stopClicked != Clock::time_point{}) {
                std::printf("stop %.1f\n", std::chrono::duration<double, std::milli>(ended - stopClicked).count());
            }
            std::fflush(stdout);
        }
    }
    return 0;
}
