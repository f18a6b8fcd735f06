#pragma once

#include <cstddef>
#include <string_view>

#include "core/text/UpperCase.h"

namespace quellstone::ini {

// Values longer than this many characters are cut, as a read into a buffer of
// 1024 characters would cut them.
inline constexpr std::size_t kMaxIniValueChars = 1023;

// How the profile rules read one line: a "[name]" header opens a section, a
// "key=value" line inside a section is an entry, every other line is ignored.
// Spaces and tabs around names and values are dropped; a value wholly enclosed
// in a pair of double or single quotes loses them.
struct IniLine {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    std::string_view name;   // section name or key
    std::string_view value;  // entries only, not yet cut to kMaxIniValueChars
};

IniLine ParseIniLine(std::string_view line);

// Calls `fn(line)` for each line of `text`; lines end with LF or CR LF.
template <typename Fn>
void ForEachLine(std::string_view text, Fn&& fn) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        fn(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

// Calls `fn(key, value)` for each entry of the first section whose name equals
// `section` without regard to case, in file order, until `fn` returns false.
// Returns whether the section exists.
template <typename Fn>
bool ForEachEntryInSection(std::string_view text, std::string_view section, Fn&& fn) {
    const std::string wanted = text::UpperCase(section);
    std::string upper;
    enum class State { Searching, Inside, Done } state = State::Searching;
    ForEachLine(text, [&](std::string_view raw) {
        if (state == State::Done) return;
        const IniLine line = ParseIniLine(raw);
        if (line.kind == IniLine::Kind::Section) {
            if (state == State::Inside) {
                state = State::Done;
                return;
            }
            text::UpperCaseInto(line.name, upper);
            if (upper == wanted) state = State::Inside;
        } else if (line.kind == IniLine::Kind::Entry && state == State::Inside) {
            if (!fn(line.name, line.value)) state = State::Done;
        }
    });
    return state != State::Searching;
}

}  // namespace quellstone::ini
