#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quellstone::text {

// An interface text with its marks "%1" ... "%9" replaced by `values` (the
// first value at every "%1", the second at every "%2", ...), in one pass: a
// value that itself holds "%2" is shown as it is, never filled in again. A
// mark without a value, "%0" and a lone "%" stay as written.
//
// A value whose mark the text lacks is added at its end after a space, so a
// translation that forgot the mark still says it ("Removed:" with "2" reads
// "Removed: 2").
inline std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string filled;
    bool used[9] = {};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto slot = static_cast<std::size_t>(text[i + 1] - '1');
            if (slot < values.size()) {
                filled += values.begin()[slot];
                used[slot] = true;
                ++i;
                continue;
            }
        }
        filled += text[i];
    }
    for (std::size_t slot = 0; slot < values.size() && slot < 9; ++slot) {
        if (!used[slot]) filled.append(" ").append(values.begin()[slot]);
    }
    return filled;
}

// The same with one value, for a text with a "%1".
inline std::string FillIn(std::string_view text, std::string_view value) {
    return FillIn(text, {value});
}

}  // namespace quellstone::text
