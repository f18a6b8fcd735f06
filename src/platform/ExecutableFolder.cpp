#include "platform/ExecutableFolder.h"

#include <filesystem>
#include <system_error>

namespace quellstone::platform {

std::optional<std::string> ReadLinkTarget(const std::string& link) {
    std::error_code error;
    std::filesystem::path target = std::filesystem::read_symlink(link, error);
    if (error) return std::nullopt;
    return target.string();
}

std::optional<std::string> ExecutableFolder(const LinkReader& read) {
    const std::optional<std::string> executable = read("/proc/self/exe");
    if (!executable || executable->empty() || executable->front() != '/') return std::nullopt;
    return std::filesystem::path(*executable).parent_path().string();
}

}  // namespace quellstone::platform
