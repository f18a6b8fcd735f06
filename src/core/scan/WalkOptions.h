#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/DirectoryTree.h"
#include "core/scan/DetectionCategory.h"

namespace quellstone::scan {

// A folder a scan leaves out: it is neither looked up nor entered, and a walk
// that starts in it or below it scans nothing. It is known by its path and by
// the folder the path led to when the scan started, so that a link to it
// names the same folder.
struct ExcludedFolder {
    std::string path;                               // normalised as a scan path: "" is the root
    std::optional<ports::FolderIdentity> identity;  // nullopt: no folder there when the scan started
};

// What a scan's walk does beyond its fixed rules: whether it also takes
// hidden entries (names that begin with "."), and the folders it leaves out.
// The default is the plain walk.
struct WalkOptions {
    bool includeHidden = false;
    std::vector<ExcludedFolder> excluded;
    // Every mount point of the system, when the mount table could be read.
    // Knowing them lets the walk enter a folder that holds none without
    // reading each subfolder's status first (it still checks the folder it
    // opened); nullopt: the status of every subfolder is read.
    std::optional<std::vector<std::string>> mountPoints;
    // What is reported of what the database names; the rest counts as ignored.
    ReportedCategories reported;

    // The options of one scan: each excluded path normalised, then opened
    // (links followed, as the user named it) to take the folder's identity.
    // A path that leads to no folder excludes nothing by identity. A path
    // in `mountPoints` is matched by path only and never opened: a network
    // mount whose server is off would hold the scan's start; the walk never
    // enters another file system anyway.
    static WalkOptions Make(bool includeHidden, const std::vector<std::string>& excludedPaths,
                            ports::DirectoryTree& tree, const std::vector<std::string>& mountPoints = {});

    // Whether the entry `name` of the folder `holder` (a walked path) is an
    // excluded path.
    [[nodiscard]] bool ExcludesEntry(std::string_view holder, std::string_view name) const;
    // Whether `identity` is one of the excluded folders.
    [[nodiscard]] bool ExcludesFolder(const ports::FolderIdentity& identity) const;
    // Whether `path` (normalised) is an excluded path or lies below one.
    [[nodiscard]] bool CoversPath(std::string_view path) const;
    // Whether `folder`, or a folder above it as the system links them, is an
    // excluded folder.
    [[nodiscard]] bool CoversFolder(ports::Directory& folder) const;
};

}  // namespace quellstone::scan
