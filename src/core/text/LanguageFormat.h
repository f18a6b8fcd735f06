#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace quellstone::text {

// The conventions of a language: its two-letter code, and how it writes
// numbers and moments. German and Polish write a decimal comma and
// day.month.year; English (and any language this table does not know) a
// decimal point and year-month-day, which reads the same to readers on both
// sides of the Atlantic.
struct LanguageFormat {
    std::string_view code;  // "en", "de", "pl"; "" for a language the table does not know
    char decimalSeparator = '.';
    const char* dateTimePattern = "%Y-%m-%d %H:%M:%S";  // strftime
    const char* datePattern = "%Y-%m-%d";               // strftime, the day alone
};

// The conventions of a language named as its language folder is ("English",
// "Deutsch", "Polish"; also "German", "Polski", letter case aside).
LanguageFormat FormatOf(std::string_view language);

// `value` with one decimal, as the language writes it ("0.4", "0,4"),
// whatever locale the C library was given.
std::string DecimalText(double value, const LanguageFormat& format);

// A length of time as a clock shows it: "0:42", "12:05", "1:02:03".
std::string ElapsedText(std::chrono::seconds elapsed);

}  // namespace quellstone::text
