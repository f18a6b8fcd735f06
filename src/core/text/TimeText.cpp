#include "core/text/TimeText.h"

#include <ctime>
#include <mutex>

namespace quellstone::text {

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
    char text[64] = {};
    if (std::strftime(text, sizeof text, pattern, &local) == 0) return {};
    return text;
}

}  // namespace quellstone::text
