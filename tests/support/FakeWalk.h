#pragma once

#include <string>

#include "core/scan/SignatureDatabase.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"
#include "support/WalkWith.h"

namespace quellstone::testing {

// A walk all in memory: a database in use with the given text, and a tree.
struct FakeWalk : WalkWith<FakeWalk, FakeDirectoryTree> {
    explicit FakeWalk(const std::string& databaseText) : database(files, "/prog") {
        files.Put("/prog/bdts.dll", databaseText);
        settings.listing.slowListing = {};  // with more threads, they list ahead whatever the speed
    }

    FakeFileStore files;
    scan::SignatureDatabase database;
};

}  // namespace quellstone::testing
