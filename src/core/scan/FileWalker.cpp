#include "core/scan/FileWalker.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "core/scan/MountPointHolders.h"
#include "core/scan/WalkOptions.h"
#include "core/scan/WalkRules.h"
#include "core/text/PathText.h"
#include "core/text/UpperCase.h"
#include "core/text/Wildcard.h"

namespace quellstone::scan {

namespace {

// The look-up of one entry, as the scan window sees it: the path shown, the
// name looked up, the scanned count raised, a yield, and a result row when
// the database holds a detection name for it.
struct EntryLookup {
    ScanState& state;
    const SignatureIndex& index;
    ports::EventPump& pump;
    ScanSink& sink;
    std::string upperName;  // set by the caller: the entry's name upper-cased
    std::string detection;

    void Check(std::string_view fullPath) {
        sink.ShowCurrentPath(fullPath);
        const std::string_view value = index.Find(LookupKeyOf(upperName));
        // Copied before the yield: whatever runs there cannot change the result.
        if (value.empty()) {
            detection.clear();
        } else {
            text::UpperCaseInto(value, detection);
        }
        sink.AdvanceScannedCount();
        pump.ProcessPendingEvents();
        if (!detection.empty()) {
            sink.AddDetection(detection, fullPath);
            ++state.detectionCount;
        }
    }
};

// One folder that the walk has entered and not yet finished.
struct Frame {
    std::unique_ptr<ports::Directory> folder;  // null when it could not be opened or was released
    ports::FolderIdentity identity;
    bool released = false;           // closed to save handles; reopened from its child on return
    bool mayHoldMountPoints = true;  // whether a listed folder's status must be read to walk it
    bool reportedCutShort = false;   // its listing was reported as not read whole
    std::size_t pathLength = 0;
    ports::FolderStamp stamp;             // the folder's times when `listing` was taken
    ports::DirectoryListing listing;      // used by the collecting and, while still current, the look-up pass
    std::vector<std::size_t> subfolders;  // listing positions of the folders to walk
    std::vector<std::size_t> excluded;    // listing positions of excluded entries, in order
    std::size_t nextSubfolder = 0;
};

class Walk {
public:
    Walk(ScanState& state, const SignatureIndex& index, ports::EventPump& pump, ScanSink& sink,
         const std::string& pattern, const WalkOptions& options, std::size_t openFolderBudget)
        : state_(state),
          pump_(pump),
          sink_(sink),
          options_(options),
          lookup_{state, index, pump, sink, {}, {}},
          matcher_(pattern),
          openFolderBudget_(std::max<std::size_t>(openFolderBudget, 2)) {}

    // The folders known to hold a mount point (nullopt: any folder may).
    void SetMountPointHolders(std::optional<std::unordered_set<std::string>> holders) {
        mountPointHolders_ = std::move(holders);
    }

    void Run(std::unique_ptr<ports::Directory> root, std::string rootPath) {
        path_ = std::move(rootPath);
        Push(std::move(root), true);
        while (depth_ > 0) {
            Frame& top = frames_[depth_ - 1];
            if (top.nextSubfolder < top.subfolders.size()) {
                const std::string_view name = top.listing.Name(top.subfolders[top.nextSubfolder++]);
                pump_.ProcessPendingEvents();
                if (StopSeen()) return;
                Descend(top, name);
                continue;
            }
            if (StopSeen()) return;
            // Its subfolders took time: entries may have come and gone since it was listed.
            if (!top.subfolders.empty()) BringListingUpToDate(top);
            LookUpEntries(top);
            Pop();
        }
    }

private:
    // The one reading of a stop: once the run flag is found cleared (or the
    // scan window closed), the walk ends where it is. It is read before every
    // descent and before every look-up pass, so after a stop is seen no folder
    // is entered and no entry is looked up, in whichever folder it was pressed;
    // a look-up pass that has begun finishes its folder first.
    [[nodiscard]] bool StopSeen() const { return !state_.scanRunning || !sink_.IsShown(); }

    void Descend(Frame& parent, std::string_view name) {
        std::unique_ptr<ports::Directory> child = parent.folder ? parent.folder->OpenSubfolder(name) : nullptr;
        // Checked on the folder opened: a mount point (one the listing alone
        // let through, one mounted over since its status was read, a
        // subvolume with a device of its own) is passed over without a
        // word, as one known from its status is.
        if (child && IsMountPoint(child->Identity().device, parent.identity)) return;
        // An excluded folder renamed to this name since the listing is still
        // excluded: left out as it would have been, without a word.
        if (child && !options_.excluded.empty() && options_.ExcludesFolder(child->Identity())) return;
        path_.resize(parent.pathLength);
        path_ += '/';
        path_ += name;
        Push(std::move(child), false);
    }

    void Push(std::unique_ptr<ports::Directory> folder, bool isStartFolder) {
        // A start folder that cannot be opened never gets here: ScanFolder reports it.
        if (depth_ == frames_.size()) frames_.emplace_back();
        Frame& frame = frames_[depth_++];
        frame.folder = std::move(folder);
        frame.released = false;
        frame.pathLength = path_.size();
        frame.listing.Clear();
        frame.subfolders.clear();
        frame.excluded.clear();
        frame.nextSubfolder = 0;
        frame.reportedCutShort = false;
        if (!frame.folder) {
            // An unreadable folder lists as empty, and the report says it was not read.
            if (!isStartFolder) sink_.ReportUnreadableFolder(ShownPath(), false);
            return;
        }

        frame.identity = frame.folder->Identity();
        frame.stamp = frame.folder->OpenedStamp();
        frame.mayHoldMountPoints = !mountPointHolders_ || mountPointHolders_->contains(path_);
        ListAndSort(frame, true);
        if (depth_ > openFolderBudget_) {
            Frame& ancestor = frames_[depth_ - 1 - openFolderBudget_];
            if (ancestor.folder) {
                ancestor.folder.reset();
                ancestor.released = true;
            }
        }
    }

    // Lists the frame's folder and sorts its entries: which are excluded and,
    // when `collectSubfolders`, which are folders to walk. `path_` is the folder's.
    void ListAndSort(Frame& frame, bool collectSubfolders) {
        // A listing cut short keeps what it read, and the report says it was not read whole.
        // (Even a start folder: what was listed of it is scanned.)
        // (Said once per folder, though it may be listed twice.)
        if (!frame.folder->List(frame.listing) && !frame.reportedCutShort) {
            frame.reportedCutShort = true;
            sink_.ReportUnreadableFolder(ShownPath(), false);
        }
        const bool excluding = !options_.excluded.empty();
        if (!excluding && !collectSubfolders) return;
        for (std::size_t i = 0; i < frame.listing.Size(); ++i) {
            const std::string_view name = frame.listing.Name(i);
            if (IsSkipped(name, options_.includeHidden)) continue;
            if (excluding && options_.ExcludesEntry(path_, name)) {
                frame.excluded.push_back(i);
                continue;
            }
            if (!MayBeWalked(frame.listing.Kind(i))) continue;
            // Where nothing is mounted, a folder the listing names is walked
            // without reading its status: Descend checks the folder it opens.
            if (!excluding && !frame.mayHoldMountPoints && frame.listing.Kind(i) == ports::EntryKind::Folder) {
                if (collectSubfolders) frame.subfolders.push_back(i);
                continue;
            }
            // An entry whose status cannot be read is not walked.
            const std::optional<ports::EntryStatus> status = frame.folder->Status(name);
            if (!status) continue;
            // The status read to decide the walk tells the folder's identity too, at no extra cost.
            if (excluding && options_.ExcludesFolder(status->Identity())) {
                frame.excluded.push_back(i);
                continue;
            }
            if (collectSubfolders && IsWalkedFolder(*status, frame.identity)) frame.subfolders.push_back(i);
        }
    }

    // Lists the folder again when its times say it changed since its listing
    // (or cannot say it did not), so that its look-up pass sees what it holds
    // now: a file added meanwhile is looked up, one deleted is not reported.
    void BringListingUpToDate(Frame& frame) {
        path_.resize(frame.pathLength);
        if (!frame.folder) {
            // Released and not found again where it was (moved or deleted): what
            // it held cannot be told, so nothing of the old listing is reported.
            frame.listing.Clear();
            frame.excluded.clear();
            if (!frame.reportedCutShort) sink_.ReportUnreadableFolder(ShownPath(), false);
            frame.reportedCutShort = true;
            return;
        }
        const std::optional<ports::FolderStamp> now = frame.folder->CurrentStamp();
        if (now && frame.stamp.settled && now->SameTimes(frame.stamp)) return;
        frame.stamp = now.value_or(ports::FolderStamp{});
        frame.listing.Clear();
        frame.excluded.clear();
        ListAndSort(frame, false);
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
            if (parent.released && done.folder) {
                std::unique_ptr<ports::Directory> reopened = done.folder->OpenParent();
                // Only the very folder that was left: if it moved meanwhile, its
                // remaining subfolders are passed over.
                if (reopened && reopened->Identity() == parent.identity) parent.folder = std::move(reopened);
                parent.released = false;
            }
        }
        done.folder.reset();
    }

    void LookUpEntries(const Frame& frame) {
        std::size_t nextExcluded = 0;
        for (std::size_t i = 0; i < frame.listing.Size(); ++i) {
            const std::string_view name = frame.listing.Name(i);
            if (IsSkipped(name, options_.includeHidden)) continue;
            if (nextExcluded < frame.excluded.size() && frame.excluded[nextExcluded] == i) {
                ++nextExcluded;
                continue;
            }
            text::UpperCaseInto(name, lookup_.upperName);
            if (!matcher_.Matches(lookup_.upperName)) continue;
            path_.resize(frame.pathLength);
            path_ += '/';
            path_ += name;
            lookup_.Check(path_);
        }
    }

    ScanState& state_;
    ports::EventPump& pump_;
    ScanSink& sink_;
    const WalkOptions& options_;
    EntryLookup lookup_;
    text::WildcardPattern matcher_;
    std::size_t openFolderBudget_;

    std::optional<std::unordered_set<std::string>> mountPointHolders_;
    std::vector<Frame> frames_;
    std::size_t depth_ = 0;
    std::string path_;
};

}  // namespace

void NormaliseScanPath(std::string& path) {
    if (path.empty()) path.push_back('/');
    while (!path.empty() && path.back() == '/') path.pop_back();
}

void NormaliseScanPattern(std::string& pattern) {
    const std::size_t dot = pattern.rfind('.');
    if (dot == std::string::npos || dot == 0) pattern += '*';
}

FileWalker::FileWalker(ScanState& state, SignatureDatabase& signatures, ports::DirectoryTree& tree,
                       ports::EventPump& pump, ScanSink& sink, std::size_t openFolderBudget)
    : state_(state),
      signatures_(signatures),
      tree_(tree),
      pump_(pump),
      sink_(sink),
      openFolderBudget_(openFolderBudget) {}

WalkEnd FileWalker::ScanTree(std::string& pattern, std::string& path) {
    state_.detectionCount = 0;
    if (state_.scanRunning) {
        state_.scanRunning = false;  // a call made while a walk runs is a stop request
        return WalkEnd::Stopped;
    }
    if (!sink_.IsShown()) {
        sink_.Discard();
        return WalkEnd::Stopped;
    }
    state_.scanRunning = true;
    ScanFolder(pattern, path);
    const WalkEnd end = state_.scanRunning && sink_.IsShown() ? WalkEnd::Finished : WalkEnd::Stopped;
    state_.scanRunning = false;
    return end;
}

void FileWalker::ScanFolder(std::string& pattern, std::string& path) {
    if (!state_.scanRunning || !sink_.IsShown()) return;
    NormaliseScanPath(path);
    // The pattern is normalised once per walk, not again in every subfolder,
    // where appending "*" over and over would only grow it.
    NormaliseScanPattern(pattern);

    const std::string_view shown = path.empty() ? std::string_view("/") : std::string_view(path);
    // An excluded start folder is not even opened.
    if (options_.CoversPath(path)) {
        sink_.ReportExcludedStart(shown);
        return;
    }

    // Held for the whole walk, even if a look-up elsewhere loads another database meanwhile.
    const std::shared_ptr<const SignatureIndex> index = IndexForWalk();
    std::unique_ptr<ports::Directory> root = tree_.OpenFolder(path + "/");
    sink_.EnterStartFolder(path, root ? std::optional(root->Identity()) : std::nullopt);
    if (!root) {
        // Nothing of it can be scanned: the report must not read as "nothing found".
        sink_.ReportUnreadableFolder(shown, true);
        return;
    }
    // Named through a link to an excluded folder, or lying below one.
    if (options_.CoversFolder(*root)) {
        sink_.ReportExcludedStart(shown);
        return;
    }
    Walk walk(state_, *index, pump_, sink_, pattern, options_, openFolderBudget_);
    if (options_.mountPoints) {
        if (const std::optional<std::string> canonical = tree_.CanonicalPath(path)) {
            walk.SetMountPointHolders(MountPointHolders(path, *canonical, *options_.mountPoints));
        }
    }
    walk.Run(std::move(root), path);
}

std::shared_ptr<const SignatureIndex> FileWalker::IndexForWalk() {
    return index_ ? index_ : signatures_.IndexForScan();
}

void FileWalker::ScanEntry(std::string_view fullPath) {
    // The entry's own folder is where removal starts from, as the user named it.
    const std::size_t slash = fullPath.rfind('/');
    const std::string folder = slash == std::string_view::npos ? "." : std::string(fullPath.substr(0, slash));
    const std::unique_ptr<ports::Directory> opened = tree_.OpenFolder(folder + "/");
    if (options_.CoversPath(fullPath) || (opened && options_.CoversFolder(*opened))) {
        sink_.ReportExcludedStart(fullPath);
        return;
    }
    sink_.EnterStartFolder(folder, opened ? std::optional(opened->Identity()) : std::nullopt);
    const std::shared_ptr<const SignatureIndex> index = IndexForWalk();
    EntryLookup lookup{state_, *index, pump_, sink_, text::UpperCase(text::FileNameOf(fullPath)), {}};
    lookup.Check(fullPath);
}

}  // namespace quellstone::scan
