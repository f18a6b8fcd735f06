#include "core/settings/SettingsStore.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "core/settings/Statistics.h"
#include "core/text/Trim.h"
#include "core/text/UpperCase.h"

namespace quellstone::settings {

namespace {

struct RootName {
    std::uint32_t handle;
    std::string_view name;
};

constexpr std::array<RootName, 5> kRoots = {{
    {kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
    {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
    {kHkeyUsers, "HKEY_USERS"},
    {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
}};

// Only spaces, or nothing: a stored value that counts as missing.
bool IsBlank(std::string_view text) {
    return text::Trim(text, " ").empty();
}

// Collapses every run of "\\" into one, then turns every "/" into "\" (so a
// "/" beside a "\" still gives a doubled backslash).
std::string NormaliseSeparators(std::string_view path) {
    std::string collapsed;
    for (const char c : path) {
        if (c == '\\' && !collapsed.empty() && collapsed.back() == '\\') continue;
        collapsed += c;
    }
    for (char& c : collapsed) {
        if (c == '/') c = '\\';
    }
    return collapsed;
}

// A number as a 32-bit integer the way a loosely typed value converts: a
// decimal text rounds to the nearest integer, halves to even; anything else,
// or a number out of range, does not convert.
std::optional<std::int32_t> ToNumber(const SettingValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    const auto* text = std::get_if<std::string>(&value);
    if (!text) return std::nullopt;
    const std::size_t first = text->find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::string trimmed = text->substr(first, text->find_last_not_of(' ') - first + 1);
    double parsed = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [stop, error] = std::from_chars(trimmed.data() + (trimmed.front() == '+' ? 1 : 0), end, parsed);
    if (error != std::errc() || stop != end || !std::isfinite(parsed)) return std::nullopt;
    const double rounded = std::nearbyint(parsed);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::string Root(std::uint32_t root) {
    return RootKeyName(root);
}

}  // namespace

std::string ToText(const SettingValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
    return {};
}

std::string BuildKeyPath(std::string_view basePath, std::string_view appName, std::string_view section) {
    std::string path(basePath);
    for (const std::string_view part : {appName, section}) {
        if (part.empty()) continue;
        if (!path.empty()) path += '\\';
        path += part;
    }
    return NormaliseSeparators(path);
}

std::uint32_t RootKeyFromName(std::string_view name) {
    const std::string upper = text::UpperCase(name);
    for (const RootName& root : kRoots) {
        if (root.name == upper) return root.handle;
    }
    return 0;
}

std::string RootKeyName(std::uint32_t handle) {
    for (const RootName& root : kRoots) {
        if (root.handle == handle) return std::string(root.name);
    }
    return {};
}

namespace {

// A stored value as QueryValue gives it.
SettingValue FromStored(const std::optional<ports::SettingsBackend::Value>& value) {
    if (!value) return std::string();
    const std::string& data = value->data;
    switch (value->type) {
        case kTypeString:
        case kTypeExpandString:
            // The stored text ends with its terminating NUL; without one it cannot be read.
            if (data.empty()) return std::monostate{};
            return data.substr(0, data.size() - 1);
        case kTypeBinary: {
            std::string hex;
            char pair[4];
            for (std::size_t i = 0; i < data.size(); ++i) {
                std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(data[i]));
                if (i > 0) hex += ' ';
                hex += pair;
            }
            return hex;
        }
        case kTypeNumber:
        case kTypeNumberBigEndian: {
            // Four bytes in the machine's order (little-endian), not swapped for type 5.
            if (data.size() > 4) return std::string();
            std::uint32_t number = 0;
            for (std::size_t i = data.size(); i-- > 0;) number = (number << 8) | static_cast<unsigned char>(data[i]);
            return static_cast<std::int32_t>(number);
        }
        default: return std::string();
    }
}

}  // namespace

SettingValue QueryValue(ports::SettingsBackend& backend, std::string_view root, std::string_view keyPath,
                        std::string_view valueName) {
    if (root.empty()) return std::string();
    return FromStored(backend.Query(root, keyPath, valueName));
}

bool SetValue(ports::SettingsBackend& backend, std::string_view root, std::string_view keyPath,
              std::string_view valueName, std::uint32_t valueType, const SettingValue& value) {
    ports::SettingsBackend::Value stored{valueType, {}};
    switch (valueType) {
        case kTypeString:
        case kTypeExpandString: stored.data = ToText(value) + '\0'; break;
        case kTypeNumber:
        case kTypeNumberBigEndian: {
            const std::optional<std::int32_t> number = ToNumber(value);
            if (!number) return false;
            const auto bits = static_cast<std::uint32_t>(*number);
            for (int i = 0; i < 4; ++i) stored.data += static_cast<char>((bits >> (8 * i)) & 0xFF);
            break;
        }
        default: return false;
    }
    return backend.Set(root, keyPath, valueName, stored) == ports::SettingsBackend::Result::Ok;
}

SettingValue SettingsStore::ReadSetting(std::string_view appName, std::string_view section, std::string_view valueName,
                                        std::string_view defaultText, std::uint32_t root, std::string_view basePath) {
    const SettingValue value = QueryValue(*backend_, Root(root), BuildKeyPath(basePath, appName, section), valueName);
    if (std::holds_alternative<std::monostate>(value)) return std::string(defaultText);
    if (const auto* text = std::get_if<std::string>(&value); text && IsBlank(*text)) return std::string(defaultText);
    return value;
}

bool SettingsStore::WriteSetting(std::string_view appName, std::string_view section, std::string_view valueName,
                                 const SettingValue& value, std::uint32_t root, std::string_view basePath,
                                 std::uint32_t valueType) {
    const std::string rootName = Root(root);
    if (rootName.empty()) return false;
    return SetValue(*backend_, rootName, BuildKeyPath(basePath, appName, section), valueName, valueType, value);
}

bool SettingsStore::DeleteSetting(std::string_view appName, std::string_view section, std::string_view valueName,
                                  std::uint32_t root, std::string_view basePath) {
    using Result = ports::SettingsBackend::Result;
    const std::string rootName = Root(root);
    if (rootName.empty()) return false;
    const std::string keyPath = BuildKeyPath(basePath, appName, section);
    if (!valueName.empty()) {
        backend_->CreateKey(rootName, keyPath);
        return backend_->DeleteValue(rootName, keyPath, valueName) == Result::Ok;
    }
    Result result = backend_->DeleteKey(rootName, keyPath);
    if (result == Result::HasSubkeys) {
        for (const std::string& name : ListSubKeys(rootName, keyPath)) {
            DeleteSetting(keyPath + "\\" + name, "", "", root, "");
        }
        result = backend_->DeleteKey(rootName, keyPath);
    }
    return result == Result::Ok;
}

std::vector<std::string> SettingsStore::ListSubKeys(std::string_view rootName, std::string_view keyPath) {
    const std::string path = BuildKeyPath(keyPath, "", "");
    const std::string root = RootKeyName(RootKeyFromName(rootName));
    std::vector<std::string> names;
    if (root.empty()) return names;
    for (std::size_t index = 0;; ++index) {
        std::optional<std::string> name = backend_->SubKeyAt(root, path, index);
        if (!name) break;
        names.push_back(std::move(*name));
    }
    return names;
}

std::int64_t SettingsStore::RaiseCount(std::string_view section, std::string_view valueName) {
    const auto countOf = [](const SettingValue& value) {
        const std::string text = ToText(value);
        return CountFromText(IsBlank(text) ? keys::kTotalScans.fallback : std::string_view(text));
    };
    std::optional<std::int64_t> raised;
    backend_->Update(
        Root(kHkeyCurrentUser), BuildKeyPath(kBasePath, kAppName, section), valueName,
        [&](const std::optional<ports::SettingsBackend::Value>& stored) {
            raised = countOf(FromStored(stored)) + 1;
            return std::optional<ports::SettingsBackend::Value>({kTypeString, std::to_string(*raised) + '\0'});
        });
    // When the store could not even be read, the count shown is the one a
    // plain read gives, raised by one.
    if (!raised) raised = countOf(ReadSetting(kAppName, section, valueName, "0")) + 1;
    return *raised;
}

std::string SettingsStore::Read(std::string_view section, std::string_view valueName, std::string_view defaultText) {
    return ToText(ReadSetting(kAppName, section, valueName, defaultText));
}

bool SettingsStore::Write(std::string_view section, std::string_view valueName, std::string_view text) {
    return WriteSetting(kAppName, section, valueName, std::string(text));
}

}  // namespace quellstone::settings
