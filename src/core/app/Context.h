#pragma once

#include <stop_token>
#include <string>

#include "core/i18n/LanguageTable.h"
#include "core/ports/FileStore.h"
#include "core/scan/ScanState.h"
#include "core/scan/SignatureDatabase.h"

namespace quellstone::app {

// The state that the program's windows and front ends share for one run:
// the interface texts, the signature database with its shared accessor, and
// the walk's run flag and detection count, and the request to quit, which
// every wait that yields to events checks. One instance is made at start-up and handed to each
// window model; nothing of it lives in globals.
struct Context {
    Context(ports::FileStore& files, const std::string& folder) : programFolder(folder), signatures(files, folder) {}

    std::string programFolder;
    i18n::LanguageTable languageText;
    scan::SignatureDatabase signatures;
    scan::ScanState scan;
    std::stop_source quit;
    // Why the downloaded database was ignored at start-up (in English); the
    // warning about it is shown once, then this is cleared.
    std::string ignoredDatabaseReason;
    std::string ignoredDatabasePath;  // the downloaded database refused; "" for the user's
};

}  // namespace quellstone::app
