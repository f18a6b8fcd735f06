#include "platform/PosixDirectoryTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/FileStatus.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

struct PosixDirectoryTree::Buffers {
    std::vector<char> entries = std::vector<char>(64 * 1024);
    std::string name;  // NUL-terminated copy of an entry name for the system calls

    const char* Terminated(std::string_view entryName) {
        name.assign(entryName);
        return name.c_str();
    }
};

namespace {

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
    PosixDirectory(UniqueFd fd, const struct stat& st, std::shared_ptr<PosixDirectoryTree::Buffers> buffers)
        : fd_(std::move(fd)), identity_(IdentityOf(st)), openedStamp_(StampOf(st)), buffers_(std::move(buffers)) {}

    static std::unique_ptr<ports::Directory> Adopt(UniqueFd fd, std::shared_ptr<PosixDirectoryTree::Buffers> buffers) {
        struct stat st {};
        if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
        return std::make_unique<PosixDirectory>(std::move(fd), st, std::move(buffers));
    }

    bool List(ports::DirectoryListing& out) override {
        // A fresh descriptor reads from the start; only a second listing must rewind.
        if (listed_ && ::lseek(fd_.get(), 0, SEEK_SET) != 0) return false;
        listed_ = true;
        std::vector<char>& buffer = buffers_->entries;
        for (;;) {
            const ssize_t read = ::getdents64(fd_.get(), buffer.data(), buffer.size());
            if (read == 0) return true;
            if (read < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            for (ssize_t offset = 0; offset < read;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(buffer.data() + offset);
                offset += entry->d_reclen;
                out.Add(entry->d_name, KindOfListed(entry->d_type));
            }
        }
    }

    std::optional<ports::EntryStatus> Status(std::string_view name) override {
        struct stat st {};
        if (::fstatat(fd_.get(), buffers_->Terminated(name), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
        return ports::EntryStatus{KindOfMode(st.st_mode), static_cast<std::uint64_t>(st.st_dev),
                                  static_cast<std::uint32_t>(st.st_mode & 07777),
                                  static_cast<std::uint64_t>(st.st_ino)};
    }

    std::unique_ptr<ports::Directory> OpenSubfolder(std::string_view name) override {
        UniqueFd fd(::openat(fd_.get(), buffers_->Terminated(name), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        return Adopt(std::move(fd), buffers_);
    }

    std::unique_ptr<ports::Directory> OpenParent() override {
        UniqueFd fd(::openat(fd_.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return Adopt(std::move(fd), buffers_);
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
    std::shared_ptr<PosixDirectoryTree::Buffers> buffers_;
};

}  // namespace

PosixDirectoryTree::PosixDirectoryTree() : buffers_(std::make_shared<Buffers>()) {}

std::unique_ptr<ports::Directory> PosixDirectoryTree::OpenFolder(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return PosixDirectory::Adopt(std::move(fd), buffers_);
}

std::optional<std::string> PosixDirectoryTree::CanonicalPath(const std::string& path) {
    // realpath allocates the result itself when given no buffer.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.empty() ? "/" : path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

bool PosixDirectoryTree::Missing(const std::string& path) {
    struct stat st {};
    return ::lstat(path.empty() ? "/" : path.c_str(), &st) != 0 && errno == ENOENT;
}

}  // namespace quellstone::platform
