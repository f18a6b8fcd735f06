#include "platform/PosixFileRenamer.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "core/text/PathText.h"
#include "platform/UniqueFd.h"

namespace quellstone::platform {

bool PosixFileRenamer::RenameOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // The move is done; the flush only makes it durable, as after a replacement.
    const UniqueFd folder(::open(text::FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
    return true;
}

}  // namespace quellstone::platform
