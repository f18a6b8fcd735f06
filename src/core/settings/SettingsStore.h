#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/ports/SettingsBackend.h"
#include "core/settings/SettingKeys.h"

namespace quellstone::settings {

// A value as the program's windows exchange it with the store: no value at
// all, a text, or a 32-bit integer.
using SettingValue = std::variant<std::monostate, std::string, std::int32_t>;

// The value shown as text: an integer in decimal, no value as "".
std::string ToText(const SettingValue& value);

// Registry value types.
inline constexpr std::uint32_t kTypeString = 1;
inline constexpr std::uint32_t kTypeExpandString = 2;
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeNumber = 4;
inline constexpr std::uint32_t kTypeNumberBigEndian = 5;

// Root keys, by handle value.
inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000;
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kHkeyUsers = 0x80000003;
inline constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005;

// The fixed location of everything the program stores:
// HKEY_CURRENT_USER\SOFTWARE\Orvanta\Quellstone\<section>.
inline constexpr std::string_view kAppName = "Quellstone";
inline constexpr std::string_view kBasePath = "SOFTWARE\\Orvanta";

// base\app\section with empty parts left out, doubled "\" collapsed, then
// every "/" turned into "\".
std::string BuildKeyPath(std::string_view basePath, std::string_view appName, std::string_view section);

// Handle of a root name (upper-cased before comparing); 0 when unknown.
std::uint32_t RootKeyFromName(std::string_view name);
// Name of a root handle; "" when unknown.
std::string RootKeyName(std::uint32_t handle);

// The value of `valueName` in `keyPath`: text for types 1 and 2 (without the
// terminating NUL), hexadecimal byte pairs for type 3, an integer for types 4
// and 5, "" for anything else or when it is missing; no value when a text
// cannot be read.
SettingValue QueryValue(ports::SettingsBackend& backend, std::string_view root, std::string_view keyPath,
                        std::string_view valueName);

// Stores `value` with `valueType` (1 and 2 as text, 4 and 5 as a 32-bit
// integer); other types, and a text that is not a number for types 4 and 5,
// store nothing. Returns whether the backend stored it.
bool SetValue(ports::SettingsBackend& backend, std::string_view root, std::string_view keyPath,
              std::string_view valueName, std::uint32_t valueType, const SettingValue& value);

// The settings and statistics store: every operation addresses one value by
// root, base path, application name, section and value name, and keeps no
// state between calls.
class SettingsStore {
public:
    explicit SettingsStore(ports::SettingsBackend& backend) : backend_(&backend) {}

    // The stored value, or `defaultText` when the key or value is missing, the
    // value is blank, or anything fails.
    SettingValue ReadSetting(std::string_view appName, std::string_view section, std::string_view valueName,
                             std::string_view defaultText, std::uint32_t root = kHkeyCurrentUser,
                             std::string_view basePath = kBasePath);

    // Creates the key path when needed and stores the value; failures are not
    // reported (the result is there for front ends that must tell the user).
    bool WriteSetting(std::string_view appName, std::string_view section, std::string_view valueName,
                      const SettingValue& value, std::uint32_t root = kHkeyCurrentUser,
                      std::string_view basePath = kBasePath, std::uint32_t valueType = kTypeString);

    // Deletes one value (creating its key when missing), or with an empty
    // `valueName` the key with all its subkeys. True when the last deletion
    // succeeded.
    bool DeleteSetting(std::string_view appName, std::string_view section, std::string_view valueName,
                       std::uint32_t root = kHkeyCurrentUser, std::string_view basePath = kBasePath);

    // The names of the direct subkeys of a key, in the backend's order.
    std::vector<std::string> ListSubKeys(std::string_view rootName, std::string_view keyPath);

    // Raises the decimal count stored as the program's `valueName` in `section`
    // by one, read and written as one step, so counts raised by several
    // processes at once all add up; returns the new count. A missing, blank or
    // unreadable count counts as 0 (see CountFromText).
    std::int64_t RaiseCount(std::string_view section, std::string_view valueName);

    // Whether the stored values can be read at all (see SettingsBackend::Readable).
    [[nodiscard]] bool Readable() { return backend_->Readable(); }

    // The program's own values: the product key, type 1, read as text.
    std::string Read(std::string_view section, std::string_view valueName, std::string_view defaultText);
    bool Write(std::string_view section, std::string_view valueName, std::string_view text);
    // The same for a value of the key table (see SettingKeys.h).
    std::string Read(const SettingKey& key) { return Read(key.section, key.name, key.fallback); }
    bool Write(const SettingKey& key, std::string_view text) { return Write(key.section, key.name, text); }
    std::int64_t RaiseCount(const SettingKey& key) { return RaiseCount(key.section, key.name); }

private:
    ports::SettingsBackend* backend_;
};

}  // namespace quellstone::settings
