#include "core/settings/ScanExclusions.h"

#include <algorithm>
#include <charconv>

#include "core/settings/SettingKeys.h"

namespace quellstone::settings {

bool ScanHiddenOn(SettingsStore& store) {
    return store.Read(keys::kScanHidden) != "0";
}

bool StoreScanHidden(SettingsStore& store, bool on) {
    return store.Write(keys::kScanHidden, on ? "1" : "0");
}

bool ScanNetworkOn(SettingsStore& store) {
    return store.Read(keys::kScanNetwork) == "1";
}

bool StoreScanNetwork(SettingsStore& store, bool on) {
    return store.Write(keys::kScanNetwork, on ? "1" : "0");
}

std::optional<unsigned> ParseListingThreads(std::string_view text) {
    unsigned threads = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), threads);
    if (error != std::errc() || end != text.data() + text.size() || threads < 1 || threads > 64) return std::nullopt;
    return threads;
}

std::optional<unsigned> StoredListingThreads(SettingsStore& store) {
    return ParseListingThreads(store.Read(keys::kListingThreads));
}

bool UsableExcludedFolder(std::string_view path) {
    if (!path.starts_with('/')) return false;
    return std::ranges::none_of(path, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

std::string ExcludedFolderForm(std::string_view path) {
    while (path.size() > 1 && path.ends_with('/')) path.remove_suffix(1);
    return std::string(path);
}

std::vector<std::string> ExcludedFolders(SettingsStore& store) {
    const std::string stored = store.Read(keys::kExcludedFolders);
    std::vector<std::string> folders;
    for (std::size_t start = 0; start <= stored.size();) {
        const std::size_t end = std::min(stored.find('\n', start), stored.size());
        const std::string_view line = std::string_view(stored).substr(start, end - start);
        if (UsableExcludedFolder(line)) folders.push_back(ExcludedFolderForm(line));
        start = end + 1;
    }
    return folders;
}

bool StoreExcludedFolders(SettingsStore& store, const std::vector<std::string>& folders) {
    std::string value;
    for (const std::string& folder : folders) {
        if (!value.empty()) value += '\n';
        value += folder;
    }
    return store.Write(keys::kExcludedFolders, value);
}

}  // namespace quellstone::settings
