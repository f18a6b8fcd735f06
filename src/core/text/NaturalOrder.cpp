#include "core/text/NaturalOrder.h"

#include "core/text/UpperCase.h"

namespace quellstone::text {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The end of the run of digits that starts at `at`.
std::size_t DigitsEnd(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

// Two runs of digits by their value: without leading zeros, the longer run is
// the larger number, and runs of one length compare digit by digit.
std::strong_ordering CompareValues(std::string_view a, std::string_view b) {
    const std::string_view valueA = a.substr(std::min(a.find_first_not_of('0'), a.size()));
    const std::string_view valueB = b.substr(std::min(b.find_first_not_of('0'), b.size()));
    if (valueA.size() != valueB.size()) return valueA.size() <=> valueB.size();
    return valueA.compare(valueB) <=> 0;
}

}  // namespace

std::strong_ordering NaturalCompare(std::string_view a, std::string_view b) {
    // Equal numbers written with more zeros ("007", "7") decide only when nothing else does.
    std::strong_ordering zeros = std::strong_ordering::equal;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t endA = DigitsEnd(a, i), endB = DigitsEnd(b, j);
            if (const auto order = CompareValues(a.substr(i, endA - i), b.substr(j, endB - j)); order != 0)
                return order;
            if (zeros == 0) zeros = (endA - i) <=> (endB - j);
            i = endA;
            j = endB;
            continue;
        }
        // Bytes as unsigned, so UTF-8 letters sort after ASCII ones.
        const auto byteA = static_cast<unsigned char>(a[i]), byteB = static_cast<unsigned char>(b[j]);
        if (byteA != byteB) return byteA <=> byteB;
        ++i;
        ++j;
    }
    if (const auto rest = (a.size() - i) <=> (b.size() - j); rest != 0) return rest;
    return zeros;
}

std::string NaturalKey(std::string_view name) {
    return UpperCase(name);
}

bool NaturalLess(std::string_view keyA, std::string_view a, std::string_view keyB, std::string_view b) {
    if (const auto order = NaturalCompare(keyA, keyB); order != 0) return order < 0;
    return a < b;
}

}  // namespace quellstone::text
