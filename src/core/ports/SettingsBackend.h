#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quellstone::ports {

// A per-user keyed store with the semantics of a registry hive: keys form a
// tree addressed by "\"-separated paths under a named root; a key holds typed
// values; key and value names match without regard to letter case; keys are
// created on demand. Every call is one complete operation.
class SettingsBackend {
public:
    enum class Result { Ok, NotFound, HasSubkeys, Failed };

    struct Value {
        std::uint32_t type = 0;
        std::string data;  // the raw bytes, as the registry would hold them
    };

    // What Update stores for the value it was given (nullopt when missing);
    // nullopt leaves the value as it is.
    using UpdateFunction = std::function<std::optional<Value>(const std::optional<Value>&)>;

    virtual ~SettingsBackend() = default;

    virtual std::optional<Value> Query(std::string_view root, std::string_view keyPath, std::string_view valueName) = 0;
    // Stores the value, creating the key and every missing key above it.
    virtual Result Set(std::string_view root, std::string_view keyPath, std::string_view valueName,
                       const Value& value) = 0;
    // Reads one value and stores what `change` makes of it as one step: no
    // other writer, in this process or another, changes the store in between.
    // `change` runs once. Creates the key like Set.
    virtual Result Update(std::string_view root, std::string_view keyPath, std::string_view valueName,
                          const UpdateFunction& change) = 0;
    virtual Result CreateKey(std::string_view root, std::string_view keyPath) = 0;
    virtual Result DeleteValue(std::string_view root, std::string_view keyPath, std::string_view valueName) = 0;
    // Refuses with HasSubkeys while the key has subkeys.
    virtual Result DeleteKey(std::string_view root, std::string_view keyPath) = 0;
    // The name of the index-th direct subkey, nullopt past the last one.
    virtual std::optional<std::string> SubKeyAt(std::string_view root, std::string_view keyPath, std::size_t index) = 0;
    // False when the store exists but cannot be read, so that reads fall back
    // to defaults that may not be what the user stored.
    virtual bool Readable() { return true; }
};

}  // namespace quellstone::ports
