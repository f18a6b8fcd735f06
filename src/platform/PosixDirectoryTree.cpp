#include "platform/PosixDirectoryTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/FileStatus.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

namespace {

// A name as the system calls take it: NUL-terminated, on the stack. A name
// longer than a file system allows cannot name an entry.
class TerminatedName {
public:
    explicit TerminatedName(std::string_view name) : fits_(name.size() <= NAME_MAX) {
        if (!fits_) return;
        std::memcpy(bytes_, name.data(), name.size());
        bytes_[name.size()] = '\0';
    }
    [[nodiscard]] bool Fits() const { return fits_; }
    [[nodiscard]] const char* Get() const { return bytes_; }

private:
    char bytes_[NAME_MAX + 1];
    bool fits_;
};

ports::EntryKind KindOfListed(unsigned char type) {
    switch (type) {
        case DT_DIR: return ports::EntryKind::Folder;
        case DT_REG: return ports::EntryKind::RegularFile;
        case DT_LNK: return ports::EntryKind::SymbolicLink;
        case DT_UNKNOWN: return ports::EntryKind::Unknown;
        default: return ports::EntryKind::Other;
    }
}

std::int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// Times a file system stores may be as coarse as two seconds (FAT), and the
// kernel stamps changes from its coarse clock: a stamp more recent than that
// margin could be repeated by a change made now.
constexpr std::int64_t kStampSettlingNs = 2'000'000'000;

// What one getdents64 call may fill.
constexpr std::size_t kListingBufferBytes = 32 * 1024;

ports::FolderStamp StampOf(const struct stat& st) {
    ports::FolderStamp stamp{Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim), false};
    struct timespec now {};
    // The coarse clock is the one the kernel stamps changes with; read without a system call.
    if (::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0) {
        stamp.settled = std::max(stamp.modifiedNs, stamp.changedNs) < Nanoseconds(now) - kStampSettlingNs;
    }
    return stamp;
}

class PosixDirectory final : public ports::Directory {
public:
    PosixDirectory(UniqueFd fd, const struct stat& st)
        : fd_(std::move(fd)), identity_(IdentityOf(st)), openedStamp_(StampOf(st)) {}

    static std::unique_ptr<ports::Directory> Adopt(UniqueFd fd) {
        struct stat st {};
        if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
        return std::make_unique<PosixDirectory>(std::move(fd), st);
    }

    bool List(ports::DirectoryListing& out) override {
        // A fresh descriptor reads from the start; only a second listing must rewind.
        if (listed_ && ::lseek(fd_.get(), 0, SEEK_SET) != 0) return false;
        listed_ = true;
        // On the stack: folders are listed on several threads at once.
        alignas(struct dirent64) char buffer[kListingBufferBytes];
        for (;;) {
            const ssize_t read = ::getdents64(fd_.get(), buffer, sizeof buffer);
            if (read == 0) return true;
            if (read < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            for (ssize_t offset = 0; offset < read;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + offset);
                offset += entry->d_reclen;
                out.Add(entry->d_name, KindOfListed(entry->d_type));
            }
        }
    }

    std::optional<ports::EntryStatus> Status(std::string_view name) override {
        const TerminatedName terminated(name);
        struct stat st {};
        if (!terminated.Fits() || ::fstatat(fd_.get(), terminated.Get(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        return ports::EntryStatus{KindOfMode(st.st_mode), static_cast<std::uint64_t>(st.st_dev),
                                  static_cast<std::uint32_t>(st.st_mode & 07777),
                                  static_cast<std::uint64_t>(st.st_ino)};
    }

    std::unique_ptr<ports::Directory> OpenSubfolder(std::string_view name) override {
        const TerminatedName terminated(name);
        if (!terminated.Fits()) return nullptr;
        UniqueFd fd(::openat(fd_.get(), terminated.Get(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        return Adopt(std::move(fd));
    }

    std::unique_ptr<ports::Directory> OpenParent() override {
        UniqueFd fd(::openat(fd_.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return Adopt(std::move(fd));
    }

    [[nodiscard]] ports::FolderStamp OpenedStamp() const override { return openedStamp_; }

    std::optional<ports::FolderStamp> CurrentStamp() override {
        struct stat st {};
        if (::fstat(fd_.get(), &st) != 0) return std::nullopt;
        return StampOf(st);
    }

    [[nodiscard]] ports::FolderIdentity Identity() const override { return identity_; }

private:
    UniqueFd fd_;
    ports::FolderIdentity identity_;
    ports::FolderStamp openedStamp_;
    bool listed_ = false;
};

}  // namespace

std::unique_ptr<ports::Directory> PosixDirectoryTree::OpenFolder(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return PosixDirectory::Adopt(std::move(fd));
}

std::optional<std::string> PosixDirectoryTree::CanonicalPath(const std::string& path) {
    // realpath allocates the result itself when given no buffer.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.empty() ? "/" : path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

ports::PathFound PosixDirectoryTree::Look(const std::string& path) {
    using Kind = ports::PathFound::Kind;
    struct stat st {};
    // Followed as named; a link that leads nowhere is still an entry with a name.
    if (::stat(path.c_str(), &st) == 0 || ::lstat(path.c_str(), &st) == 0) {
        return {S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other, {}};
    }
    const int error = errno;
    return {error == ENOENT || error == ENOTDIR ? Kind::Missing : Kind::Unreadable, std::strerror(error)};
}

std::optional<std::string> PosixDirectoryTree::CurrentFolder() {
    std::string current(PATH_MAX + 1, '\0');
    if (::getcwd(current.data(), current.size()) == nullptr) return std::nullopt;
    current.resize(std::strlen(current.c_str()));
    return current;
}

}  // namespace quellstone::platform
