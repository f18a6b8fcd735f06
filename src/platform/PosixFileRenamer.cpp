#include "platform/PosixFileRenamer.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string_view>

#include "core/text/PathText.h"
#include "platform/AtomicWrite.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

namespace {

struct ClosesFolderList {
    void operator()(DIR* entries) const { ::closedir(entries); }
};

}  // namespace

bool PosixFileRenamer::RenameOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // The move is done; the flush only makes it durable, as after a replacement.
    const UniqueFd folder(::open(text::FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
    return true;
}

void PosixFileRenamer::RemoveTemporariesOf(const std::string& path) {
    const std::string prefix = std::string(text::FileNameOf(path)) + ".tmp-";
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

}  // namespace quellstone::platform
