#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
// the key they stand in; blank lines are not. Keys and the values of each key
// are indexed by their upper-cased names, so finding or setting one takes the
// same time however large the file is.
class RegistryDocument {
public:
    struct Value {
        std::string name;
        std::uint32_t type = 0;
        std::string data;
    };
    enum class DeleteResult { Deleted, NotFound, HasSubkeys };

    // Reads a settings file line by line. A line that cannot be read is
    // skipped and counted; every other key and value is read. Unreadable are:
    // bytes that are not UTF-8, a value line with bad syntax or before any key,
    // a bad key header, and any other text. Every line below a bad key header
    // is skipped up to the next good one, since the key those values belong
    // to is unknown and putting them in the key above would change them. A
    // UTF-16LE file with a byte order mark (a Windows registry export) is
    // decoded to UTF-8 first; Serialize always writes UTF-8.
    static RegistryDocument Parse(std::string_view text);
    // How many lines Parse skipped: when any, what Serialize writes holds less
    // than the text that was read, so that text must be kept elsewhere first.
    [[nodiscard]] std::size_t SkippedLines() const { return skippedLines_; }
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
        std::unordered_map<std::string, std::size_t> values;  // upper-cased name -> index into lines
    };

    [[nodiscard]] std::size_t FindKey(std::string_view path) const;  // keys_.size() when absent
    std::size_t EnsureKey(std::string_view path);                    // the key's index
    [[nodiscard]] bool HasDescendants(std::string_view path) const;
    static void SetValueIn(Key& key, std::string_view name, std::uint32_t type, std::string data);
    static void IndexValues(Key& key);
    void IndexKeys();

    std::vector<std::string> preamble_;  // comments before the first key
    std::vector<Key> keys_;
    std::unordered_map<std::string, std::size_t> keyIndex_;  // upper-cased path -> index into keys_
    std::size_t skippedLines_ = 0;
};

}  // namespace quellstone::settings
