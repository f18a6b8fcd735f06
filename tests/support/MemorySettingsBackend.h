#pragma once

#include <string>

#include "core/ports/SettingsBackend.h"
#include "core/settings/RegistryDocument.h"

namespace quellstone::testing {

// The settings store in memory, with the same key semantics as the file.
class MemorySettingsBackend final : public ports::SettingsBackend {
public:
    settings::RegistryDocument doc;
    bool failWrites = false;
    bool readable = true;
    bool Readable() override { return readable; }

    std::optional<Value> Query(std::string_view root, std::string_view keyPath, std::string_view name) override {
        const auto* value = doc.FindValue(Full(root, keyPath), name);
        if (!value) return std::nullopt;
        return Value{value->type, value->data};
    }
    Result Set(std::string_view root, std::string_view keyPath, std::string_view name, const Value& value) override {
        if (failWrites) return Result::Failed;
        doc.SetValue(Full(root, keyPath), name, value.type, value.data);
        return Result::Ok;
    }
    Result Update(std::string_view root, std::string_view keyPath, std::string_view name,
                  const UpdateFunction& change) override {
        const std::optional<Value> stored = Query(root, keyPath, name);
        std::optional<Value> updated = change(stored);
        if (!updated) return Result::Ok;
        return Set(root, keyPath, name, *updated);
    }
    Result CreateKey(std::string_view root, std::string_view keyPath) override {
        doc.CreateKey(Full(root, keyPath));
        return Result::Ok;
    }
    Result DeleteValue(std::string_view root, std::string_view keyPath, std::string_view name) override {
        return doc.DeleteValue(Full(root, keyPath), name) ? Result::Ok : Result::NotFound;
    }
    Result DeleteKey(std::string_view root, std::string_view keyPath) override {
        switch (doc.DeleteKey(Full(root, keyPath))) {
            case settings::RegistryDocument::DeleteResult::Deleted: return Result::Ok;
            case settings::RegistryDocument::DeleteResult::HasSubkeys: return Result::HasSubkeys;
            default: return Result::NotFound;
        }
    }
    std::optional<std::string> SubKeyAt(std::string_view root, std::string_view keyPath, std::size_t index) override {
        return doc.SubKeyAt(Full(root, keyPath), index);
    }

private:
    static std::string Full(std::string_view root, std::string_view keyPath) {
        return std::string(root) + (keyPath.empty() ? "" : "\\" + std::string(keyPath));
    }
};

}  // namespace quellstone::testing
