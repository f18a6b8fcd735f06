#pragma once

#include <sys/types.h>

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/UniqueFd.h"

namespace quellstone::platform {

// Writes all of `data`, going on after interruptions; false on an error (a
// full disk or a file-size limit ends up here).
bool WriteAll(int fd, std::string_view data);

// Temporary files are named a prefix and this many letters or digits.
inline constexpr std::size_t kTemporarySuffixLength = 6;
// Whether `suffix` is what CreateTemporaryFile puts after the prefix.
bool IsTemporarySuffix(std::string_view suffix);

// Creates a new, empty file for writing only, readable by its owner only, in
// the open folder `folder` under a fresh name: `prefix` and random letters or
// digits. Sets `name`; an invalid descriptor when no file could be created.
UniqueFd CreateTemporaryFile(int folder, std::string_view prefix, std::string& name);

// The temporary files of copies into the quarantine and of its records are
// named this and the random letters, so that one sweep clears what a killed
// removal left there.
inline constexpr std::string_view kCopyPrefix = ".quellstone-copy-";
bool IsCopyTemporaryName(std::string_view name);

// The temporary file a write is filling, remembered so that a program about
// to end at once can delete it from another thread.
class TrackedTemporary {
public:
    TrackedTemporary() = default;
    TrackedTemporary(const TrackedTemporary&) = delete;
    TrackedTemporary& operator=(const TrackedTemporary&) = delete;

    // CreateTemporaryFile, the file remembered until Forget; `error` is the
    // errno of a creation that failed.
    UniqueFd Create(int folder, std::string_view prefix, std::string& name, int& error);
    // The write has ended: its temporary file was renamed or deleted.
    void Forget();
    // Deletes the temporary file of a write still under way; it may run while the write does.
    void Abandon();

private:
    std::mutex mutex_;
    UniqueFd folder_;  // a duplicate of the folder's descriptor, while a write runs
    std::string name_;
};

// The steps of PlaceTemporaryFile, each reported once it is done (the first by
// the caller that created the temporary file).
enum class ReplaceStep { TempCreated, Written, Flushed, Renamed, FolderFlushed };
using StepObserver = std::function<void(ReplaceStep)>;

// Where and how a temporary file is put into place.
struct Placement {
    int folder = -1;        // the open folder that holds the temporary file and receives the new one
    std::string_view name;  // the new file's name in it
    mode_t mode = 0644;     // its permission bits
    bool replace = true;    // false: a file already under the name makes it fail, and stays
    int* error = nullptr;   // when set, receives the errno of the step that failed (the fill sets its own)
};

// Puts a file into place so that a crash at any moment leaves the old file or
// the new one, never a part of it: `fill` writes the content into the
// temporary file `temp` (named `tempName` in the same folder), which gets its
// mode, is flushed to disk, closed and renamed to the new name; then the
// folder is flushed, so the rename itself is on disk. On failure the
// temporary file is deleted. `onStep` may be empty.
bool PlaceTemporaryFile(const Placement& place, UniqueFd temp, const std::string& tempName,
                        const std::function<bool(int fd)>& fill, const StepObserver& onStep);

}  // namespace quellstone::platform
