#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "core/text/LanguageFormat.h"

namespace quellstone::text {

inline constexpr const char* kIsoDateTime = "%Y-%m-%d %H:%M:%S";
inline constexpr const char* kIsoDate = "%Y-%m-%d";

// A moment in local time written with the strftime `pattern` ("YYYY-MM-DD
// HH:MM:SS" unless given; see LanguageFormat for a language's own pattern).
// Empty when the system cannot convert it. Safe to call from several threads.
std::string LocalTimeText(std::chrono::system_clock::time_point when, const char* pattern = kIsoDateTime);

// A local date ("YYYY-MM-DD") or date and time ("YYYY-MM-DD HH:MM:SS") as the
// program stores them, written in the language's form: its date pattern or
// its date-and-time pattern. Any other text (a date stored in an older form,
// "-" after a reset, nothing) comes back as it is.
std::string StoredTimeInLanguage(std::string_view stored, const LanguageFormat& format);

}  // namespace quellstone::text
