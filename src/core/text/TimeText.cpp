#include "core/text/TimeText.h"

#include <charconv>
#include <ctime>
#include <mutex>
#include <optional>

namespace quellstone::text {

namespace {

std::string FieldsText(const std::tm& fields, const char* pattern) {
    char text[64] = {};
    if (std::strftime(text, sizeof text, pattern, &fields) == 0) return {};
    return text;
}

// The number of `width` digits at `at`, when it lies in [low, high].
std::optional<int> Field(std::string_view text, std::size_t at, std::size_t width, int low, int high) {
    if (at + width > text.size()) return std::nullopt;
    int value = 0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + width, value);
    if (error != std::errc() || end != first + width || value < low || value > high) return std::nullopt;
    return value;
}

// "YYYY-MM-DD" and, when `withTime`, " HH:MM:SS" after it; nothing else.
std::optional<std::tm> ParseStored(std::string_view text, bool withTime) {
    if (text.size() != (withTime ? 19u : 10u) || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = Field(text, 0, 4, 1, 9999), month = Field(text, 5, 2, 1, 12), day = Field(text, 8, 2, 1, 31);
    if (!year || !month || !day) return std::nullopt;
    std::tm fields{};
    fields.tm_year = *year - 1900;
    fields.tm_mon = *month - 1;
    fields.tm_mday = *day;
    if (!withTime) return fields;
    if (text[10] != ' ' || text[13] != ':' || text[16] != ':') return std::nullopt;
    const auto hour = Field(text, 11, 2, 0, 23), minute = Field(text, 14, 2, 0, 59), second = Field(text, 17, 2, 0, 60);
    if (!hour || !minute || !second) return std::nullopt;
    fields.tm_hour = *hour;
    fields.tm_min = *minute;
    fields.tm_sec = *second;
    return fields;
}

}  // namespace

std::string LocalTimeText(std::chrono::system_clock::time_point when, const char* pattern) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    {
        // std::localtime hands out one shared buffer; standard C++20 as this
        // compiler ships it has no reentrant form and no time zone database,
        // so every conversion of the program goes through this one lock.
        static std::mutex buffer;
        const std::lock_guard lock(buffer);
        const std::tm* shared = std::localtime(&seconds);
        if (!shared) return {};
        local = *shared;
    }
    return FieldsText(local, pattern);
}

std::string StoredTimeInLanguage(std::string_view stored, const LanguageFormat& format) {
    // Already local time: only the form changes, never the moment.
    for (const bool withTime : {false, true}) {
        if (const std::optional<std::tm> fields = ParseStored(stored, withTime)) {
            std::string shown = FieldsText(*fields, withTime ? format.dateTimePattern : format.datePattern);
            if (!shown.empty()) return shown;
        }
    }
    return std::string(stored);
}

}  // namespace quellstone::text
