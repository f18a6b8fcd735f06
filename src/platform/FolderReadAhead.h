#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/DirectoryTree.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

// Helper threads that list the folders a walk is about to enter, so that
// their entries are in the kernel's cache by the time the walk lists them.
// Whatever the helpers read is thrown away: the walk still reads every
// folder itself, so its order and results do not depend on them.
//
// The helpers take the most recently offered folder first, as a depth-first
// walk enters the subfolders of the folder it listed last before any other.
// At most `capacity` folders wait; offering more drops the oldest, so
// offering never blocks. A helper never follows a link and never lists a
// folder on another device than its parent (a mount point is left alone).
// Destroying the object stops the helpers and waits for them.
class FolderReadAhead {
public:
    static constexpr std::size_t kDefaultCapacity = 128;

    explicit FolderReadAhead(unsigned threads, std::size_t capacity = kDefaultCapacity);
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // The number of helpers QUELLSTONE_READ_AHEAD asks for: unset or 0 for
    // none, otherwise that many (at most 8).
    static unsigned ThreadsFromEnvironment();

    // Offers the subfolders among `listing`'s entries from `first` on, which
    // the open folder `folderFd` on `device` listed. The descriptor is
    // duplicated when there is at least one; the caller keeps its own.
    void Offer(int folderFd, dev_t device, const ports::DirectoryListing& listing, std::size_t first);

private:
    struct Parent {
        UniqueFd fd;
        dev_t device;
    };
    struct Hint {
        std::shared_ptr<const Parent> parent;
        std::string name;
    };

    void Help(const std::stop_token& stop);
    bool Next(const std::stop_token& stop, Hint& hint);
    static void ReadAhead(const Hint& hint, std::vector<char>& buffer, const std::stop_token& stop);

    std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable_any ready_;
    std::deque<Hint> hints_;
    std::vector<std::jthread> helpers_;  // last: stopped and joined before the queue goes
};

}  // namespace quellstone::platform
