#pragma once

#include <cstddef>
#include <functional>

#include "core/ports/FileStore.h"
#include "platform/AtomicWrite.h"

namespace quellstone::platform {

// Whole-file reads of regular files and crash-safe replacement: the new
// content goes to a temporary file in the same folder, is flushed to disk and
// renamed over the old file, and the folder is flushed too.
class PosixFileStore final : public ports::FileStore {
public:
    // Files larger than this are treated as unreadable rather than loaded.
    static constexpr std::size_t kMaxFileSize = 256u * 1024 * 1024;

    // The steps of ReplaceFile, each reported once it is done.
    using ReplaceStep = platform::ReplaceStep;
    using StepObserver = platform::StepObserver;

    PosixFileStore() = default;
    // `onStep` sees each step of every replacement; tests use it to stop a
    // writer at a chosen moment.
    explicit PosixFileStore(StepObserver onStep) : onStep_(std::move(onStep)) {}

    ports::FileContent ReadFile(const std::string& path) override;
    bool ReplaceFile(const std::string& path, std::string_view content) override;
    std::optional<ports::FileStamp> Stamp(const std::string& path) override;
    bool CreateFolders(const std::string& path) override;

private:
    StepObserver onStep_;
};

}  // namespace quellstone::platform
