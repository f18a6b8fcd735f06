#include "core/text/TimeText.h"

#include <ctime>

namespace quellstone::text {

std::string LocalTimeText(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const std::tm* local = std::localtime(&seconds);
    char text[32] = {};
    if (local) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    return text;
}

}  // namespace quellstone::text
