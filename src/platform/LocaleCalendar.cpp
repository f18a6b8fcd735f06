#include "platform/LocaleCalendar.h"

#include <chrono>

#include "core/text/TimeText.h"

namespace quellstone::platform {

std::string LocaleCalendar::TodayIsoDate() {
    // Stored in one form whatever the locale; each window shows it in its language's form.
    return text::LocalTimeText(std::chrono::system_clock::now(), text::kIsoDate);
}

}  // namespace quellstone::platform
