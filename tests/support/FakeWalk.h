#pragma once

#include <cstddef>
#include <string>

#include "core/scan/FileWalker.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/RecordingSink.h"

namespace quellstone::testing {

// What a FileWalker walks with, all in memory: a database file with the
// given text (in use, its scan section chosen), a tree, a pump and a sink.
struct FakeWalk {
    explicit FakeWalk(const std::string& databaseText) : database(files, "/prog") {
        files.Put("/prog/bdts.dll", databaseText);
        database.Accessor().SetPath(database.DefaultPath());
        database.Accessor().SetSection(std::string(scan::kScanSection));
    }

    scan::FileWalker Walker(std::size_t budget = scan::FileWalker::kDefaultOpenFolderBudget) {
        return scan::FileWalker(state, database, tree, pump, sink, budget);
    }

    FakeFileStore files;
    scan::SignatureDatabase database;
    scan::ScanState state;
    FakeDirectoryTree tree;
    CountingPump pump;
    RecordingSink sink;
};

}  // namespace quellstone::testing
