#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ports/FileStore.h"

namespace quellstone::ini {

// Accessor over one INI file: set the file, section and key, then read or
// write the value. Every operation reads the file afresh; nothing is cached.
// Reads never fail towards the caller (an absent file, section or key gives
// Default()); writes report success in LastReturnCode().
class Ini {
public:
    explicit Ini(ports::FileStore& files) : files_(&files) {}

    [[nodiscard]] std::int32_t LastReturnCode() const { return lastReturnCode_; }

    [[nodiscard]] const std::string& Default() const { return default_; }
    void SetDefault(std::string text) { default_ = std::move(text); }
    [[nodiscard]] const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }
    [[nodiscard]] const std::string& Key() const { return key_; }
    void SetKey(std::string key) { key_ = std::move(key); }
    [[nodiscard]] const std::string& Section() const { return section_; }
    void SetSection(std::string section) { section_ = std::move(section); }

    // The value of Key in Section, cut to 1023 characters; Default() (cut
    // alike) when the file, section or key is absent.
    [[nodiscard]] std::string Value() const;

    // Removes every NUL character from `value` (the caller's string too), then
    // writes it as the value of Key in Section, creating the file, section or
    // key as needed.
    void SetValue(std::string& value);

    // Removes the entry of Key from Section.
    void DeleteValue();

    // Removes Section with all its entries.
    void DeleteSection();

    // The names of Section's keys, each followed by a NUL character, cut to fit
    // a buffer of 255 characters; Default() when the section is absent and
    // Default() is not empty.
    [[nodiscard]] std::string IniSection() const;

    // Replaces Section's entries by `entries`: "key=value" texts, each followed
    // by a NUL character.
    void SetIniSection(std::string_view entries);

private:
    template <typename Edit>
    void Rewrite(Edit&& edit);

    ports::FileStore* files_;
    std::string path_;
    std::string key_;
    std::string section_;
    std::string default_;
    std::int32_t lastReturnCode_ = 0;
};

}  // namespace quellstone::ini
