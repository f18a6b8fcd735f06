#include "core/text/LanguageFormat.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "core/text/UpperCase.h"

namespace quellstone::text {

namespace {

constexpr const char* kDayMonthYear = "%d.%m.%Y %H:%M:%S";
constexpr const char* kDayMonthYearDate = "%d.%m.%Y";

struct KnownLanguage {
    std::string_view name;
    LanguageFormat format;
};

// Every name a language folder or a hand-edited setting may give a language.
constexpr std::array<KnownLanguage, 5> kKnownLanguages{{
    {"English", {"en", '.'}},
    {"Deutsch", {"de", ',', kDayMonthYear, kDayMonthYearDate}},
    {"German", {"de", ',', kDayMonthYear, kDayMonthYearDate}},
    {"Polish", {"pl", ',', kDayMonthYear, kDayMonthYearDate}},
    {"Polski", {"pl", ',', kDayMonthYear, kDayMonthYearDate}},
}};

}  // namespace

LanguageFormat FormatOf(std::string_view language) {
    // Matched without regard to case: the stored name is written by hand at times.
    for (const KnownLanguage& known : kKnownLanguages) {
        if (EqualsIgnoringCase(language, known.name)) return known.format;
    }
    return {};
}

std::string DecimalText(double value, const LanguageFormat& format) {
    // to_chars ignores the C library's locale, which Qt sets from the
    // environment: printf would already write "0,4" on a German desktop.
    std::array<char, 400> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 1);
    if (written.ec != std::errc{}) return {};
    std::string result(text.data(), written.ptr);
    if (const std::size_t point = result.find('.'); point != std::string::npos) result[point] = format.decimalSeparator;
    return result;
}

std::string ElapsedText(std::chrono::seconds elapsed) {
    const long long total = elapsed.count() < 0 ? 0 : static_cast<long long>(elapsed.count());
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long seconds = total % 60;
    char text[48];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, seconds);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, seconds);
    }
    return text;
}

}  // namespace quellstone::text
