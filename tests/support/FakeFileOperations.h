#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "core/ports/FileOperations.h"
#include "support/FakeFileStore.h"

namespace quellstone::testing {

// Files in memory with the kinds and failures the removal and the quarantine
// must cope with, on the disk of a file store: its files and folders are
// this one's, so what one writes the other finds.
class FakeFileOperations final : public ports::FileOperations {
public:
    explicit FakeFileOperations(FakeFileStore& disk) : files(disk.files), folders(disk.folders) {}

    std::map<std::string, std::string>& files;       // regular files and their content
    std::map<std::string, ports::EntryKind> others;  // folders, FIFOs, unreadable entries
    std::map<std::string, std::string> links;        // symbolic links and their target text
    std::set<std::string>& folders;
    std::set<std::string> undeletable;             // Remove fails (in use, read-only)
    std::set<std::string> vanishBeforeDelete;      // deleted by another program just before RemoveIfSame
    std::optional<ports::CopyResult> copyFailure;  // every copy ends so (a full disk: NoSpace)

    std::optional<ports::EntryKind> KindOf(const std::string& path) override {
        if (files.contains(path)) return ports::EntryKind::RegularFile;
        if (links.contains(path)) return ports::EntryKind::SymbolicLink;
        if (const auto it = others.find(path); it != others.end()) return it->second;
        return std::nullopt;
    }
    std::optional<std::uint64_t> SizeOf(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second.size();
    }
    ports::CopyResult CopyFile(const ports::ReachablePath& source, const ports::ReachablePath& targetPath, bool replace,
                               const std::optional<ports::EntryIdentity>& expected) override {
        using ports::CopyResult;
        const std::string target = targetPath.FullPath();
        const std::optional<ports::EntryKind> kind = KindOf(source.FullPath());
        if (!kind) return CopyResult::SourceMissing;
        switch (*kind) {
            case ports::EntryKind::RegularFile: break;
            case ports::EntryKind::Folder: return CopyResult::SourceIsFolder;
            case ports::EntryKind::SymbolicLink: return CopyResult::SourceIsLink;
            case ports::EntryKind::Other: return CopyResult::SourceNotRegular;
            case ports::EntryKind::Unknown: return CopyResult::SourceDenied;
        }
        if (expected && Find(source).identity != *expected) return CopyResult::SourceChanged;
        if (copyFailure) return *copyFailure;
        if (!replace && KindOf(target)) return CopyResult::TargetTaken;
        if (!folders.contains(target.substr(0, target.rfind('/')))) return CopyResult::Failed;
        files[target] = files[source.FullPath()];
        return CopyResult::Copied;
    }
    ports::CopyResult WriteNewFile(const ports::ReachablePath& targetPath, std::string_view bytes) override {
        const std::string target = targetPath.FullPath();
        if (copyFailure) return *copyFailure;
        if (KindOf(target)) return ports::CopyResult::TargetTaken;
        if (!folders.contains(target.substr(0, target.rfind('/')))) return ports::CopyResult::Failed;
        files[target] = std::string(bytes);
        return ports::CopyResult::Copied;
    }
    std::optional<std::string> ReadLink(const ports::ReachablePath& location,
                                        const ports::EntryIdentity& expected) override {
        const auto it = links.find(location.FullPath());
        if (it == links.end() || Find(location).identity != expected) return std::nullopt;
        return it->second;
    }
    ports::CopyResult CreateLink(const ports::ReachablePath& at, std::string_view targetText, bool replace) override {
        const std::string path = at.FullPath();
        if (!replace && KindOf(path)) return ports::CopyResult::TargetTaken;
        if (!folders.contains(path.substr(0, path.rfind('/')))) return ports::CopyResult::Failed;
        files.erase(path);
        links[path] = std::string(targetText);
        return ports::CopyResult::Copied;
    }
    bool Remove(const std::string& path) override {
        if (undeletable.contains(path)) return false;
        if (others.contains(path) && others[path] == ports::EntryKind::Folder) return false;
        return files.erase(path) + others.erase(path) + links.erase(path) > 0;
    }
    std::vector<std::string> ListFiles(const std::string& folder) override {
        std::vector<std::string> names;
        for (const auto& [path, content] : files) {
            if (path.rfind('/') == folder.size() && path.starts_with(folder))
                names.push_back(path.substr(folder.size() + 1));
        }
        return names;
    }
    ports::EntryLookup Find(const ports::ReachablePath& location) override {
        const std::string path = location.FullPath();
        const std::optional<ports::EntryKind> kind = KindOf(path);
        if (!kind) return {};
        const auto file = files.find(path);
        const auto link = links.find(path);
        const std::string content =
            file != files.end() ? file->second : (link != links.end() ? "->" + link->second : std::string());
        return {ports::Presence::Present, ports::EntryIdentity{1, std::hash<std::string>{}(path + content)}, *kind};
    }
    ports::RemoveResult RemoveIfSame(const ports::ReachablePath& location,
                                     const ports::EntryIdentity& expected) override {
        if (vanishBeforeDelete.contains(location.FullPath())) Remove(location.FullPath());
        const ports::EntryLookup now = Find(location);
        if (now.presence == ports::Presence::Missing) return ports::RemoveResult::Missing;
        if (now.identity != expected) return ports::RemoveResult::Changed;
        return Remove(location.FullPath()) ? ports::RemoveResult::Removed : ports::RemoveResult::Failed;
    }
    bool ResolvesToFolder(const std::string& path) override {
        return folders.contains(path) || (others.contains(path) && others[path] == ports::EntryKind::Folder);
    }
    bool SameFile(const std::string& a, const std::string& b) override { return a == b; }
    std::unique_ptr<ports::FolderLock> LockFolder(const std::string&) override {
        return std::make_unique<ports::FolderLock>();
    }
    void RemoveUnfinishedCopies(const std::string&) override {}
};

}  // namespace quellstone::testing
