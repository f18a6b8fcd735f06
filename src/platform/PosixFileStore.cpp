#include "platform/PosixFileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "core/text/PathText.h"
#include "platform/AtomicWrite.h"
#include "platform/FileStatus.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

namespace {

// A program file's temporary files are named after it: its name, this and the random letters.
constexpr std::string_view kTemporaryInfix = ".tmp-";

struct ClosesFolderList {
    void operator()(DIR* entries) const { ::closedir(entries); }
};

// A settings or INI file kept behind a symbolic link (as dotfile managers do)
// is replaced at the link's target, so the link stays.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> resolved(PATH_MAX + 1);
    if (::realpath(path.c_str(), resolved.data()) == nullptr) return path;
    return resolved.data();
}

}  // namespace

ports::FileContent PosixFileStore::ReadFile(const std::string& path, ports::FileRole role) {
    const bool followLink = role == ports::FileRole::ProgramFile;
    const std::size_t limit = followLink ? kMaxFileSize : kMaxRecordSize;
    ports::FileContent result;
    struct stat st {};
    if ((followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? ports::ReadStatus::Missing : ports::ReadStatus::Failed;
        return result;
    }
    result.status = ports::ReadStatus::Failed;
    // Only regular files within the limit are read: a FIFO or a device could
    // block or have side effects. Checked again on what was opened, since the
    // path may name another file by then.
    const auto readable = [limit](const struct stat& s) {
        return S_ISREG(s.st_mode) && static_cast<std::size_t>(s.st_size) <= limit;
    };
    if (!readable(st)) return result;
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLink ? 0 : O_NOFOLLOW);
    UniqueFd fd(::open(path.c_str(), flags));
    if (!fd || ::fstat(fd.get(), &st) != 0 || !readable(st)) return result;

    // One byte more than the file holds, so that the read which finds its end
    // needs no growth: growing would copy the whole file to a new buffer.
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit) return result;  // grew past the limit while read
            bytes.resize(std::min(bytes.size() + 4096, limit + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            return result;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    result.status = ports::ReadStatus::Ok;
    result.bytes = std::move(bytes);
    return result;
}

bool PosixFileStore::ReplaceFile(const std::string& requestedPath, std::string_view content, ports::FileRole role) {
    const bool inPlace = role == ports::FileRole::ProgramFile;
    const std::string path = inPlace ? ResolveLink(requestedPath) : requestedPath;
    const std::string folderPath = text::FolderOf(path);
    UniqueFd folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder that may be written but not read still takes the new file; only its flush fails.
    if (!folder && errno == EACCES) folder = UniqueFd(::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return false;
    const std::string name(text::FileNameOf(path));
    std::string tempName;
    int error = 0;
    // A record's temporary file is named as the quarantine's copies are, so
    // the sweep after a killed removal clears it, and a second Ctrl-C deletes it.
    UniqueFd temp = inPlace ? CreateTemporaryFile(folder.get(), name + std::string(kTemporaryInfix), tempName)
                            : record_.Create(folder.get(), kCopyPrefix, tempName, error);
    if (!temp) return false;
    if (onStep_) onStep_(ReplaceStep::TempCreated);

    // A program file keeps its permissions; a record is a new file.
    struct stat old {};
    const mode_t mode = inPlace && ::fstatat(folder.get(), name.c_str(), &old, 0) == 0 ? (old.st_mode & 07777) : 0644;
    const bool placed = PlaceTemporaryFile(
        {folder.get(), name, mode, true}, std::move(temp), tempName, [&](int fd) { return WriteAll(fd, content); },
        onStep_);
    if (!inPlace) record_.Forget();
    return placed;
}

bool PosixFileStore::RenameOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // The move is done; the flush only makes it durable, as after a replacement.
    const UniqueFd folder(::open(text::FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
    return true;
}

void PosixFileStore::RemoveTemporariesOf(const std::string& path) {
    const std::string prefix = std::string(text::FileNameOf(path)) + std::string(kTemporaryInfix);
    const UniqueFd folder(::open(text::FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return;
    // fdopendir takes over the descriptor it is given, so it gets a copy.
    const int listed = ::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0);
    if (listed < 0) return;
    const std::unique_ptr<DIR, ClosesFolderList> entries(::fdopendir(listed));
    if (!entries) {
        ::close(listed);
        return;
    }
    while (const dirent* entry = ::readdir(entries.get())) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(prefix) || !IsTemporarySuffix(name.substr(prefix.size()))) continue;
        // Only plain files: a folder or link under such a name is not ours.
        struct stat st {};
        if (::fstatat(folder.get(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(folder.get(), entry->d_name, 0);
    }
}

std::optional<ports::FileStamp> PosixFileStore::Stamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return ports::FileStamp{IdentityOf(st), static_cast<std::uint64_t>(st.st_size),
                            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

bool PosixFileStore::CreateFolders(const std::string& path) {
    std::string partial;
    std::size_t from = 0;
    while (from <= path.size()) {
        const std::size_t slash = path.find('/', from);
        partial = path.substr(0, slash);
        from = slash == std::string::npos ? path.size() + 1 : slash + 1;
        if (partial.empty()) continue;
        // An existing folder (or a failure that the final check reports) is not an error here.
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace quellstone::platform
