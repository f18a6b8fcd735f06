#include "core/scan/ListingAhead.h"

#include <algorithm>
#include <cstdint>

#include "core/scan/WalkRules.h"

namespace quellstone::scan {

// A folder listed by the walk or ahead of it whose subfolders are still to
// be taken. Its key is its place in the walk: the positions of the
// subfolders that lead to it from the start folder.
struct ListingAhead::Node : std::enable_shared_from_this<Node> {
    enum class State : std::uint8_t { Waiting, Listing, Ready, Taken };
    struct Slot {
        State state = State::Waiting;
        std::unique_ptr<ListedFolder> listed;
        Ticket ticket;
        std::size_t bytes = 0;
    };

    std::shared_ptr<ports::Directory> folder;  // null while the walk has it closed
    std::string path;
    std::shared_ptr<const MountHolders> holders;  // null: any folder may hold one
    std::vector<std::uint32_t> key;
    ports::DirectoryListing names;  // the subfolders to walk, in walk order
    std::vector<Slot> slots;        // one per subfolder
    std::size_t next = 0;           // the first subfolder no thread has begun
    bool scheduled = false;         // in `waiting_`
    bool dropped = false;
};

namespace {

using Node = ListingAhead::Node;

// The node for a listed folder whose subfolders are to be walked; null when it has none.
ListingAhead::Ticket NewNode(std::vector<std::uint32_t> key, const ListedFolder& listed, std::string path,
                             std::shared_ptr<const ListingAhead::MountHolders> holders, std::size_t from = 0) {
    if (!listed.folder || from >= listed.subfolders.size()) return nullptr;
    auto node = std::make_shared<Node>();
    node->folder = listed.folder;
    node->path = std::move(path);
    node->holders = std::move(holders);
    node->key = std::move(key);
    for (const std::size_t position : listed.subfolders) {
        node->names.Add(listed.listing.Name(position), ports::EntryKind::Folder);
    }
    node->slots.resize(listed.subfolders.size());
    for (std::size_t taken = 0; taken < from; ++taken) node->slots[taken].state = Node::State::Taken;
    node->next = from;
    return node;
}

}  // namespace

// Compares the keys of the two nodes' next subfolders: the node's key
// followed by `next`. Depth first in listing order is the order of these
// keys, so the smallest is the folder the walk reaches first.
bool ListingAhead::NextFirst::operator()(const Node* a, const Node* b) const {
    const std::vector<std::uint32_t>& ka = a->key;
    const std::vector<std::uint32_t>& kb = b->key;
    const std::size_t common = std::min(ka.size(), kb.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (ka[i] != kb[i]) return ka[i] < kb[i];
    }
    if (ka.size() < kb.size()) {
        if (a->next != kb[common]) return a->next < kb[common];
        return true;  // a's next is a folder above b's
    }
    if (kb.size() < ka.size()) {
        if (ka[common] != b->next) return ka[common] < b->next;
        return false;
    }
    if (a->next != b->next) return a->next < b->next;
    return a < b;  // never the same folder; kept strict for the set
}

ListingAhead::ListingAhead(const WalkOptions& options, const ListingBudget& budget)
    : options_(options), budget_(budget) {
    budget_.folders = std::max<std::size_t>(budget_.folders, 1);
    threads_.reserve(budget_.threads);
    for (unsigned i = 0; i < budget_.threads; ++i) {
        threads_.emplace_back([this](std::stop_token stop) { Work(std::move(stop)); });
    }
}

ListingAhead::~ListingAhead() {
    for (std::jthread& thread : threads_) thread.request_stop();
    threads_.clear();  // joins: a thread inside a listing finishes that folder first
}

bool ListingAhead::CanTake() const {
    return diskBound_.load(std::memory_order_relaxed) > 0 && !waiting_.empty() && aheadFolders_ < budget_.folders &&
           aheadBytes_ < budget_.bytes;
}

void ListingAhead::NoteListingTime(std::chrono::nanoseconds took, std::size_t entries) {
    // So many fast listings in a row, and the threads rest.
    constexpr int kFastToRest = 64;
    // What the cache takes per entry, at most, so that a large folder is not taken for the disk.
    constexpr std::chrono::nanoseconds kCachedPerEntry = std::chrono::microseconds(1);
    const bool slow = budget_.slowListing.count() == 0 ||
                      took >= budget_.slowListing + kCachedPerEntry * static_cast<std::int64_t>(entries);
    if (slow) {
        if (diskBound_.exchange(kFastToRest) > 0) return;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (WakeDue()) workWaiting_.notify_one();
        return;
    }
    int left = diskBound_.load(std::memory_order_relaxed);
    while (left > 0 && !diskBound_.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
    }
}

// A thread that found nothing to take sleeps until the listings ahead have
// run down to half the budget, or the walk waits for one: a thread that has
// work keeps taking it, and one more joins each time the walk would wait.
// So as many threads list as keep the walk fed (all of them while the disk
// makes each listing wait, one or two while the cache answers), and none
// wakes for a single folder.
bool ListingAhead::WakeDue() const {
    return CanTake() && (aheadFolders_ <= budget_.folders / 2 || walkWaiting_);
}

void ListingAhead::Schedule(Node& node) {
    if (node.scheduled || node.dropped || !node.folder || node.next >= node.slots.size()) return;
    waiting_.insert(&node);
    node.scheduled = true;
    if (WakeDue()) workWaiting_.notify_one();
}

void ListingAhead::Unschedule(Node& node) {
    if (!node.scheduled) return;
    waiting_.erase(&node);
    node.scheduled = false;
}

ListingAhead::Ticket ListingAhead::Offer(std::vector<std::uint32_t> place, const ListedFolder& listed, std::string path,
                                         std::shared_ptr<const MountHolders> holders, std::size_t from) {
    // While the cache answers, the threads rest and the walk lists alone:
    // its folders are not even handed over, which costs it nothing.
    if (!ListingAheadNow()) return nullptr;
    Ticket node = NewNode(std::move(place), listed, std::move(path), std::move(holders), from);
    if (!node) return nullptr;
    const std::lock_guard<std::mutex> lock(mutex_);
    Schedule(*node);
    return node;
}

void ListingAhead::Work(std::stop_token stop) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (!CanTake() && !workWaiting_.wait(lock, stop, [this] { return WakeDue(); })) return;
        Node& node = **waiting_.begin();
        Unschedule(node);
        const std::size_t ordinal = node.next++;
        Schedule(node);
        node.slots[ordinal].state = Node::State::Listing;
        ++aheadFolders_;
        // Kept alive while the lock is let go: the walk may drop the node meanwhile.
        const std::shared_ptr<Node> parent = node.shared_from_this();
        const std::shared_ptr<ports::Directory> parentFolder = parent->folder;
        const std::string name(parent->names.Name(ordinal));
        std::unique_ptr<ListedFolder> listed;
        if (!spare_.empty()) {
            listed = std::move(spare_.back());
            spare_.pop_back();
        }
        lock.unlock();

        std::string path = parent->path + "/" + name;
        if (!listed) listed = std::make_unique<ListedFolder>();
        listed->mayHoldMountPoints = !parent->holders || !*parent->holders || (*parent->holders)->contains(path);
        const auto started = budget_.Now();
        listed->Open(parentFolder->OpenSubfolder(name));
        Ticket child;
        if (listed->folder) {
            ListAndSort(*listed, path, options_, true);
            NoteListingTime(budget_.Now() - started, listed->listing.Size());
            // The walk passes over a mount point and an excluded folder without entering: nothing below is listed.
            const bool entered = !IsMountPoint(listed->identity.device, parentFolder->Identity()) &&
                                 (options_.excluded.empty() || !options_.ExcludesFolder(listed->identity));
            if (entered) {
                std::vector<std::uint32_t> place;
                place.reserve(parent->key.size() + 1);
                place = parent->key;
                place.push_back(static_cast<std::uint32_t>(ordinal));
                child = NewNode(std::move(place), *listed, std::move(path), parent->holders);
            }
        }
        const std::size_t bytes = listed->Bytes();

        lock.lock();
        Node::Slot& slot = parent->slots[ordinal];
        if (parent->dropped) {
            --aheadFolders_;
            continue;
        }
        slot.listed = std::move(listed);
        slot.ticket = std::move(child);
        slot.bytes = bytes;
        slot.state = Node::State::Ready;
        aheadBytes_ += bytes;
        if (slot.ticket) Schedule(*slot.ticket);
        if (awaited_ == &slot) listed_.notify_one();  // the walk waits for this very one
    }
}

std::optional<ListingAhead::Taken> ListingAhead::Take(const Ticket& parent, std::size_t ordinal, std::stop_token stop) {
    if (!parent || ordinal >= parent->slots.size()) return std::nullopt;
    std::unique_lock<std::mutex> lock(mutex_);
    Node::Slot& slot = parent->slots[ordinal];
    if (slot.state == Node::State::Waiting) {
        // No thread has begun it: the walk lists it now, and the threads go on past it.
        Unschedule(*parent);
        slot.state = Node::State::Taken;
        parent->next = std::max(parent->next, ordinal + 1);
        Schedule(*parent);
        return std::nullopt;
    }
    if (slot.state != Node::State::Ready) {
        // The walk waits: one more thread lists.
        walkWaiting_ = true;
        awaited_ = &slot;
        if (WakeDue()) workWaiting_.notify_one();
        const bool listed = listed_.wait(lock, stop, [&slot] { return slot.state == Node::State::Ready; });
        walkWaiting_ = false;
        awaited_ = nullptr;
        if (!listed) return std::nullopt;
    }
    slot.state = Node::State::Taken;
    --aheadFolders_;
    aheadBytes_ -= slot.bytes;
    if (WakeDue()) workWaiting_.notify_one();
    return Taken{std::move(slot.listed), std::move(slot.ticket)};
}

void ListingAhead::Recycle(std::unique_ptr<ListedFolder> done) {
    // Enough for the threads' next folders; the rest is freed.
    constexpr std::size_t kMostSpare = 64;
    if (!done) return;
    done->folder.reset();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (spare_.size() < kMostSpare) spare_.push_back(std::move(done));
}

void ListingAhead::Release(const Ticket& ticket) {
    if (!ticket) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    Unschedule(*ticket);
    ticket->folder.reset();
}

void ListingAhead::Reattach(const Ticket& ticket, std::shared_ptr<ports::Directory> folder) {
    if (!ticket) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    ticket->folder = std::move(folder);
    Schedule(*ticket);
}

void ListingAhead::Drop(const Ticket& ticket) {
    if (!ticket) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    DropLocked(*ticket);
    if (WakeDue()) workWaiting_.notify_one();
}

void ListingAhead::DropLocked(Node& node) {
    if (node.dropped) return;
    Unschedule(node);
    node.dropped = true;
    node.folder.reset();
    for (Node::Slot& slot : node.slots) {
        if (slot.state != Node::State::Ready) continue;
        --aheadFolders_;
        aheadBytes_ -= slot.bytes;
        if (slot.ticket) DropLocked(*slot.ticket);
        slot = Node::Slot{Node::State::Taken, nullptr, nullptr, 0};
    }
}

}  // namespace quellstone::scan
