#include "platform/ExecutableFolder.h"

#include <filesystem>
#include <system_error>

namespace quellstone::platform {

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    // Without /proc (a rescue system without it mounted) the current folder is the best guess.
    if (error) return std::filesystem::current_path(error).string();
    return executable.parent_path().string();
}

}  // namespace quellstone::platform
