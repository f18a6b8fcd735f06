#include "core/settings/ProgramPaths.h"

namespace quellstone::settings {

std::string ProgramPaths::LanguageFileRelative(std::string_view name) const {
    std::string path = "languages/";
    path += name;
    path += '/';
    path += name;
    path += ".txt";
    return path;
}

std::string ProgramPaths::WinDir(bool addSlash) const {
    std::string folder = windowsFolder;
    if (addSlash && !folder.ends_with('/')) folder += '/';
    if (!addSlash && folder.ends_with('/')) folder.pop_back();
    return folder;
}

bool CreateQuarantineFolder(ports::FileStore& files, const ProgramPaths& paths) {
    return files.CreateFolders(paths.QuarantineFolder());
}

}  // namespace quellstone::settings
