#pragma once

#include <cstddef>
#include <functional>

#include "core/ports/FileStore.h"
#include "platform/AtomicWrite.h"

namespace quellstone::platform {

// Whole-file reads of regular files and crash-safe replacement: the new
// content goes to a temporary file in the same folder, is flushed to disk and
// renamed over the old file, and the folder is flushed too. Moves in one step
// are a rename and the same flush of the folder.
class PosixFileStore final : public ports::FileStore {
public:
    // Program files and quarantine records larger than these are treated as
    // unreadable rather than loaded.
    static constexpr std::size_t kMaxFileSize = 256u * 1024 * 1024;
    static constexpr std::size_t kMaxRecordSize = 64u * 1024;

    // The steps of ReplaceFile, each reported once it is done.
    using ReplaceStep = platform::ReplaceStep;
    using StepObserver = platform::StepObserver;

    PosixFileStore() = default;
    // `onStep` sees each step of every replacement; tests use it to stop a
    // writer at a chosen moment.
    explicit PosixFileStore(StepObserver onStep) : onStep_(std::move(onStep)) {}

    using ports::FileStore::ReadFile;
    using ports::FileStore::ReplaceFile;
    ports::FileContent ReadFile(const std::string& path, ports::FileRole role) override;
    bool ReplaceFile(const std::string& path, std::string_view content, ports::FileRole role) override;
    bool RenameOver(const std::string& from, const std::string& to) override;
    void RemoveTemporariesOf(const std::string& path) override;
    std::optional<ports::FileStamp> Stamp(const std::string& path) override;
    bool CreateFolders(const std::string& path) override;

    // Deletes the temporary file of a quarantine record that is still being
    // written. For a program that is about to end at once (a second Ctrl-C):
    // it may be called from another thread while the record is written.
    void AbandonRecordInProgress() { record_.Abandon(); }

private:
    StepObserver onStep_;
    TrackedTemporary record_;
};

}  // namespace quellstone::platform
