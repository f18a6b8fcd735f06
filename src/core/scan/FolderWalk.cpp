#include "core/scan/FolderWalk.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <unordered_set>
#include <vector>

#include "core/scan/MountPointHolders.h"
#include "core/scan/WalkRules.h"
#include "core/text/PathText.h"
#include "core/text/UpperCase.h"

namespace quellstone::scan {

namespace {

// One folder that the walk has entered and not yet finished.
struct Frame {
    ListedFolder listed;
    ListingAhead::Ticket ticket;  // under which its subfolders are listed ahead
    bool released = false;        // closed to save handles; reopened from its child on return
    bool listedEarly = false;     // listed by a listing thread, ahead of the walk
    bool reportedCutShort = false;
    std::size_t pathLength = 0;
    std::size_t nextSubfolder = 0;
};

// The index, once: the walk lists while the database loads and waits only
// before its first look-up, or until a stop.
class IndexWait {
public:
    explicit IndexWait(const IndexSupply& supply) : supply_(supply) {}

    // Null when it did not load or a stop came first.
    const SignatureIndex* Get(const std::stop_token& stop) {
        if (!waited_) {
            while (supply_.valid() && supply_.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
                if (stop.stop_requested()) return nullptr;
            }
            waited_ = true;
            if (supply_.valid()) index_ = supply_.get();
            if (index_ && index_->LoadStatus() != SignatureIndex::Status::Loaded) index_.reset();
        }
        return index_.get();
    }
    [[nodiscard]] bool Failed() const { return waited_ && !index_; }
    // Whether Get would return at once.
    [[nodiscard]] bool Ready() const {
        return waited_ || !supply_.valid() || supply_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

private:
    const IndexSupply& supply_;
    bool waited_ = false;
    std::shared_ptr<const SignatureIndex> index_;
};

class FolderWalk {
public:
    FolderWalk(const WalkOptions& options, IndexWait& index, ScanSink& sink, std::stop_token stop,
               const WalkSettings& settings, ListingAhead* ahead, WalkResult& result)
        : options_(options),
          index_(index),
          sink_(sink),
          stop_(std::move(stop)),
          openFolderBudget_(std::max<std::size_t>(settings.openFolderBudget, 2)),
          listingBudget_(settings.listing),
          ahead_(ahead),
          result_(result) {}

    void SetMountPointHolders(ListingAhead::MountHolders holders) {
        holders_ = std::make_shared<const ListingAhead::MountHolders>(std::move(holders));
    }

    void Run(std::shared_ptr<ports::Directory> root, std::string rootPath) {
        path_ = std::move(rootPath);
        Frame& frame = PushFrame();
        frame.listed.mayHoldMountPoints = MayHoldMountPoints();
        frame.listed.Open(std::move(root));
        TimedListAndSort(frame.listed);
        ReportCutShort(frame);
        if (ahead_) frame.ticket = ahead_->Offer({}, frame.listed, path_, holders_);
        listedAhead_ = frame.ticket != nullptr;
        Loop();
        // A stop leaves the folders on the way down, each with its listings ahead: Pop lets them go.
        while (depth_ > 0) Pop();
    }

    // What the walk reports goes through these, in walk order. While the
    // index loads, the walk goes on and its reports wait here (up to a
    // budget), each look-up with the listing it was taken from; they are
    // made in the same order once the index is there.
    void LookUp(std::string_view fullPath) { Report(Pending::Kind::LookUp, fullPath); }
    void EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) {
        Report(Pending::Kind::StartFolder, path, identity);
    }
    void ReportUnreadable(std::string_view path, bool isStartFolder) {
        ++result_.unreadableFolders;
        Report(Pending::Kind::Unreadable, path, std::nullopt, isStartFolder);
    }
    void ReportExcludedStart(std::string_view path) {
        ++result_.excludedStarts;
        Report(Pending::Kind::ExcludedStart, path);
    }

    // The start point whose entries follow, as the walk names them (`path`),
    // and the folder a relative one is taken from. Path entries match the
    // entries' absolute paths: a start named relative, or through "." or
    // "..", has its part of each path written out as an absolute path for
    // them (links are not resolved).
    void SetStart(std::string_view path, std::string_view currentFolder) {
        // "" is the root; a relative start with no known current folder is matched as it stands.
        const bool known = !path.empty() && (path.starts_with('/') || !currentFolder.empty());
        std::string absolute = known ? LexicallyAbsolute(path, currentFolder) : std::string();
        if (absolute == path) absolute.clear();  // as it stands: nothing to write out
        if (absolute == startAbsolute_ && path.size() == startLength_) return;
        Flush();  // the reports kept while the index loads belong to the former start point
        startAbsolute_ = std::move(absolute);
        startLength_ = path.size();
    }

    // Makes every report still waiting, waiting for the index if need be.
    void Flush() {
        if (pending_.empty()) return;
        const SignatureIndex* index = index_.Get(stop_);
        std::size_t start = 0;
        for (const Pending& report : pending_) {
            const std::string_view path = std::string_view(pendingPaths_).substr(start, report.pathEnd - start);
            start = report.pathEnd;
            Make(report.kind, path, report.identity, report.flag, index);
        }
        pending_.clear();
        pendingPaths_.clear();
    }

private:
    // A report made while the index loads.
    struct Pending {
        enum class Kind : std::uint8_t { LookUp, StartFolder, Unreadable, ExcludedStart };
        Kind kind;
        bool flag;
        std::optional<ports::FolderIdentity> identity;
        std::size_t pathEnd;  // in pendingPaths_
    };
    // Reports kept while the index loads, at most (their paths' bytes).
    static constexpr std::size_t kPendingBytes = 8U << 20U;

    void Report(Pending::Kind kind, std::string_view path, std::optional<ports::FolderIdentity> identity = {},
                bool flag = false) {
        if (!indexReady_) {
            indexReady_ = index_.Ready();
            if (!indexReady_ && pendingPaths_.size() < kPendingBytes) {
                pendingPaths_ += path;
                pending_.push_back({kind, flag, identity, pendingPaths_.size()});
                return;
            }
            Flush();
            indexReady_ = true;
        } else if (!pending_.empty()) {
            Flush();
        }
        Make(kind, path, identity, flag, index_.Get(stop_));
    }

    // `index` null: it did not load, so nothing is looked up.
    void Make(Pending::Kind kind, std::string_view path, const std::optional<ports::FolderIdentity>& identity,
              bool flag, const SignatureIndex* index) {
        switch (kind) {
            case Pending::Kind::LookUp:
                if (index) Probe(*index, path);
                break;
            case Pending::Kind::StartFolder: sink_.EnterStartFolder(path, identity); break;
            case Pending::Kind::Unreadable: sink_.ReportUnreadableFolder(path, flag); break;
            case Pending::Kind::ExcludedStart: sink_.ReportExcludedStart(path); break;
        }
    }

    // Looks up one entry by the name at the end of its path, then by its absolute path.
    void Probe(const SignatureIndex& index, std::string_view fullPath) {
        text::UpperCaseInto(text::FileNameOf(fullPath), upperName_);
        std::string_view absolute = fullPath;
        if (!startAbsolute_.empty() && fullPath.size() >= startLength_) {
            absolutePath_.assign(startAbsolute_);
            absolutePath_ += fullPath.substr(startLength_);
            absolute = absolutePath_;
        }
        const std::string_view value = index.Find(LookupKeyOf(upperName_), absolute);
        ++result_.entries;
        sink_.LookedUp(fullPath);
        if (value.empty()) return;
        text::UpperCaseInto(value, detection_);
        if (!options_.reported.Reports(detection_)) {
            ++result_.ignored;
            sink_.IgnoreDetection(detection_, fullPath);
            return;
        }
        ++result_.detections;
        sink_.AddDetection(detection_, fullPath);
    }

    void Loop() {
        while (depth_ > 0) {
            Frame& top = frames_[depth_ - 1];
            if (top.nextSubfolder < top.listed.subfolders.size()) {
                const std::size_t ordinal = top.nextSubfolder++;
                if (StopSeen()) return;
                Descend(top, ordinal);
                continue;
            }
            if (StopSeen()) return;
            // Listed ahead, or its subfolders took time: entries may have come and gone since.
            if (top.listedEarly || !top.listed.subfolders.empty()) BringListingUpToDate(top);
            LookUpEntries(top);
            Pop();
        }
    }

    // The one reading of a stop. After it no folder is entered and no entry
    // looked up, in whichever folder it came; a look-up pass that has begun
    // finishes its folder first. An index that did not load stops the walk too.
    [[nodiscard]] bool StopSeen() const { return stop_.stop_requested() || index_.Failed(); }

    [[nodiscard]] bool MayHoldMountPoints() const { return !holders_ || !*holders_ || (*holders_)->contains(path_); }

    // `parent` is the top frame; it is not used once the child's frame is pushed (frames_ may grow).
    void Descend(Frame& parent, std::size_t ordinal) {
        const std::string_view name = parent.listed.listing.Name(parent.listed.subfolders[ordinal]);
        path_.resize(parent.pathLength);
        path_ += '/';
        path_ += name;
        std::optional<ListingAhead::Taken> taken;
        if (ahead_) taken = ahead_->Take(parent.ticket, ordinal, stop_);
        // After a stop, or under a folder that was closed to save descriptors
        // and not found again (the walk alone cannot open its subfolders), a
        // listing taken ahead is let go: what the walk reports stays the same.
        if (taken && (stop_.stop_requested() || !parent.listed.folder)) {
            ahead_->Drop(taken->ticket);
            taken.reset();
        }
        if (stop_.stop_requested()) return;
        std::shared_ptr<ports::Directory> child;
        if (taken) {
            child = taken->folder->folder;
        } else if (parent.listed.folder) {
            child = parent.listed.folder->OpenSubfolder(name);
        }
        // Checked on the folder opened: a mount point (one the listing alone
        // let through, one mounted over since its status was read, a
        // subvolume with a device of its own) is passed over without a
        // word, as one known from its status is. So is an excluded folder
        // renamed to this name since the listing.
        if (child && (IsMountPoint(child->Identity().device, parent.listed.identity) ||
                      (!options_.excluded.empty() && options_.ExcludesFolder(child->Identity())))) {
            if (taken && ahead_) ahead_->Drop(taken->ticket);
            return;
        }
        Frame& frame = PushFrame();
        if (taken) {
            // Swapped, so that the frame's former listing keeps its room for a listing thread.
            std::swap(frame.listed, *taken->folder);
            ahead_->Recycle(std::move(taken->folder));
            frame.ticket = std::move(taken->ticket);
            frame.listedEarly = true;
        } else {
            frame.listed.mayHoldMountPoints = MayHoldMountPoints();
            frame.listed.Open(std::move(child));
            if (frame.listed.folder) TimedListAndSort(frame.listed);
            const bool listingAhead = ahead_ && ahead_->ListingAheadNow();
            if (listingAhead) {
                if (!listedAhead_) OfferFoldersOnTheWay();
                frame.ticket = ahead_->Offer(PlaceOfTop(), frame.listed, path_, holders_);
            }
            listedAhead_ = listingAhead;
        }
        if (!frame.listed.folder) {
            // An unreadable folder lists as empty, and the report says it was not read (once).
            frame.listedEarly = false;
            frame.reportedCutShort = true;
            ReportUnreadable();
            return;
        }
        ReportCutShort(frame);
        ReleaseAncestor();
    }

    // The place in the walk of the folder at `depth` (the top by default):
    // the position of each subfolder on the way to it.
    [[nodiscard]] std::vector<std::uint32_t> PlaceOfTop(std::size_t depth = 0) const {
        if (depth == 0) depth = depth_;
        std::vector<std::uint32_t> place;
        place.reserve(depth);
        for (std::size_t level = 0; level + 1 < depth; ++level) {
            place.push_back(static_cast<std::uint32_t>(frames_[level].nextSubfolder - 1));
        }
        return place;
    }

    // Listing ahead began (or began again) below folders that the walk
    // entered while the threads rested: their subfolders still to come are
    // handed over too, or each would wait for the disk in turn.
    void OfferFoldersOnTheWay() {
        for (std::size_t level = 0; level + 1 < depth_; ++level) {
            Frame& frame = frames_[level];
            if (frame.ticket || frame.nextSubfolder >= frame.listed.subfolders.size()) continue;
            const std::string_view path = std::string_view(path_).substr(0, frame.pathLength);
            frame.ticket =
                ahead_->Offer(PlaceOfTop(level + 1), frame.listed, std::string(path), holders_, frame.nextSubfolder);
        }
    }

    // Lists a folder the walk entered itself, telling the listing threads how long it took.
    void TimedListAndSort(ListedFolder& listed) {
        const auto started = listingBudget_.Now();
        ListAndSort(listed, path_, options_, true);
        if (ahead_) ahead_->NoteListingTime(listingBudget_.Now() - started, listed.listing.Size());
    }

    Frame& PushFrame() {
        if (depth_ == frames_.size()) frames_.emplace_back();
        Frame& frame = frames_[depth_++];
        frame.ticket.reset();
        frame.released = false;
        frame.listedEarly = false;
        frame.reportedCutShort = false;
        frame.pathLength = path_.size();
        frame.nextSubfolder = 0;
        return frame;
    }

    // Keeps the walk's own open folders within budget: the deepest ancestor
    // beyond it is closed, and reopened from its child on the way back.
    void ReleaseAncestor() {
        if (depth_ <= openFolderBudget_) return;
        Frame& ancestor = frames_[depth_ - 1 - openFolderBudget_];
        if (!ancestor.listed.folder) return;
        if (ahead_) ahead_->Release(ancestor.ticket);
        ancestor.listed.folder.reset();
        ancestor.released = true;
    }

    void ReportCutShort(Frame& frame) {
        // Said once per folder, though it may be listed twice; even a start
        // folder: what was listed of it is scanned.
        if (!frame.listed.cutShort || frame.reportedCutShort) return;
        frame.reportedCutShort = true;
        ReportUnreadable();
    }

    void ReportUnreadable() { ReportUnreadable(ShownPath(), false); }

    // Lists the folder again when its times say it changed since its listing
    // (or cannot say it did not), so that its look-up pass sees what it holds
    // now: a file added meanwhile is looked up, one deleted is not reported.
    void BringListingUpToDate(Frame& frame) {
        path_.resize(frame.pathLength);
        ListedFolder& listed = frame.listed;
        if (!listed.folder) {
            // Released and not found again where it was (moved or deleted): what
            // it held cannot be told, so nothing of the old listing is reported.
            listed.listing.Clear();
            listed.excluded.clear();
            if (!frame.reportedCutShort) ReportUnreadable();
            frame.reportedCutShort = true;
            return;
        }
        const std::optional<ports::FolderStamp> now = listed.folder->CurrentStamp();
        if (now && listed.stamp.settled && now->SameTimes(listed.stamp)) return;
        listed.stamp = now.value_or(ports::FolderStamp{});
        ListAndSort(listed, path_, options_, false);
        ReportCutShort(frame);
    }

    // The folder being entered, as a report names it: the root is "/".
    [[nodiscard]] std::string_view ShownPath() const { return path_.empty() ? std::string_view("/") : path_; }

    void Pop() {
        --depth_;
        Frame& done = frames_[depth_];
        if (depth_ > 0) {
            Frame& parent = frames_[depth_ - 1];
            // Reopened even when it has no subfolder left: it must in turn
            // reopen its own parent, whose later subfolders are still to come.
            if (parent.released && done.listed.folder) {
                std::shared_ptr<ports::Directory> reopened = done.listed.folder->OpenParent();
                // Only the very folder that was left: if it moved meanwhile, its
                // remaining subfolders are passed over.
                if (reopened && reopened->Identity() == parent.listed.identity) {
                    parent.listed.folder = reopened;
                    if (ahead_) ahead_->Reattach(parent.ticket, std::move(reopened));
                }
                parent.released = false;
            }
        }
        done.listed.folder.reset();
        // Dropped first: after a stop, its later subfolders may still wait to
        // be listed ahead, and the threads know them by address only.
        if (ahead_) ahead_->Drop(done.ticket);
        done.ticket.reset();
    }

    void LookUpEntries(const Frame& frame) {
        const ListedFolder& listed = frame.listed;
        std::size_t nextExcluded = 0;
        for (std::size_t i = 0; i < listed.listing.Size(); ++i) {
            const std::string_view name = listed.listing.Name(i);
            if (IsSkipped(name, options_.includeHidden)) continue;
            if (nextExcluded < listed.excluded.size() && listed.excluded[nextExcluded] == i) {
                ++nextExcluded;
                continue;
            }
            path_.resize(frame.pathLength);
            path_ += '/';
            path_ += name;
            LookUp(path_);
        }
    }

    const WalkOptions& options_;
    IndexWait& index_;
    ScanSink& sink_;
    std::stop_token stop_;
    std::size_t openFolderBudget_;
    const ListingBudget& listingBudget_;  // its clock times the walk's own listings
    ListingAhead* ahead_;
    WalkResult& result_;
    std::shared_ptr<const ListingAhead::MountHolders> holders_;
    std::vector<Frame> frames_;
    std::size_t depth_ = 0;
    std::string path_;
    std::string upperName_;
    std::string detection_;
    std::string startAbsolute_;    // the start point written out as an absolute path, "" when it is one
    std::size_t startLength_ = 0;  // the start point's length as the walk names it
    std::string absolutePath_;     // an entry's path made absolute
    bool indexReady_ = false;
    bool listedAhead_ = false;  // the listing threads were at work when the walk last listed a folder
    std::vector<Pending> pending_;
    std::string pendingPaths_;
};

}  // namespace

std::string LexicallyAbsolute(std::string_view path, std::string_view currentFolder) {
    std::vector<std::string_view> names;
    const auto add = [&names](std::string_view from) {
        std::size_t pos = 0;
        while (pos <= from.size()) {
            const std::size_t end = std::min(from.find('/', pos), from.size());
            const std::string_view name = from.substr(pos, end - pos);
            if (name == "..") {
                if (!names.empty()) names.pop_back();
            } else if (!name.empty() && name != ".") {
                names.push_back(name);
            }
            pos = end + 1;
        }
    };
    if (!path.starts_with('/')) add(currentFolder);
    add(path);
    std::string absolute;
    for (const std::string_view name : names) {
        absolute += '/';
        absolute += name;
    }
    return absolute;
}

std::string NormalisedScanPath(std::string path) {
    if (path.empty()) path.push_back('/');
    while (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

IndexSupply ReadyIndex(std::shared_ptr<const SignatureIndex> index) {
    std::promise<std::shared_ptr<const SignatureIndex>> ready;
    ready.set_value(std::move(index));
    return ready.get_future().share();
}

WalkResult& WalkResult::operator+=(const WalkResult& other) {
    entries += other.entries;
    detections += other.detections;
    unreadableFolders += other.unreadableFolders;
    excludedStarts += other.excludedStarts;
    ignored += other.ignored;
    stopped = stopped || other.stopped;
    noIndex = noIndex || other.noIndex;
    return *this;
}

WalkResult Walk(std::span<const StartPoint> starts, const WalkOptions& options, const IndexSupply& index,
                ports::DirectoryTree& tree, ScanSink& sink, std::stop_token stop, const WalkSettings& settings) {
    WalkResult result;
    IndexWait indexWait(index);
    std::optional<ListingAhead> ahead;
    if (settings.listing.threads > 1) ahead.emplace(options, settings.listing);
    FolderWalk walk(options, indexWait, sink, stop, settings, ahead ? &*ahead : nullptr, result);

    for (const StartPoint& start : starts) {
        if (stop.stop_requested() || indexWait.Failed()) break;
        walk.SetStart(start.isFolder ? NormalisedScanPath(start.path) : start.path, start.currentFolder);
        const std::string path = NormalisedScanPath(start.path);
        const std::string_view shown = path.empty() ? std::string_view("/") : std::string_view(path);
        if (!start.isFolder) {
            // The entry's own folder is where removal starts from, as the user named it.
            const std::size_t slash = start.path.rfind('/');
            const std::string folder = slash == std::string::npos ? "." : start.path.substr(0, slash);
            const std::unique_ptr<ports::Directory> opened = tree.OpenFolder(folder + "/");
            if (options.CoversPath(start.path) || (opened && options.CoversFolder(*opened))) {
                walk.ReportExcludedStart(start.path);
                continue;
            }
            walk.EnterStartFolder(folder, opened ? std::optional(opened->Identity()) : std::nullopt);
            walk.LookUp(start.path);
            continue;
        }
        // An excluded start folder is not even opened.
        if (options.CoversPath(path)) {
            walk.ReportExcludedStart(shown);
            continue;
        }
        std::shared_ptr<ports::Directory> root = tree.OpenFolder(path + "/");
        walk.EnterStartFolder(path, root ? std::optional(root->Identity()) : std::nullopt);
        if (!root) {
            // Nothing of it can be scanned: the report must not read as "nothing found".
            walk.ReportUnreadable(shown, true);
            continue;
        }
        // Named through a link to an excluded folder, or lying below one.
        if (options.CoversFolder(*root)) {
            walk.ReportExcludedStart(shown);
            continue;
        }
        ListingAhead::MountHolders holders;
        if (options.mountPoints) {
            if (const std::optional<std::string> canonical = tree.CanonicalPath(path)) {
                holders = MountPointHolders(path, *canonical, *options.mountPoints);
            }
        }
        walk.SetMountPointHolders(std::move(holders));
        walk.Run(std::move(root), path);
    }
    walk.Flush();
    result.noIndex = indexWait.Failed();
    result.stopped = stop.stop_requested();
    return result;
}

}  // namespace quellstone::scan
