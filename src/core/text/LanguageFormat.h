#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace quellstone::text {

// How a language writes numbers and moments: German and Polish write a
// decimal comma and day.month.year; English (and any language this table
// does not know) a decimal point and year-month-day, which reads the same
// to readers on both sides of the Atlantic.
struct LanguageFormat {
    char decimalSeparator = '.';
    const char* dateTimePattern = "%Y-%m-%d %H:%M:%S";  // strftime
};

// The format of a language named as its language folder is ("English", "Deutsch", "Polish").
LanguageFormat FormatOf(std::string_view language);

// `value` with one decimal, as the language writes it ("0.4", "0,4").
std::string DecimalText(double value, const LanguageFormat& format);

// A moment in local time as the language writes it (empty when the system cannot convert it).
std::string LocalTimeText(std::chrono::system_clock::time_point when, const LanguageFormat& format);

// A length of time as a clock shows it: "0:42", "12:05", "1:02:03".
std::string ElapsedText(std::chrono::seconds elapsed);

}  // namespace quellstone::text
