#pragma once

#include "core/ports/FileOperations.h"

namespace quellstone::platform {

class PosixFileOperations final : public ports::FileOperations {
public:
    ports::EntryType TypeOf(const std::string& path) override;
    std::optional<std::uint64_t> SizeOf(const std::string& path) override;
    bool CopyFile(const std::string& source, const std::string& target, bool replace) override;
    bool Remove(const std::string& path) override;
    std::optional<ports::EntryIdentity> IdentityOf(const std::string& path) override;
    bool RemoveIfSame(const std::string& path, const ports::EntryIdentity& expected) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
    bool CreateFolders(const std::string& path) override;
    bool ResolvesToFolder(const std::string& path) override;
    bool SameFile(const std::string& a, const std::string& b) override;
};

}  // namespace quellstone::platform
