#include "core/scan/WalkOptions.h"

#include <algorithm>
#include <memory>

#include "core/scan/FolderWalk.h"

namespace quellstone::scan {

namespace {

// Enough for any real chain of folders; a bound in case ".." never reaches a top.
constexpr int kMostFoldersAbove = 4096;

}  // namespace

WalkOptions WalkOptions::Make(bool includeHidden, const std::vector<std::string>& excludedPaths,
                              ports::DirectoryTree& tree, const std::vector<std::string>& mountPoints) {
    WalkOptions options{includeHidden, {}, std::nullopt, {}};
    for (const std::string& excludedPath : excludedPaths) {
        std::string path = NormalisedScanPath(excludedPath);
        const bool mountPoint = std::ranges::any_of(
            mountPoints, [&](const std::string& point) { return NormalisedScanPath(point) == path; });
        if (mountPoint) {
            options.excluded.push_back({std::move(path), std::nullopt});
            continue;
        }
        const std::unique_ptr<ports::Directory> folder = tree.OpenFolder(path + "/");
        options.excluded.push_back({std::move(path), folder ? std::optional(folder->Identity()) : std::nullopt});
    }
    return options;
}

bool WalkOptions::ExcludesEntry(std::string_view holder, std::string_view name) const {
    return std::ranges::any_of(excluded, [&](const ExcludedFolder& folder) {
        // A path without a "/" (the root "", a bare relative name) is no
        // entry of a folder the walk names: only its identity can match.
        const std::size_t slash = folder.path.rfind('/');
        if (slash == std::string::npos) return false;
        const std::string_view path = folder.path;
        return path.substr(slash + 1) == name && path.substr(0, slash) == holder;
    });
}

bool WalkOptions::ExcludesFolder(const ports::FolderIdentity& identity) const {
    return std::ranges::any_of(excluded, [&](const ExcludedFolder& folder) { return folder.identity == identity; });
}

bool WalkOptions::CoversPath(std::string_view path) const {
    return std::ranges::any_of(excluded, [&](const ExcludedFolder& folder) {
        return path == folder.path ||
               (path.size() > folder.path.size() && path.starts_with(folder.path) && path[folder.path.size()] == '/');
    });
}

bool WalkOptions::CoversFolder(ports::Directory& folder) const {
    if (std::ranges::none_of(excluded, [](const ExcludedFolder& f) { return f.identity.has_value(); })) return false;
    ports::FolderIdentity current = folder.Identity();
    if (ExcludesFolder(current)) return true;
    std::unique_ptr<ports::Directory> above = folder.OpenParent();
    for (int step = 0; above && step < kMostFoldersAbove; ++step) {
        const ports::FolderIdentity identity = above->Identity();
        if (identity == current) return false;  // the top: ".." of the root is the root
        if (ExcludesFolder(identity)) return true;
        current = identity;
        above = above->OpenParent();
    }
    return false;
}

}  // namespace quellstone::scan
