#pragma once

#include <chrono>
#include <string>

namespace quellstone::text {

inline constexpr const char* kIsoDateTime = "%Y-%m-%d %H:%M:%S";

// A moment in local time written with the strftime `pattern` ("YYYY-MM-DD
// HH:MM:SS" unless given; see LanguageFormat for a language's own pattern).
// Empty when the system cannot convert it. Safe to call from several threads.
std::string LocalTimeText(std::chrono::system_clock::time_point when, const char* pattern = kIsoDateTime);

}  // namespace quellstone::text
