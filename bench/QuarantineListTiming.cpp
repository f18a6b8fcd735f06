// Times the quarantine frame's list over a large quarantine.
//
//   quellstone-bench-quarantine [COUNT] [RUNS]      (defaults 10000 and 7)
//
// Makes COUNT archives, each with its record, in the quarantine folder of a
// temporary data folder, then loads the list RUNS times as the quarantine
// frame does when it is shown: the main window model lists the folder and
// reads every record (QuarantineManager::Rebuild), the table model takes the
// rows and makes their texts and sort keys, and the sort model sorts them by
// name. Runs on Qt's offscreen platform with the real frame. Prints each
// run's load and the time until the frame has been laid out and drawn, then
// the medians.
#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/app/Context.h"
#include "core/quarantine/QuarantineRecord.h"
#include "core/windows/MainWindowModel.h"
#include "gui/main/QuarantineFrame.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileOperations.h"
#include "platform/PosixFileStore.h"
#include "platform/RegFileSettingsBackend.h"
#include "platform/SilentDialogs.h"
#include "platform/XdgOpenShell.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

double Median(std::vector<double> values) {
    std::ranges::sort(values);
    return values[values.size() / 2];
}

// Archives of a few names, numbered as removal numbers them, with records.
void MakeArchives(const std::string& folder, int count) {
    const char* const names[] = {"setup.exe", "invoice.pdf.exe", "libhook.so", "update.sh"};
    for (int i = 0; i < count; ++i) {
        const std::string name = names[i % 4];
        const int number = i / 4 + 1;
        const std::string original = number == 1 ? name : name + " (" + std::to_string(number) + ")";
        const std::string archive = original + ".arc";
        std::ofstream(folder + "/" + archive) << std::string(static_cast<std::size_t>(100 + i % 900), 'x');
        const quellstone::quarantine::QuarantineRecord record{
            "/home/user/Downloads/folder " + std::to_string(i % 37) + "/" + name,
            "Trojan.Bench." + std::to_string(i % 5),
            "2026-12-0" + std::to_string(1 + i % 9) + " 12:" + std::to_string(10 + i % 50) + ":00", "/home/user"};
        std::ofstream(folder + "/" + quellstone::quarantine::RecordNameOf(archive))
            << quellstone::quarantine::SerializeRecord(record);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    using namespace quellstone;
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    if (count < 1 || runs < 1) {
        std::fprintf(stderr, "usage: %s [COUNT] [RUNS]\n", argv[0]);
        return 2;
    }
    QTemporaryDir work;
    const std::string base = work.path().toStdString();
    const settings::ProgramPaths paths{base + "/program", base + "/data", "/usr", "/opt/"};

    platform::PosixFileStore files;
    platform::PosixFileOperations fileOperations;
    platform::PosixDirectoryTree tree;
    platform::RegFileSettingsBackend settingsFile(files, base + "/registry.reg");
    settings::SettingsStore store(settingsFile);
    platform::SilentDialogs dialogs;
    platform::XdgOpenShell shell;
    app::Context context(files, paths.programFolder);
    for (int i = 0; i < i18n::LanguageTable::kSize; ++i) context.languageText.Set(i, "text " + std::to_string(i));
    i18n::DocumentOpeners openers(store, shell, tree, paths.programFolder, i18n::VendorAddresses::Defaults());
    quarantine::QuarantineManager quarantine(fileOperations, files, context.signatures, dialogs, paths);

    gui::QuarantineFrame* frame = nullptr;
    windows::MainWindowModel::Hooks hooks;
    hooks.rebuildQuarantineList = [&frame] {
        if (frame) frame->ReloadList();
    };
    windows::MainWindowModel model(
        windows::MainWindowModel::Shared{context.languageText, context.scan, context.signatures}, paths,
        windows::MainWindowModel::Ports{store, dialogs, shell, files, openers, &quarantine}, std::move(hooks));
    model.Load();  // makes the quarantine folder
    MakeArchives(paths.QuarantineFolder(), count);

    gui::QuarantineFrame shown(gui::MainFrame::Host{model, [](windows::MainWindowModel::Action) {}}, nullptr);
    frame = &shown;
    shown.resize(800, 480);
    shown.show();
    QApplication::processEvents();

    std::vector<double> loads, drawn;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        model.ReloadQuarantine();
        const Clock::time_point loaded = Clock::now();
        shown.List()->viewport()->repaint();
        QApplication::processEvents();
        const Clock::time_point painted = Clock::now();
        if (shown.List()->model()->rowCount() != count) {
            std::fprintf(stderr, "listed %d of %d archives\n", shown.List()->model()->rowCount(), count);
            return 1;
        }
        loads.push_back(Milliseconds(loaded - start));
        drawn.push_back(Milliseconds(painted - start));
        std::printf("run %d: load %.1f ms, drawn %.1f ms\n", run + 1, loads.back(), drawn.back());
    }
    std::printf("%d archives, median of %d runs: load %.1f ms, drawn %.1f ms\n", count, runs, Median(loads),
                Median(drawn));
    return 0;
}
