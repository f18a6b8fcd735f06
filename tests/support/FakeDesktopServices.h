#pragma once

#include <utility>

#include "core/app/DesktopController.h"
#include "support/FakeDesktop.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileOperations.h"
#include "support/FakeFileStore.h"
#include "support/FakeMountTable.h"
#include "support/FixedCalendar.h"
#include "support/MemorySettingsBackend.h"
#include "support/NumberedTexts.h"
#include "support/RecordingSink.h"

namespace quellstone::testing {

// What a DesktopController works with, all over fakes: texts "T<number>", a
// program folder /prog whose database names EVIL.EXE, and /opt/evil.exe in
// the tree. The HTTP client and the update's ports are the test's own.
struct FakeDesktopServices {
    explicit FakeDesktopServices(i18n::VendorAddresses vendor = i18n::VendorAddresses::Defaults())
        : store(backend),
          fileOperations(files),
          context(files, "/prog"),
          paths{"/prog", "/data", "/usr", "/opt/"},
          openers(store, shell, tree, "/prog", std::move(vendor)),
          quarantine(fileOperations, files, context.signatures, dialogs, paths),
          remover(fileOperations, files, store, paths),
          launcher(context, paths, app::ScanLauncher::Ports{store, calendar, drives, tree}) {
        FillWithNumbers(context.languageText);
        files.Put("/prog/bdts.dll", "[Scanfiles]\nEVIL.EXE=Trojan.Evil\n");
        tree.Root().Folder("opt").File("evil.exe");
    }

    // The controller's services with `http`; a database update is offered only with both of the last two.
    app::DesktopController::Services ControllerServices(ports::HttpClient& http,
                                                        ports::HttpClient* databaseHttp = nullptr,
                                                        ports::SignatureVerifier* verifier = nullptr) {
        return {context, paths,   store,      dialogs, shell,    files,        http,
                pump,    openers, quarantine, remover, launcher, databaseHttp, verifier};
    }

    MemorySettingsBackend backend;
    settings::SettingsStore store;
    FakeFileStore files;
    FakeDirectoryTree tree;
    FakeFileOperations fileOperations;
    FakeDialogs dialogs;
    FakeShell shell;
    FakeMountTable drives;
    FixedCalendar calendar;
    CountingPump pump;
    app::Context context;
    settings::ProgramPaths paths;
    i18n::DocumentOpeners openers;
    quarantine::QuarantineManager quarantine;
    quarantine::Remover remover;
    app::ScanLauncher launcher;
};

}  // namespace quellstone::testing
