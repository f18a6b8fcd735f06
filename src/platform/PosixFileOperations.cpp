#include "platform/PosixFileOperations.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/PosixFileStore.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool CopyBytes(int from, int to) {
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return false;  // a full disk or a file-size limit ends up here
            }
            done += put;
        }
    }
}

// Opens the folder that holds `path` one component at a time without
// following a link, and gives the entry's own name: a folder on the way that
// was swapped for a link cannot lead the operation elsewhere.
UniqueFd OpenParentWithoutLinks(const std::string& path, std::string& name) {
    const std::size_t slash = path.rfind('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    UniqueFd current(::open(path.starts_with('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::size_t from = 0;
    while (current && from <= folder.size()) {
        const std::size_t end = folder.find('/', from);
        const std::string part = folder.substr(from, end == std::string::npos ? std::string::npos : end - from);
        from = end == std::string::npos ? folder.size() + 1 : end + 1;
        if (part.empty() || part == ".") continue;
        current = UniqueFd(::openat(current.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    if (name.empty() || name == "." || name == "..") return UniqueFd();
    return current;
}

}  // namespace

ports::EntryType PosixFileOperations::TypeOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        // Only a name that is not there counts as missing; an unreadable
        // entry might still be there.
        return (errno == ENOENT || errno == ENOTDIR) ? ports::EntryType::Missing : ports::EntryType::Other;
    }
    if (S_ISREG(st.st_mode)) return ports::EntryType::RegularFile;
    if (S_ISLNK(st.st_mode)) return ports::EntryType::SymbolicLink;
    if (S_ISDIR(st.st_mode)) return ports::EntryType::Folder;
    return ports::EntryType::Other;
}

std::optional<std::uint64_t> PosixFileOperations::SizeOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool PosixFileOperations::CopyFile(const std::string& source, const std::string& target, bool replace) {
    // O_NOFOLLOW and O_NONBLOCK with the type check: never a link, never a FIFO or device.
    std::string name;
    const UniqueFd parent = OpenParentWithoutLinks(source, name);
    if (!parent) return false;
    const UniqueFd from(
        ::openat(parent.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!from || ::fstat(from.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;

    std::string temp = FolderOf(target) + "/.quellstone-copy-XXXXXX";
    UniqueFd to(::mkostemp(temp.data(), O_CLOEXEC));
    if (!to) return false;
    const bool copied =
        ::fchmod(to.get(), st.st_mode & 0777) == 0 && CopyBytes(from.get(), to.get()) && ::fsync(to.get()) == 0;
    to.Reset();
    bool placed = false;
    if (copied) {
        placed = replace ? ::rename(temp.c_str(), target.c_str()) == 0
                         : ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0;
    }
    if (!placed) {
        ::unlink(temp.c_str());
        return false;
    }
    const UniqueFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
    return true;
}

bool PosixFileOperations::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::optional<ports::EntryIdentity> PosixFileOperations::IdentityOf(const std::string& path) {
    std::string name;
    const UniqueFd parent = OpenParentWithoutLinks(path, name);
    struct stat st {};
    if (!parent || ::fstatat(parent.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return ports::EntryIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool PosixFileOperations::RemoveIfSame(const std::string& path, const ports::EntryIdentity& expected) {
    std::string name;
    const UniqueFd parent = OpenParentWithoutLinks(path, name);
    struct stat st {};
    if (!parent || ::fstatat(parent.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (ports::EntryIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)} !=
        expected) {
        return false;  // another file has taken the name since it was found
    }
    return ::unlinkat(parent.get(), name.c_str(), 0) == 0;
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

bool PosixFileOperations::CreateFolders(const std::string& path) {
    return PosixFileStore().CreateFolders(path);
}

bool PosixFileOperations::ResolvesToFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileOperations::SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace quellstone::platform
