#pragma once

#include <string>

#include "core/scan/SignatureDatabase.h"
#include "platform/PosixDirectoryTree.h"
#include "platform/PosixFileStore.h"
#include "support/TempDir.h"
#include "support/WalkWith.h"

namespace quellstone::testing {

// A walk over real folders with the shipped file store and directory tree:
// a temporary folder `dir` whose bdts.dll (in use) holds the given text.
struct DiskWalk : WalkWith<DiskWalk, platform::PosixDirectoryTree> {
    explicit DiskWalk(const std::string& databaseText) : database(files, dir.Path()) {
        WriteFile(dir / "bdts.dll", databaseText);
    }

    TempDir dir;
    platform::PosixFileStore files;
    scan::SignatureDatabase database;
};

}  // namespace quellstone::testing
