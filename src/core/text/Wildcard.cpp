#include "core/text/Wildcard.h"

#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::text {

namespace {

// Bytes of the character at `pos`; a byte that is not valid UTF-8 is a character of its own.
std::size_t CharLength(std::string_view s, std::size_t pos) {
    const std::size_t length = DecodeUtf8At(s, pos).length;
    return length == 0 ? 1 : length;
}

// Linear-space matcher that backtracks only to the most recent "*", so a
// pattern full of stars cannot make a lookup explode.
bool Glob(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
            continue;
        }
        if (p < pattern.size()) {
            const std::size_t nameLength = CharLength(name, n);
            if (pattern[p] == '?') {
                ++p;
                n += nameLength;
                continue;
            }
            const std::size_t patternLength = CharLength(pattern, p);
            if (patternLength == nameLength && pattern.substr(p, patternLength) == name.substr(n, nameLength)) {
                p += patternLength;
                n += nameLength;
                continue;
            }
        }
        if (starPattern == std::string_view::npos) return false;
        starName += CharLength(name, starName);
        n = starName;
        p = starPattern;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern) {
    for (const char c : UpperCase(pattern)) {
        if (c == '*' && !pattern_.empty() && pattern_.back() == '*') continue;
        pattern_.push_back(c);
    }
    matchesEverything_ = pattern_ == "*" || pattern_ == "*.*";
}

bool WildcardPattern::Matches(std::string_view upperName) const {
    if (matchesEverything_) return true;
    if (Glob(pattern_, upperName)) return true;
    const std::string_view view = pattern_;
    return view.ends_with(".*") && Glob(view.substr(0, view.size() - 2), upperName);
}

}  // namespace quellstone::text
