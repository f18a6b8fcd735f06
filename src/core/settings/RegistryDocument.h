#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::settings {

// The settings file: registry keys and typed values in the ".reg" text
// layout, UTF-8:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\SOFTWARE\Orvanta\Quellstone\Settings]
//   "curLang"="English"
//   "count"=dword:0000000a
//   "blob"=hex:01,ab,00
//   "other"=hex(2):41,00
//
// Keys are full paths including the root's name. A key exists when it has a
// header of its own or lies above one. Names match without regard to letter
// case and keep the spelling first written. Comment lines (";") are kept with
// the key they stand in; blank lines are not.
class RegistryDocument {
public:
    struct Value {
        std::string name;
        std::uint32_t type = 0;
        std::string data;
    };
    enum class DeleteResult { Deleted, NotFound, HasSubkeys };

    // nullopt when the text is not a settings file this program can read
    // back exactly (so it must not be overwritten).
    static std::optional<RegistryDocument> Parse(std::string_view text);
    [[nodiscard]] std::string Serialize() const;

    [[nodiscard]] bool KeyExists(std::string_view path) const;
    [[nodiscard]] const Value* FindValue(std::string_view path, std::string_view name) const;
    void CreateKey(std::string_view path);
    void SetValue(std::string_view path, std::string_view name, std::uint32_t type, std::string data);
    bool DeleteValue(std::string_view path, std::string_view name);
    DeleteResult DeleteKey(std::string_view path);
    [[nodiscard]] std::optional<std::string> SubKeyAt(std::string_view path, std::size_t index) const;

private:
    struct Line {
        bool isValue = false;
        std::string comment;  // when not a value
        Value value;
    };
    struct Key {
        std::string path;
        std::vector<Line> lines;
    };

    [[nodiscard]] std::size_t FindKey(std::string_view path) const;  // keys_.size() when absent
    Key& EnsureKey(std::string_view path);
    [[nodiscard]] bool HasDescendants(std::string_view path) const;

    std::vector<std::string> preamble_;  // comments before the first key
    std::vector<Key> keys_;
};

}  // namespace quellstone::settings
