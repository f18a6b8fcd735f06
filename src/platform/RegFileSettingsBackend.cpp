#include "platform/RegFileSettingsBackend.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
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

// Renames an unreadable file to "<file>.bad-<time>" (with a number when that
// name is taken), never over an earlier one.
bool SetAside(const std::string& path) {
    const std::string base = BadFileName(path);
    for (int number = 1; number < 1000; ++number) {
        const std::string target = number == 1 ? base : base + "-" + std::to_string(number);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
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
        } else if (!SetAside(path_)) {
            return Result::Failed;  // the unreadable file could not be set aside: leave it untouched
        }
    }
    const Result result = change(doc);
    if (result != Result::Ok) return result;
    // A name with a line break, "]" and "[" or bytes that are not UTF-8 would
    // make the file unreadable or read back as something else: such a change
    // is refused, the file kept as it is.
    const std::string text = doc.Serialize();
    const auto reread = settings::RegistryDocument::Parse(text);
    if (!reread || reread->Serialize() != text) return Result::Failed;
    return files_.ReplaceFile(path_, text) ? Result::Ok : Result::Failed;
    // The lock is released when `lock` closes.
}

bool RegFileSettingsBackend::Readable() {
    const ports::FileContent content = files_.ReadFile(path_);
    if (content.status == ports::ReadStatus::Missing) return true;
    return content.status == ports::ReadStatus::Ok && settings::RegistryDocument::Parse(content.bytes).has_value();
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
