#pragma once

#include <string>

#include "core/ports/FileOperations.h"
#include "platform/AtomicWrite.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

class PosixFileOperations final : public ports::FileOperations {
public:
    PosixFileOperations() = default;
    // `onStep` sees each step of every copy; tests use it to stop a removal
    // at a chosen moment.
    explicit PosixFileOperations(StepObserver onStep) : onStep_(std::move(onStep)) {}

    std::optional<ports::EntryKind> KindOf(const std::string& path) override;
    std::optional<std::uint64_t> SizeOf(const std::string& path) override;
    ports::CopyResult CopyFile(const ports::ReachablePath& source, const ports::ReachablePath& target, bool replace,
                               const std::optional<ports::EntryIdentity>& expectedSource) override;
    ports::CopyResult WriteNewFile(const ports::ReachablePath& target, std::string_view bytes) override;
    std::optional<std::string> ReadLink(const ports::ReachablePath& path,
                                        const ports::EntryIdentity& expected) override;
    ports::CopyResult CreateLink(const ports::ReachablePath& at, std::string_view targetText, bool replace) override;
    bool Remove(const std::string& path) override;
    ports::EntryLookup Find(const ports::ReachablePath& path) override;
    ports::RemoveResult RemoveIfSame(const ports::ReachablePath& path, const ports::EntryIdentity& expected) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
    bool ResolvesToFolder(const std::string& path) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    std::unique_ptr<ports::FolderLock> LockFolder(const std::string& folder) override;
    void RemoveUnfinishedCopies(const std::string& folder) override;

    // Deletes the temporary file of a copy that is still being written. For
    // a program that is about to end at once (a second Ctrl-C): it may be
    // called from another thread while the copy runs.
    void AbandonCopyInProgress() { copy_.Abandon(); }

private:
    StepObserver onStep_;
    TrackedTemporary copy_;
};

}  // namespace quellstone::platform
