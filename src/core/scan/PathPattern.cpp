#include "core/scan/PathPattern.h"

#include <algorithm>
#include <cstddef>

namespace quellstone::scan {

namespace {

// The names of a path one at a time; empty names and "." stand for no folder and are skipped.
class Names {
public:
    explicit Names(std::string_view path) : path_(path) {}

    // The next name, or false at the end.
    bool Next(std::string_view& name) {
        do {
            while (pos_ < path_.size() && path_[pos_] == '/') ++pos_;
            if (pos_ >= path_.size()) return false;
            const std::size_t end = std::min(path_.find('/', pos_), path_.size());
            name = path_.substr(pos_, end - pos_);
            pos_ = end;
        } while (name == ".");
        return true;
    }
    [[nodiscard]] std::size_t Position() const { return pos_; }
    void Rewind(std::size_t position) { pos_ = position; }

private:
    std::string_view path_;
    std::size_t pos_ = 0;
};

// The length of the UTF-8 character at the start of `text`: a byte that
// does not begin a whole, valid sequence is one character of its own.
std::size_t CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
    }
    if (length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0U) != 0x80U) return 1;
    }
    return length;
}

// One name against one name of a pattern. A `*` first takes nothing and
// grows by a character each time what follows it fails; only the latest
// `*` needs to grow, since an earlier one could only move what the later
// one matches already.
bool MatchesName(std::string_view pattern, std::string_view name) {
    // What stands before the first wildcard and after the last `*` must
    // begin and end the name as it is: most names fail here, in a compare or two.
    const std::size_t firstWildcard = pattern.find_first_of("*?");
    if (!name.starts_with(pattern.substr(0, firstWildcard))) return false;
    if (firstWildcard == std::string_view::npos) return name.size() == pattern.size();
    if (const std::size_t lastStar = pattern.rfind('*'); lastStar != std::string_view::npos) {
        const std::string_view tail = pattern.substr(lastStar + 1);
        if (tail.find('?') == std::string_view::npos && !name.ends_with(tail)) return false;
    }
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::string_view::npos;  // in the pattern, just past the latest `*`
    std::size_t resumeAt = 0;                     // in the name, where that `*` ends now
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = ++p;
            resumeAt = n;
            continue;
        }
        // Most names are ASCII: a byte below 0x80 is a character of its own.
        const std::size_t length = static_cast<unsigned char>(name[n]) < 0x80 ? 1 : CharacterLength(name.substr(n));
        if (p < pattern.size()) {
            const std::size_t taken = pattern[p] == '?' ? 1 : length;
            const bool same = length == 1 ? pattern[p] == name[n] : pattern.substr(p, length) == name.substr(n, length);
            if (pattern[p] == '?' || same) {
                p += taken;
                n += length;
                continue;
            }
        }
        if (starAt == std::string_view::npos) return false;
        p = starAt;
        resumeAt += static_cast<unsigned char>(name[resumeAt]) < 0x80 ? 1 : CharacterLength(name.substr(resumeAt));
        n = resumeAt;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool MatchesNamePattern(std::string_view pattern, std::string_view name) {
    return MatchesName(pattern, name);
}

std::string_view LastNameOfPath(std::string_view path) {
    for (;;) {
        while (!path.empty() && path.back() == '/') path.remove_suffix(1);
        const std::size_t slash = path.rfind('/');
        const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
        if (name != "." || slash == std::string_view::npos) return name;
        path = path.substr(0, slash);  // "." names no folder: the name before it is the last
    }
}

// The names of the path against those of the pattern, with `**` taking the
// part of `*` one level up: the same search, over names instead of characters.
bool MatchesPathPattern(std::string_view pattern, std::string_view path) {
    Names patternNames(pattern);
    Names pathNames(path);
    std::size_t starAt = std::string_view::npos;  // in the pattern, just past the latest `**`
    std::size_t resumeAt = 0;                     // in the path, where that `**` ends now
    std::string_view wanted;
    std::string_view name;
    for (;;) {
        const bool morePattern = patternNames.Next(wanted);
        if (morePattern && wanted == "**") {
            starAt = patternNames.Position();
            resumeAt = pathNames.Position();
            continue;
        }
        const bool morePath = pathNames.Next(name);
        if (!morePath && !morePattern) return true;
        if (morePath && morePattern && MatchesName(wanted, name)) continue;
        // A mismatch, or one side ended first: the latest `**` takes one more folder.
        if (starAt == std::string_view::npos) return false;
        pathNames.Rewind(resumeAt);
        if (!pathNames.Next(name)) return false;
        resumeAt = pathNames.Position();
        patternNames.Rewind(starAt);
    }
}

}  // namespace quellstone::scan
