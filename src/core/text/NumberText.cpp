#include "core/text/NumberText.h"

#include <cmath>
#include <string>

#include "core/text/Hex.h"

namespace quellstone::text {

double LeadingNumber(std::string_view text) {
    std::string s;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    }
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        double value = 0;
        for (i = 2; i < s.size(); ++i) {
            const char c = s[i];
            const int digit = HexDigitValue(c);
            if (digit < 0 || digit >= base) break;
            value = value * base + digit;
        }
        return value;
    }

    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') number += s[i++], digits = true;
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') number += s[i++], digits = true;
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        const std::size_t firstDigit = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') exponent += s[j++];
        if (j > firstDigit) number += exponent;
    }
    return std::strtod(number.c_str(), nullptr);
}

double LeadingWholeNumber(std::string_view text) {
    return std::nearbyint(LeadingNumber(text));
}

}  // namespace quellstone::text
