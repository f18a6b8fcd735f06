#include "core/scan/ListedFolder.h"

#include <optional>

#include "core/scan/WalkRules.h"

namespace quellstone::scan {

void ListedFolder::Open(std::shared_ptr<ports::Directory> opened) {
    folder = std::move(opened);
    listing.Clear();
    subfolders.clear();
    excluded.clear();
    cutShort = false;
    if (!folder) return;
    identity = folder->Identity();
    stamp = folder->OpenedStamp();
}

std::size_t ListedFolder::Bytes() const {
    return listing.Bytes() + (subfolders.size() + excluded.size()) * sizeof(std::size_t);
}

void ListAndSort(ListedFolder& folder, std::string_view path, const WalkOptions& options, bool collectSubfolders) {
    folder.listing.Clear();
    folder.subfolders.clear();
    folder.excluded.clear();
    // A listing cut short keeps what it read; the walk says it was not read whole.
    if (!folder.folder->List(folder.listing)) folder.cutShort = true;
    const bool excluding = !options.excluded.empty();
    if (!excluding && !collectSubfolders) return;
    const ports::DirectoryListing& listing = folder.listing;
    for (std::size_t i = 0; i < listing.Size(); ++i) {
        const std::string_view name = listing.Name(i);
        if (IsSkipped(name, options.includeHidden)) continue;
        if (excluding && options.ExcludesEntry(path, name)) {
            folder.excluded.push_back(i);
            continue;
        }
        if (!MayBeWalked(listing.Kind(i))) continue;
        // Where nothing is mounted, a folder the listing names is walked
        // without reading its status: the walk checks the folder it opens.
        if (!excluding && !folder.mayHoldMountPoints && listing.Kind(i) == ports::EntryKind::Folder) {
            if (collectSubfolders) folder.subfolders.push_back(i);
            continue;
        }
        // An entry whose status cannot be read is not walked.
        const std::optional<ports::EntryStatus> status = folder.folder->Status(name);
        if (!status) continue;
        // The status read to decide the walk tells the folder's identity too, at no extra cost.
        if (excluding && options.ExcludesFolder(status->Identity())) {
            folder.excluded.push_back(i);
            continue;
        }
        if (collectSubfolders && IsWalkedFolder(*status, folder.identity)) folder.subfolders.push_back(i);
    }
}

}  // namespace quellstone::scan
