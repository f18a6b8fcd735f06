#include "core/settings/ProgramPaths.h"

namespace quellstone::settings {

std::string LanguageDocumentRelative(std::string_view folder, std::string_view file) {
    std::string path = "languages/";
    path += folder;
    path += '/';
    path += file;
    return path;
}

std::string ProgramPaths::SystemFolder() const {
    std::string folder = systemFolder;
    if (folder.size() > 1 && folder.ends_with('/')) folder.pop_back();
    return folder;
}

bool CreateQuarantineFolder(ports::FileStore& files, const ProgramPaths& paths) {
    return files.CreateFolders(paths.QuarantineFolder());
}

}  // namespace quellstone::settings
