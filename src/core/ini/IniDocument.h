#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellstone::ini {

// An INI file held as its lines, for changing it with the profile rules while
// keeping every other line (comments, spacing, unknown lines) as it was.
class IniDocument {
public:
    static IniDocument Parse(std::string_view text);

    // Sets `key` in the first section named `section`: replaces the first
    // matching entry (keeping the key's spelling), or adds the entry after the
    // section's last entry, or adds the section at the end of the file.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes the first matching entry; false when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);

    // Removes the first section with that name, its header and all its lines;
    // false when there was none.
    bool DeleteSection(std::string_view section);

    // Replaces the body of the first section with that name by `lines`, or adds
    // the section at the end of the file.
    void ReplaceSection(std::string_view section, const std::vector<std::string>& lines);

    [[nodiscard]] std::string Serialize() const;

private:
    struct SectionSpan {
        std::size_t header;
        std::size_t end;  // one past the section's last line
    };
    [[nodiscard]] std::optional<SectionSpan> FindSection(std::string_view section) const;
    [[nodiscard]] std::optional<std::size_t> FindKey(const SectionSpan& span, std::string_view key) const;
    void AppendSection(std::string_view section, const std::vector<std::string>& lines);

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\n";
};

// Whether a section name, key and value can be written so that they read back
// as written without changing the file's structure: valid UTF-8, no line
// breaks, no blanks around names, no "]" in a section name, no "=" in a key and
// no key that reads as a section header.
bool IsWritableSectionName(std::string_view section);
bool IsWritableKey(std::string_view key);
bool IsWritableValue(std::string_view value);

}  // namespace quellstone::ini
