#include "platform/RegFileSettingsBackend.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>

#include "core/text/PathText.h"
#include "platform/AtomicWrite.h"
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

std::string BadFileName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".bad-" + stamp;
}

// Writes `bytes`, the file as it was read, to "<file>.bad-<time>" (with a
// number when that name is taken), never over an earlier one, readable by the
// owner only. A copy rather than a rename: the file keeps its name until the
// new content replaces it, so a crash in between leaves the old file in place,
// and a file behind a symbolic link stays there.
bool KeepCopy(const std::string& path, std::string_view bytes) {
    const std::string base = BadFileName(path);
    for (int number = 1; number < 1000; ++number) {
        const std::string target = number == 1 ? base : base + "-" + std::to_string(number);
        const UniqueFd fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0) return true;
        ::unlink(target.c_str());
        return false;
    }
    return false;
}

}  // namespace

RegFileSettingsBackend::RegFileSettingsBackend(ports::FileStore& files, std::string path)
    : files_(files), path_(std::move(path)) {}

settings::RegistryDocument RegFileSettingsBackend::Load() {
    const ports::FileContent content = files_.ReadFile(path_);
    if (content.status != ports::ReadStatus::Ok) return {};
    return settings::RegistryDocument::Parse(content.bytes);
}

Result RegFileSettingsBackend::Change(const std::function<Result(settings::RegistryDocument&)>& change) {
    if (!files_.CreateFolders(text::FolderOf(path_))) return Result::Failed;
    const UniqueFd lock(::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock) return Result::Failed;
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return Result::Failed;
    }

    const ports::FileContent content = files_.ReadFile(path_);
    if (content.status == ports::ReadStatus::Failed) return Result::Failed;  // never replace what could not be read
    settings::RegistryDocument doc;
    if (content.status == ports::ReadStatus::Ok) doc = settings::RegistryDocument::Parse(content.bytes);
    const Result result = change(doc);
    if (result != Result::Ok) return result;
    // A name with a line break, "]" and "[" or bytes that are not UTF-8 would
    // make the file unreadable or read back as something else: such a change
    // is refused, the file kept as it is.
    const std::string text = doc.Serialize();
    const settings::RegistryDocument reread = settings::RegistryDocument::Parse(text);
    if (reread.SkippedLines() > 0 || reread.Serialize() != text) return Result::Failed;
    // The new file leaves out the lines that could not be read: a copy of the
    // original is kept first. (A UTF-16 file loses nothing and is simply
    // rewritten as UTF-8.)
    if (doc.SkippedLines() > 0 && !KeepCopy(path_, content.bytes)) return Result::Failed;
    return files_.ReplaceFile(path_, text) ? Result::Ok : Result::Failed;
    // The lock is released when `lock` closes.
}

bool RegFileSettingsBackend::Readable() {
    // A file with unreadable lines still gives every other value; only a file
    // that cannot be read at all (no permission, a folder, too big) gives none.
    return files_.ReadFile(path_).status != ports::ReadStatus::Failed;
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

Result RegFileSettingsBackend::Update(std::string_view root, std::string_view keyPath, std::string_view valueName,
                                      const UpdateFunction& change) {
    bool unchanged = false;
    const Result result = Change([&](settings::RegistryDocument& doc) {
        const std::string key = FullKey(root, keyPath);
        const auto* stored = doc.FindValue(key, valueName);
        std::optional<Value> updated =
            change(stored ? std::optional<Value>(Value{stored->type, stored->data}) : std::optional<Value>());
        if (!updated) {
            unchanged = true;
            return Result::NotFound;  // nothing to write
        }
        doc.SetValue(key, valueName, updated->type, std::move(updated->data));
        return Result::Ok;
    });
    return unchanged ? Result::Ok : result;
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
