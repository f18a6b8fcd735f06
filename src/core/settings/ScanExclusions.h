#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/SettingsStore.h"

namespace quellstone::settings {

// The scan choices the window stores: hidden entries or not, network file
// systems or not, and the list of
// excluded folders. The list is one text value with a line break between two
// folders; a folder whose name holds a control character (a line break
// among them) cannot be in it, so the list reads back exactly as written.

// Whether scans from the window take hidden entries too: yes unless the user
// turned it off, since a leading "." is the ordinary way to hide a file.
bool ScanHiddenOn(SettingsStore& store);
// Stores the choice; false when it could not be written.
bool StoreScanHidden(SettingsStore& store, bool on);
// Whether the whole-computer scan from the window walks network and FUSE
// file systems too (off unless the user turned it on).
bool ScanNetworkOn(SettingsStore& store);
bool StoreScanNetwork(SettingsStore& store, bool on);

// The number of listing threads the user stored, when it is one from 1 to
// 64 (see ParseListingThreads); nullopt otherwise.
std::optional<unsigned> StoredListingThreads(SettingsStore& store);
// "1" to "64" as a number; nullopt for anything else.
std::optional<unsigned> ParseListingThreads(std::string_view text);

// A folder the list can hold: an absolute path without control characters.
bool UsableExcludedFolder(std::string_view path);
// The form a folder is kept in: without trailing "/" (the root stays "/").
std::string ExcludedFolderForm(std::string_view path);

// The stored list, in order; lines the program would not have written
// (empty, relative, with a control character) are passed over.
std::vector<std::string> ExcludedFolders(SettingsStore& store);
// Stores `folders` (each one usable) as the list; false when it could not be written.
bool StoreExcludedFolders(SettingsStore& store, const std::vector<std::string>& folders);

}  // namespace quellstone::settings
