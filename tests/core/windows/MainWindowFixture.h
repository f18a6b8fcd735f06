#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/app/Context.h"
#include "core/windows/MainWindowModel.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"

namespace quellstone::windows {

// A main window model over fakes, with texts "T<number>" for every entry and
// its quarantine in `files` (under `Archive(name)`).
class MainWindowModelTest : public ::testing::Test {
protected:
    MainWindowModelTest()
        : store(backend),
          context(files, "/prog"),
          openers(store, shell, tree, "/prog", i18n::VendorAddresses::Defaults()),
          paths{"/prog", "/home/u/.local/share", "/usr", "/opt/"} {
        testing::FillWithNumbers(context.languageText);
    }
    MainWindowModel& Model() {
        MainWindowModel::Hooks hooks{[this] { ++rebuilds; }, [this] { ++silentLoads; }, [this] { ++splashCloses; }};
        model = std::make_unique<MainWindowModel>(
            MainWindowModel::Shared{context.languageText, context.scan, context.signatures}, paths,
            MainWindowModel::Ports{store, dialogs, shell, files, openers, &quarantine}, hooks);
        model->Load();
        return *model;
    }
    std::string Archive(const std::string& name) const { return paths.QuarantineFolder() + "/" + name; }
    int VisibleFrames() const {
        int visible = 0;
        for (int i = 0; i < kFrameCount; ++i) visible += model->FrameVisible(static_cast<Frame>(i)) ? 1 : 0;
        return visible;
    }

    testing::MemorySettingsBackend backend;
    settings::SettingsStore store;
    testing::FakeFileStore files;
    testing::FakeDirectoryTree tree;
    testing::FakeDialogs dialogs;
    testing::FakeShell shell;
    app::Context context;
    i18n::DocumentOpeners openers;
    settings::ProgramPaths paths;
    testing::FakeFileOperations fileOperations{files};
    quarantine::QuarantineManager quarantine{fileOperations, files, context.signatures, dialogs, paths};
    std::unique_ptr<MainWindowModel> model;
    int rebuilds = 0, silentLoads = 0, splashCloses = 0;
};

}  // namespace quellstone::windows
