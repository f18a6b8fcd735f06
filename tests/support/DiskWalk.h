#pragma once

#include <cstddef>
#include <string>

#include "core/scan/FileWalker.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileStore.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

namespace quellstone::testing {

// What a FileWalker walks real folders with: the shipped file store and
// directory tree, a temporary folder `dir` whose bdts.dll holds the given
// text (in use, its scan section chosen), a pump and a sink.
struct DiskWalk {
    explicit DiskWalk(const std::string& databaseText) : database(files, dir.Path()) {
        WriteFile(dir / "bdts.dll", databaseText);
        database.Accessor().SetPath(database.DefaultPath());
        database.Accessor().SetSection(std::string(scan::kScanSection));
    }

    scan::FileWalker Walker(std::size_t budget = scan::FileWalker::kDefaultOpenFolderBudget) {
        return scan::FileWalker(state, database, tree, pump, sink, budget);
    }

    TempDir dir;
    platform::PosixFileStore files;
    scan::SignatureDatabase database;
    scan::ScanState state;
    platform::PosixDirectoryTree tree;
    CountingPump pump;
    RecordingSink sink;
};

}  // namespace quellstone::testing
