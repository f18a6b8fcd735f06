#pragma once

#include <string>
#include <string_view>

namespace quellstone::text {

// An interface text with its "%1" replaced by `value` (every "%1"); a text
// without one gets the value after a space, so a translation that forgot
// the mark still says it.
inline std::string FillIn(std::string_view text, std::string_view value) {
    constexpr std::string_view kMark = "%1";
    std::string filled;
    bool found = false;
    std::size_t from = 0;
    for (std::size_t at = text.find(kMark); at != std::string_view::npos; at = text.find(kMark, from)) {
        filled.append(text.substr(from, at - from)).append(value);
        from = at + kMark.size();
        found = true;
    }
    filled.append(text.substr(from));
    if (!found) filled.append(" ").append(value);
    return filled;
}

}  // namespace quellstone::text
