#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "core/scan/SignatureDatabase.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/RecordingSink.h"

namespace quellstone::testing {

// What a walk runs with, all in memory: a database in use with the given
// text, a tree, a sink, a stop, and the walk's settings (one thread: the
// walk lists alone unless a test asks for more).
struct FakeWalk {
    explicit FakeWalk(const std::string& databaseText) : database(files, "/prog") {
        files.Put("/prog/bdts.dll", databaseText);
        settings.listing.threads = 1;
        settings.listing.slowListing = {};  // with more threads, they list ahead whatever the speed
    }

    scan::WalkResult Walk(const std::vector<scan::StartPoint>& starts, const scan::WalkOptions& options = {}) {
        return scan::Walk(starts, options, scan::ReadyIndex(database.IndexInUse()), tree, sink, stop.get_token(),
                          settings);
    }
    scan::WalkResult Walk(const std::string& folder, const scan::WalkOptions& options = {}) {
        return Walk(std::vector<scan::StartPoint>{{folder, true}}, options);
    }

    FakeFileStore files;
    scan::SignatureDatabase database;
    FakeDirectoryTree tree;
    RecordingSink sink;
    std::stop_source stop;
    scan::WalkSettings settings;
};

}  // namespace quellstone::testing
