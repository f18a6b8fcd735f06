#include "platform/PosixFileOperations.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/AtomicWrite.h"
#include "platform/FileStatus.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

namespace {

// Copies the rest of `from` to `to`; on failure `error` is the failing call's errno.
bool CopyBytes(int from, int to, int& error) {
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || !WriteAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            error = errno;
            return false;
        }
    }
}

// What a failed copy's errno says about it; the disk-full family is told apart.
ports::CopyResult CopyResultOf(int error) {
    if (error == ENOSPC || error == EDQUOT || error == EFBIG) return ports::CopyResult::NoSpace;
    if (error == EEXIST) return ports::CopyResult::TargetTaken;
    return ports::CopyResult::Failed;
}

// Why the source of a copy could not be opened: the errno of the failing open
// (0 when it opened another folder than the one expected).
ports::CopyResult SourceProblemOf(int error) {
    switch (error) {
        case ENOENT: return ports::CopyResult::SourceMissing;
        case EACCES:
        case EPERM: return ports::CopyResult::SourceDenied;
        case ELOOP: return ports::CopyResult::SourceIsLink;      // O_NOFOLLOW at a link
        case ENXIO: return ports::CopyResult::SourceNotRegular;  // a socket
        default: return ports::CopyResult::Failed;
    }
}

// The folder that holds an entry, opened the way ReachablePath describes, and
// the entry's own name in it.
struct ReachedFolder {
    UniqueFd folder;
    std::string name;
    ports::Presence failure = ports::Presence::Present;  // why `folder` is not open
    int error = 0;  // the errno of the open that failed; 0 when the way itself is refused
};

ReachedFolder OpenFolderOf(const ports::ReachablePath& path) {
    ReachedFolder reached;
    const auto fail = [&](ports::Presence why, int error = 0) {
        reached.folder.Reset();
        reached.failure = why;
        reached.error = error;
        return std::move(reached);
    };
    const auto failedOpen = [&] {
        const int error = errno;
        return fail(error == ENOENT ? ports::Presence::Missing : ports::Presence::Unreachable, error);
    };
    const std::string start = path.startFolder.empty() ? "/" : path.startFolder;
    reached.folder = UniqueFd(::open(start.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!reached.folder) return failedOpen();
    if (path.startIdentity) {
        struct stat st {};
        // Another folder under the start folder's name now: not the one that was scanned.
        if (::fstat(reached.folder.get(), &st) != 0 || IdentityOf(st) != *path.startIdentity)
            return fail(ports::Presence::Unreachable);
    }
    std::string_view rest = path.below;
    for (;;) {
        const std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos) break;
        const std::string part(rest.substr(0, slash));
        rest.remove_prefix(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") return fail(ports::Presence::Unreachable);  // never above the start folder
        UniqueFd next(::openat(reached.folder.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) return failedOpen();
        reached.folder = std::move(next);
    }
    reached.name = std::string(rest);
    if (reached.name.empty() || reached.name == "." || reached.name == "..") return fail(ports::Presence::Unreachable);
    return reached;
}

class FlockFolderLock final : public ports::FolderLock {
public:
    explicit FlockFolderLock(UniqueFd folder) : folder_(std::move(folder)) {}

private:
    UniqueFd folder_;  // closing it releases the lock
};

}  // namespace

std::optional<ports::EntryKind> PosixFileOperations::KindOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        // Only a name that is not there counts as missing; an unreadable
        // entry might still be there.
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        return ports::EntryKind::Unknown;
    }
    return KindOfMode(st.st_mode);
}

std::optional<std::uint64_t> PosixFileOperations::SizeOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

ports::CopyResult PosixFileOperations::CopyFile(const ports::ReachablePath& source, const ports::ReachablePath& target,
                                                bool replace,
                                                const std::optional<ports::EntryIdentity>& expectedSource) {
    using ports::CopyResult;
    // O_NOFOLLOW and O_NONBLOCK with the type check: never a link, never a FIFO or device.
    const ReachedFolder reached = OpenFolderOf(source);
    if (!reached.folder) {
        // A folder on the way that became a link or another folder: not the way the scan went.
        if (reached.error == 0 || reached.error == ELOOP || reached.error == ENOTDIR) return CopyResult::SourceChanged;
        return SourceProblemOf(reached.error);
    }
    const UniqueFd from(::openat(reached.folder.get(), reached.name.c_str(),
                                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!from) return SourceProblemOf(errno);
    struct stat st {};
    if (::fstat(from.get(), &st) != 0) return CopyResult::Failed;
    if (S_ISDIR(st.st_mode)) return CopyResult::SourceIsFolder;
    if (!S_ISREG(st.st_mode)) return CopyResult::SourceNotRegular;
    if (expectedSource && IdentityOf(st) != *expectedSource) return CopyResult::SourceChanged;

    // The temporary file and the rename stay inside the one folder that was opened.
    const ReachedFolder into = OpenFolderOf(target);
    if (!into.folder) return CopyResult::Failed;
    std::string temp;
    int error = 0;
    UniqueFd to = copy_.Create(into.folder.get(), kCopyPrefix, temp, error);
    // Every temporary name already taken is no taken target: that is said only of the rename.
    if (!to) return error == EEXIST ? CopyResult::Failed : CopyResultOf(error);
    if (onStep_) onStep_(ReplaceStep::TempCreated);
    const bool placed = PlaceTemporaryFile(
        {into.folder.get(), into.name, st.st_mode & 0777, replace, &error}, std::move(to), temp,
        [&](int fd) { return CopyBytes(from.get(), fd, error); }, onStep_);
    copy_.Forget();
    return placed ? CopyResult::Copied : CopyResultOf(error);
}

ports::CopyResult PosixFileOperations::WriteNewFile(const ports::ReachablePath& target, std::string_view bytes) {
    const ReachedFolder into = OpenFolderOf(target);
    if (!into.folder) return ports::CopyResult::Failed;
    std::string temp;
    int error = 0;
    UniqueFd to = copy_.Create(into.folder.get(), kCopyPrefix, temp, error);
    if (!to) return error == EEXIST ? ports::CopyResult::Failed : CopyResultOf(error);
    if (onStep_) onStep_(ReplaceStep::TempCreated);
    const bool placed = PlaceTemporaryFile(
        {into.folder.get(), into.name, 0600, false, &error}, std::move(to), temp,
        [&](int fd) {
            if (WriteAll(fd, bytes)) return true;
            error = errno;
            return false;
        },
        onStep_);
    copy_.Forget();
    return placed ? ports::CopyResult::Copied : CopyResultOf(error);
}

std::optional<std::string> PosixFileOperations::ReadLink(const ports::ReachablePath& path,
                                                         const ports::EntryIdentity& expected) {
    // The longest target text a link is read with; the kernel holds them to a page.
    constexpr std::size_t kLongestLinkText = 64 * 1024;
    const ReachedFolder reached = OpenFolderOf(path);
    if (!reached.folder) return std::nullopt;
    struct stat st {};
    if (::fstatat(reached.folder.get(), reached.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode) ||
        IdentityOf(st) != expected) {
        return std::nullopt;
    }
    // The size the status gives may be 0 (some file systems): the buffer grows until the text fits.
    std::string text(std::max<std::size_t>(static_cast<std::size_t>(st.st_size) + 1, 256), '\0');
    for (;;) {
        const ssize_t got = ::readlinkat(reached.folder.get(), reached.name.c_str(), text.data(), text.size());
        if (got <= 0) return std::nullopt;
        if (static_cast<std::size_t>(got) < text.size()) {
            text.resize(static_cast<std::size_t>(got));
            return text;
        }
        if (text.size() >= kLongestLinkText) return std::nullopt;
        text.resize(text.size() * 2);
    }
}

ports::CopyResult PosixFileOperations::CreateLink(const ports::ReachablePath& at, std::string_view targetText,
                                                  bool replace) {
    using ports::CopyResult;
    // The system takes a link's text up to its first NUL: such a text would make another link.
    if (targetText.empty() || targetText.find('\0') != std::string_view::npos) return CopyResult::Failed;
    const std::string target(targetText);
    const ReachedFolder into = OpenFolderOf(at);
    if (!into.folder) return CopyResult::Failed;
    const int folder = into.folder.get();
    const auto flushed = [&] {
        // The new name is on disk once its folder is.
        ::fsync(folder);
        return CopyResult::Copied;
    };
    if (!replace) {
        if (::symlinkat(target.c_str(), folder, into.name.c_str()) == 0) return flushed();
        return CopyResultOf(errno);
    }
    // Made under a temporary name and renamed over the old entry, so the name
    // always stands for the old entry or the new link. The temporary name is
    // one a regular file takes first (O_EXCL), then given up for the link.
    std::string temp;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 8) return CopyResult::Failed;
        if (!CreateTemporaryFile(folder, kCopyPrefix, temp) || ::unlinkat(folder, temp.c_str(), 0) != 0)
            return CopyResult::Failed;
        if (::symlinkat(target.c_str(), folder, temp.c_str()) == 0) break;
        // Another program took the name in between: another name.
        if (errno != EEXIST) return CopyResultOf(errno);
    }
    if (::renameat(folder, temp.c_str(), folder, into.name.c_str()) != 0) {
        const int error = errno;
        ::unlinkat(folder, temp.c_str(), 0);
        return CopyResultOf(error);
    }
    return flushed();
}

bool PosixFileOperations::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

ports::EntryLookup PosixFileOperations::Find(const ports::ReachablePath& path) {
    const ReachedFolder reached = OpenFolderOf(path);
    if (!reached.folder) return {reached.failure, {}};
    struct stat st {};
    if (::fstatat(reached.folder.get(), reached.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return {errno == ENOENT ? ports::Presence::Missing : ports::Presence::Unreachable, {}};
    }
    return {ports::Presence::Present, IdentityOf(st), KindOfMode(st.st_mode)};
}

ports::RemoveResult PosixFileOperations::RemoveIfSame(const ports::ReachablePath& path,
                                                      const ports::EntryIdentity& expected) {
    const ReachedFolder reached = OpenFolderOf(path);
    if (!reached.folder) {
        return reached.failure == ports::Presence::Missing ? ports::RemoveResult::Missing
                                                           : ports::RemoveResult::Changed;
    }
    struct stat st {};
    if (::fstatat(reached.folder.get(), reached.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? ports::RemoveResult::Missing : ports::RemoveResult::Failed;
    }
    // Another file has taken the name since it was found.
    if (IdentityOf(st) != expected) return ports::RemoveResult::Changed;
    if (::unlinkat(reached.folder.get(), reached.name.c_str(), 0) == 0) return ports::RemoveResult::Removed;
    return errno == ENOENT ? ports::RemoveResult::Missing : ports::RemoveResult::Failed;
}

std::vector<std::string> PosixFileOperations::ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

bool PosixFileOperations::ResolvesToFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileOperations::SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && IdentityOf(first) == IdentityOf(second);
}

std::unique_ptr<ports::FolderLock> PosixFileOperations::LockFolder(const std::string& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) return nullptr;
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        // A file system without flock (some network file systems): the
        // quarantine still works, only unguarded against a second removal
        // running at the same moment.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) break;
        return nullptr;
    }
    return std::make_unique<FlockFolderLock>(std::move(fd));
}

void PosixFileOperations::RemoveUnfinishedCopies(const std::string& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) return;
    const int listing = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0);
    DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!dir) {
        if (listing >= 0) ::close(listing);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        // Exactly the names copies and records use: an archive of a file that
        // happens to start the same way ends in ".arc" and is never taken for one.
        if (IsCopyTemporaryName(entry->d_name)) stale.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : stale) {
        struct stat st {};
        // Only regular files: nothing else could be a copy this program left.
        if (::fstatat(fd.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(fd.get(), name.c_str(), 0);
    }
}

}  // namespace quellstone::platform
