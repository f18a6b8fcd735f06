#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "core/scan/FolderWalk.h"
#include "support/RecordingSink.h"

namespace quellstone::testing {

// A walk over `Tree` with the index of the database in use of `Owner` (its
// member `database`), a recording sink, a stop and the walk's settings (one
// thread: the walk lists alone unless a test asks for more).
template <typename Owner, typename Tree>
struct WalkWith {
    WalkWith() { settings.listing.threads = 1; }

    scan::WalkResult Walk(const std::vector<scan::StartPoint>& starts, const scan::WalkOptions& options = {}) {
        return scan::Walk(starts, options, scan::ReadyIndex(static_cast<Owner&>(*this).database.IndexInUse()), tree,
                          sink, stop.get_token(), settings);
    }
    scan::WalkResult Walk(const std::string& folder, const scan::WalkOptions& options = {}) {
        return Walk(std::vector<scan::StartPoint>{{folder, true}}, options);
    }

    Tree tree;
    RecordingSink sink;
    std::stop_source stop;
    scan::WalkSettings settings;
};

}  // namespace quellstone::testing
