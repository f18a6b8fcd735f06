#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "core/ports/DirectoryTree.h"
#include "core/scan/WalkOptions.h"

namespace quellstone::scan {

// One folder opened and listed for the walk, with its entries sorted: which
// are excluded and which are subfolders to walk. The walk lists folders
// itself or takes them from the threads that list ahead of it; both list
// with ListAndSort, so a folder reads the same whoever listed it.
struct ListedFolder {
    std::shared_ptr<ports::Directory> folder;  // null: it could not be opened
    ports::FolderIdentity identity;
    ports::FolderStamp stamp;  // the folder's times when `listing` was taken
    ports::DirectoryListing listing;
    std::vector<std::size_t> subfolders;  // listing positions of the folders to walk
    std::vector<std::size_t> excluded;    // listing positions of excluded entries, in order
    bool cutShort = false;                // the listing could not be read to its end
    bool mayHoldMountPoints = true;       // whether a listed folder's status must be read to walk it

    // Adopts an opened folder (null: not opened), with its identity and stamp.
    void Open(std::shared_ptr<ports::Directory> opened);

    // The memory the listing holds, for the budget of folders listed ahead.
    [[nodiscard]] std::size_t Bytes() const;
};

// Lists `folder.folder` (opened) afresh into `folder.listing` and sorts its
// entries: excluded ones always, subfolders when `collectSubfolders`. `path`
// is the folder as the walk names it. Hidden names are left out unless the
// options take them; a subfolder is an entry whose status (read without
// following a link) says it is a plain folder on the folder's own device,
// where a folder that holds no mount point is known from its listing alone.
void ListAndSort(ListedFolder& folder, std::string_view path, const WalkOptions& options, bool collectSubfolders);

}  // namespace quellstone::scan
