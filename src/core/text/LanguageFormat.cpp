#include "core/text/LanguageFormat.h"

#include <cstdio>
#include <ctime>

#include "core/text/UpperCase.h"

namespace quellstone::text {

LanguageFormat FormatOf(std::string_view language) {
    // Matched without regard to case: the stored name is written by hand at times.
    for (const std::string_view comma : {"Deutsch", "German", "Polish", "Polski"}) {
        if (EqualsIgnoringCase(language, comma)) return {',', "%d.%m.%Y %H:%M:%S"};
    }
    return {};
}

std::string DecimalText(double value, const LanguageFormat& format) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string written(text);
    // snprintf follows the C locale, which the program never changes: always a point.
    if (const std::size_t point = written.find('.'); point != std::string::npos)
        written[point] = format.decimalSeparator;
    return written;
}

std::string LocalTimeText(std::chrono::system_clock::time_point when, const LanguageFormat& format) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return {};
    char text[48] = {};
    std::strftime(text, sizeof text, format.dateTimePattern, &local);
    return text;
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
