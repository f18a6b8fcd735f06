#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "core/scan/SignatureDatabase.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileStore.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

namespace quellstone::testing {

// What a walk runs real folders with: the shipped file store and directory
// tree, a temporary folder `dir` whose bdts.dll (in use) holds the given
// text, a sink, a stop and the walk's settings.
struct DiskWalk {
    explicit DiskWalk(const std::string& databaseText) : database(files, dir.Path()) {
        WriteFile(dir / "bdts.dll", databaseText);
        settings.listing.threads = 1;
    }

    scan::WalkResult Walk(const std::vector<scan::StartPoint>& starts, const scan::WalkOptions& options = {}) {
        return scan::Walk(starts, options, scan::ReadyIndex(database.IndexInUse()), tree, sink, stop.get_token(),
                          settings);
    }
    scan::WalkResult Walk(const std::string& folder, const scan::WalkOptions& options = {}) {
        return Walk(std::vector<scan::StartPoint>{{folder, true}}, options);
    }

    TempDir dir;
    platform::PosixFileStore files;
    scan::SignatureDatabase database;
    platform::PosixDirectoryTree tree;
    RecordingSink sink;
    std::stop_source stop;
    scan::WalkSettings settings;
};

}  // namespace quellstone::testing
