#pragma once

#include <functional>
#include <string>

#include "core/ports/FileStore.h"
#include "core/ports/SettingsBackend.h"
#include "core/settings/RegistryDocument.h"

namespace quellstone::platform {

// The settings store as one ".reg" text file. Every operation reads the file
// afresh. A change takes an exclusive lock on a sidecar file
// ("<file>.lock"), reads the current content, changes it and replaces the file
// atomically (temporary file, flush, rename), so a crash leaves either the old
// or the new file and two processes never lose each other's changes. Lines
// that cannot be read are skipped (see RegistryDocument::Parse) and never
// silently dropped: before the first change such a file is copied to
// "<file>.bad-<time>", and the new file carries every value that was read.
class RegFileSettingsBackend final : public ports::SettingsBackend {
public:
    RegFileSettingsBackend(ports::FileStore& files, std::string path);

    std::optional<Value> Query(std::string_view root, std::string_view keyPath, std::string_view valueName) override;
    Result Set(std::string_view root, std::string_view keyPath, std::string_view valueName,
               const Value& value) override;
    Result Update(std::string_view root, std::string_view keyPath, std::string_view valueName,
                  const UpdateFunction& change) override;
    Result CreateKey(std::string_view root, std::string_view keyPath) override;
    Result DeleteValue(std::string_view root, std::string_view keyPath, std::string_view valueName) override;
    Result DeleteKey(std::string_view root, std::string_view keyPath) override;
    std::optional<std::string> SubKeyAt(std::string_view root, std::string_view keyPath, std::size_t index) override;
    bool Readable() override;

    [[nodiscard]] const std::string& Path() const { return path_; }

private:
    // The file as it is now; an empty store when it is missing or cannot be read.
    settings::RegistryDocument Load();
    // Runs `change` on the current content under the lock and writes the result
    // when `change` reports that something changed.
    Result Change(const std::function<Result(settings::RegistryDocument&)>& change);

    ports::FileStore& files_;
    std::string path_;
};

}  // namespace quellstone::platform
