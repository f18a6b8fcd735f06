#pragma once

#include <map>
#include <set>
#include <string>

#include "core/ports/FileStore.h"

namespace quellstone::testing {

// Files in memory. A path in `unreadable` exists but cannot be read; one in
// `unwritable` cannot be replaced; all writes fail while `failWrites` is set.
// Every write gives the file a new stamp.
class FakeFileStore final : public ports::FileStore {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::set<std::string> unwritable;
    bool failWrites = false;
    int reads = 0;

    using ports::FileStore::ReadFile;
    using ports::FileStore::ReplaceFile;
    ports::FileContent ReadFile(const std::string& path, ports::FileRole) override {
        ++reads;
        if (unreadable.contains(path)) return {ports::ReadStatus::Failed, {}};
        const auto it = files.find(path);
        if (it == files.end()) return {ports::ReadStatus::Missing, {}};
        return {ports::ReadStatus::Ok, it->second};
    }
    bool ReplaceFile(const std::string& path, std::string_view content, ports::FileRole) override {
        if (failWrites || unwritable.contains(path)) return false;
        Put(path, std::string(content));
        return true;
    }
    bool RenameOver(const std::string& from, const std::string& to) override {
        const auto it = files.find(from);
        if (failWrites || it == files.end()) return false;
        std::string content = std::move(it->second);
        files.erase(it);
        Put(to, std::move(content));
        return true;
    }
    void RemoveTemporariesOf(const std::string&) override {}
    std::optional<ports::FileStamp> Stamp(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return ports::FileStamp{{1, 1}, it->second.size(), versions_[path]};
    }
    std::set<std::string> folders;
    bool CreateFolders(const std::string& path) override {
        if (failWrites) return false;
        folders.insert(path);
        return true;
    }
    void Put(const std::string& path, std::string content) {
        files[path] = std::move(content);
        ++versions_[path];
    }

private:
    std::map<std::string, std::int64_t> versions_;
};

}  // namespace quellstone::testing
