#pragma once

#include <string>
#include <string_view>

namespace quellstone::text {

// A file-name pattern with the Windows wildcard rules: "*" matches any run of
// characters, "?" exactly one character, letters match without regard to case,
// and a trailing ".*" also matches a name without an extension, so "*.*"
// matches every name.
class WildcardPattern {
public:
    explicit WildcardPattern(std::string_view pattern);

    // `upperName` is the name already upper-cased with text::UpperCase.
    [[nodiscard]] bool Matches(std::string_view upperName) const;

    [[nodiscard]] bool MatchesEverything() const { return matchesEverything_; }

private:
    std::string pattern_;  // upper-cased, runs of "*" collapsed to one
    bool matchesEverything_ = false;
};

}  // namespace quellstone::text
