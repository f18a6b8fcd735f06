#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "core/scan/ListedFolder.h"
#include "core/scan/WalkOptions.h"

namespace quellstone::scan {

// How far the listing threads may run ahead of the walk.
struct ListingBudget {
    unsigned threads = 8;            // listing threads; the walk lists alone when fewer than 2
    std::size_t folders = 256;       // folders listed and not yet taken, each holding a descriptor
    std::size_t bytes = 16u << 20U;  // the memory of their listings
    // A listing that takes longer than this and a microsecond per entry
    // waited for the disk: the threads list ahead while listings do, and
    // rest while the cache answers at once (listing ahead then only costs
    // the walk processor time). Zero: they always list ahead.
    std::chrono::nanoseconds slowListing = std::chrono::microseconds(100);
    // What listings are timed by; the steady clock unless given.
    std::function<std::chrono::steady_clock::time_point()> clock = {};

    [[nodiscard]] std::chrono::steady_clock::time_point Now() const {
        return clock ? clock() : std::chrono::steady_clock::now();
    }
};

// Threads that open and list folders ahead of the walk, across the whole
// tree, so that a disk serving many reads at once is kept busy while the
// walk consumes the listings in its own order.
//
// The walk hands over every folder it has listed (Offer); the threads list
// that folder's subfolders, and theirs in turn, always taking next the
// folder the walk will reach first (depth first, in listing order), as long
// as the folders listed and not yet taken fit the budget. When the walk
// descends into a subfolder it takes that listing (Take), waiting for one
// in progress, or lists the folder itself when no thread has begun it.
// Nothing here reports to the walk's sink: what was found travels with the
// listing, and the walk reports it when it gets there, in its own order.
class ListingAhead {
public:
    // The folders below one start folder that hold a mount point (see
    // MountPointHolders); nullopt: any folder may.
    using MountHolders = std::optional<std::unordered_set<std::string>>;

    ListingAhead(const WalkOptions& options, const ListingBudget& budget);
    ~ListingAhead();
    ListingAhead(const ListingAhead&) = delete;
    ListingAhead& operator=(const ListingAhead&) = delete;

    struct Node;
    using Ticket = std::shared_ptr<Node>;

    // The walk has listed the folder at `path` (as `listed`); `place` is
    // its place in the walk (the positions of the subfolders that lead to it
    // from the start folder): its subfolders may be listed ahead. Null when
    // it has none to walk, or while listings come from the cache (the walk
    // then lists them itself).
    // Subfolders before `from` are the walk's already (a folder offered late,
    // when listing ahead began below it).
    Ticket Offer(std::vector<std::uint32_t> place, const ListedFolder& listed, std::string path,
                 std::shared_ptr<const MountHolders> holders, std::size_t from = 0);
    // Whether the threads list ahead now (listings wait for the disk); Offer takes nothing otherwise.
    [[nodiscard]] bool ListingAheadNow() const { return diskBound_.load(std::memory_order_relaxed) > 0; }

    // The listing of subfolder `ordinal` of `parent`, taken by a thread, and
    // the ticket its own subfolders are listed under; nullopt when no thread
    // has begun it (the walk lists it itself) or when `stop` came while
    // waiting for it.
    struct Taken {
        std::unique_ptr<ListedFolder> folder;
        Ticket ticket;
    };
    std::optional<Taken> Take(const Ticket& parent, std::size_t ordinal, std::stop_token stop);

    // How long a listing of `entries` entries took (the walk's own or a
    // thread's): while listings wait for the disk, the threads list ahead.
    void NoteListingTime(std::chrono::nanoseconds took, std::size_t entries);

    // A listing the walk is done with: its room is used again for another folder.
    void Recycle(std::unique_ptr<ListedFolder> done);

    // The walk closed the folder to save descriptors: nothing more is opened
    // through it until Reattach gives it back.
    void Release(const Ticket& ticket);
    void Reattach(const Ticket& ticket, std::shared_ptr<ports::Directory> folder);
    // The walk will not enter the folder (a mount point, an excluded folder),
    // or is done with it: whatever was listed below it is let go. The walk
    // drops every ticket before it lets go of it, since the threads know the
    // folders still to be listed by address only.
    void Drop(const Ticket& ticket);

private:
    struct NextFirst {
        bool operator()(const Node* a, const Node* b) const;
    };

    void Work(std::stop_token stop);
    // With the lock held.
    [[nodiscard]] bool CanTake() const;
    [[nodiscard]] bool WakeDue() const;
    void Schedule(Node& node);
    void Unschedule(Node& node);
    void DropLocked(Node& node);

    const WalkOptions& options_;
    ListingBudget budget_;
    std::mutex mutex_;
    std::condition_variable_any workWaiting_;  // a listing thread may take a folder
    std::condition_variable_any listed_;       // a folder the walk may wait for is listed
    std::set<Node*, NextFirst> waiting_;       // nodes with a subfolder no thread has begun, walk order first
    std::size_t aheadFolders_ = 0;             // listed (or being listed) and not yet taken
    std::size_t aheadBytes_ = 0;
    bool walkWaiting_ = false;  // the walk waits for a listing
    // Listings to go before the threads rest: raised by every slow one,
    // lowered by every fast one.
    std::atomic<int> diskBound_{0};
    const void* awaited_ = nullptr;                     // the slot it waits for
    std::vector<std::unique_ptr<ListedFolder>> spare_;  // listings to use again, their room kept
    std::vector<std::jthread> threads_;
};

}  // namespace quellstone::scan
