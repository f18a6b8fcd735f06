#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <span>
#include <stop_token>
#include <string>

#include "core/ports/DirectoryTree.h"
#include "core/scan/ListingAhead.h"
#include "core/scan/ScanSink.h"
#include "core/scan/SignatureIndex.h"
#include "core/scan/WalkOptions.h"

namespace quellstone::scan {

// "" becomes "/" (the root), then trailing "/" are dropped: "/" becomes "",
// "/opt/" becomes "/opt". The walk lists Path + "/".
std::string NormalisedScanPath(std::string path);

// `path` as an absolute path without "." and "..", taken from `currentFolder`
// when it is relative; links are not resolved. "" is the root.
std::string LexicallyAbsolute(std::string_view path, std::string_view currentFolder);

// Where a walk starts: a folder is walked, anything else is looked up by its own name.
struct StartPoint {
    std::string path;
    bool isFolder = true;
    // The folder a relative `path` starts from: path entries match the
    // absolute path of an entry, as the walk reaches it.
    std::string currentFolder{};
};

// The signature index a walk looks names up in, as it becomes ready: the
// walk starts listing at once and waits for the index only before its first
// look-up, so loading the database does not add to the scan's time. A null
// index, or one that did not load, ends the walk before any look-up.
using IndexSupply = std::shared_future<std::shared_ptr<const SignatureIndex>>;
IndexSupply ReadyIndex(std::shared_ptr<const SignatureIndex> index);

struct WalkSettings {
    ListingBudget listing;
    // The walk's own open folders, at most: deeper ones are closed and
    // reopened from their child when the walk returns to them.
    std::size_t openFolderBudget = 200;
};

// What a walk found out.
struct WalkResult {
    std::uint64_t entries = 0;            // entries looked up
    std::uint64_t detections = 0;         // of them, named in the database and reported
    std::uint64_t ignored = 0;            // named in the database in a category left out
    std::uint64_t unreadableFolders = 0;  // folders not read, or not read whole (start folders too)
    std::uint64_t excludedStarts = 0;     // start points left out by an exclusion
    bool stopped = false;                 // a stop ended it early
    bool noIndex = false;                 // the index did not load: nothing was looked up

    WalkResult& operator+=(const WalkResult& other);
};

// The walk of a scan. Within each folder: first its subfolders are walked
// one by one in listing order (depth first), then every entry of the folder,
// files and folders alike, is looked up by its upper-cased name in the
// index, and then by its absolute path. Hidden entries are left out unless the options take them, and so
// are excluded folders (WalkRules.h holds which entries are looked up and
// which are walked). Results go to `sink`, from the calling thread only, in
// exactly this order, however many threads list ahead of it.
//
// A folder's look-up pass uses a listing as fresh as its times can tell: a
// folder listed early (by a listing thread, or before its subfolders were
// walked) is listed again before its look-up pass when its times show it
// changed meanwhile (or cannot show it did not).
//
// A stop is read before every descent and before every look-up pass, and
// while waiting for a listing or for the index: once it is seen, nothing
// more is entered or looked up anywhere (a look-up pass that has begun
// finishes its folder).
//
// The walk never follows a symbolic link, never enters another file system
// (a start point's own mount points are the caller's to plan), never opens
// a file, and reaches folders deeper than a path can name: folders are held
// by handle, at most `openFolderBudget` by the walk itself and one per folder
// listed ahead within the listing budget.
WalkResult Walk(std::span<const StartPoint> starts, const WalkOptions& options, const IndexSupply& index,
                ports::DirectoryTree& tree, ScanSink& sink, std::stop_token stop, const WalkSettings& settings = {});

}  // namespace quellstone::scan
