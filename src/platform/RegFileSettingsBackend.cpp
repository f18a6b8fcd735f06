#include "platform/RegFileSettingsBackend.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "platform/UniqueFd.h"

namespace quellstone::platform {

namespace {

using Result = ports::SettingsBackend::Result;

std::string FullKey(std::string_view root, std::string_view keyPath) {
    std::string key(root);
    if (!keyPath.empty()) {
        key += '\\';
        key += keyPath;
    }
    return key;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string(slash == 0 ? "/" : ".") : path.substr(0, slash);
}

std::string BadFileName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".bad-" + stamp;
}

}  // namespace

RegFileSettingsBackend::RegFileSettingsBackend(ports::FileStore& files, std::string path)
    : files_(files), path_(std::move(path)) {}

settings::RegistryDocument RegFileSettingsBackend::Load() {
    const ports::FileContent content = files_.ReadFile(path_);
    if (content.status != ports::ReadStatus::Ok) return {};
    auto doc = settings::RegistryDocument::Parse(content.bytes);
    return doc ? std::move(*doc) : settings::RegistryDocument{};
}

Result RegFileSettingsBackend::Change(const std::function<Result(settings::RegistryDocument&)>& change) {
    if (!files_.CreateFolders(FolderOf(path_))) return Result::Failed;
    const UniqueFd lock(::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock) return Result::Failed;
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return Result::Failed;
    }

    const ports::FileContent content = files_.ReadFile(path_);
    if (content.status == ports::ReadStatus::Failed) return Result::Failed;  // never replace what could not be read
    settings::RegistryDocument doc;
    if (content.status == ports::ReadStatus::Ok) {
        auto parsed = settings::RegistryDocument::Parse(content.bytes);
        if (parsed) {
            doc = std::move(*parsed);
        } else if (::rename(path_.c_str(), BadFileName(path_).c_str()) != 0) {
            return Result::Failed;  // the unreadable file could not be set aside: leave it untouched
        }
    }
    const Result result = change(doc);
    if (result != Result::Ok) return result;
    return files_.ReplaceFile(path_, doc.Serialize()) ? Result::Ok : Result::Failed;
    // The lock is released when `lock` closes.
}

std::optional<ports::SettingsBackend::Value> RegFileSettingsBackend::Query(std::string_view root,
                                                                           std::string_view keyPath,
                                                                           std::string_view valueName) {
    const settings::RegistryDocument doc = Load();
    const auto* value = doc.FindValue(FullKey(root, keyPath), valueName);
    if (!value) return std::nullopt;
    return Value{value->type, value->data};
}

Result RegFileSettingsBackend::Set(std::string_view root, std::string_view keyPath, std::string_view valueName,
                                   const Value& value) {
    return Change([&](settings::RegistryDocument& doc) {
        doc.SetValue(FullKey(root, keyPath), valueName, value.type, value.data);
        return Result::Ok;
    });
}

Result RegFileSettingsBackend::CreateKey(std::string_view root, std::string_view keyPath) {
    if (Load().KeyExists(FullKey(root, keyPath))) return Result::Ok;
    return Change([&](settings::RegistryDocument& doc) {
        doc.CreateKey(FullKey(root, keyPath));
        return Result::Ok;
    });
}

Result RegFileSettingsBackend::DeleteValue(std::string_view root, std::string_view keyPath,
                                           std::string_view valueName) {
    return Change([&](settings::RegistryDocument& doc) {
        return doc.DeleteValue(FullKey(root, keyPath), valueName) ? Result::Ok : Result::NotFound;
    });
}

Result RegFileSettingsBackend::DeleteKey(std::string_view root, std::string_view keyPath) {
    return Change([&](settings::RegistryDocument& doc) {
        switch (doc.DeleteKey(FullKey(root, keyPath))) {
            case settings::RegistryDocument::DeleteResult::Deleted: return Result::Ok;
            case settings::RegistryDocument::DeleteResult::HasSubkeys: return Result::HasSubkeys;
            case settings::RegistryDocument::DeleteResult::NotFound: break;
        }
        return Result::NotFound;
    });
}

std::optional<std::string> RegFileSettingsBackend::SubKeyAt(std::string_view root, std::string_view keyPath,
                                                            std::size_t index) {
    return Load().SubKeyAt(FullKey(root, keyPath), index);
}

}  // namespace quellstone::platform
