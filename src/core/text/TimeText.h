#pragma once

#include <chrono>
#include <string>

namespace quellstone::text {

// A moment in local time as "YYYY-MM-DD HH:MM:SS" (empty when the system cannot convert it).
std::string LocalTimeText(std::chrono::system_clock::time_point when);

}  // namespace quellstone::text
