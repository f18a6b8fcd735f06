#include "platform/LocaleCalendar.h"

#include <locale.h>
#include <time.h>

namespace quellstone::platform {

std::string LocaleCalendar::TodayShortDate() {
    const time_t now = ::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);
    char text[64] = {};
    // The user's own locale, without changing the process-wide one.
    locale_t userLocale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (userLocale == static_cast<locale_t>(0)) userLocale = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    const std::size_t length = ::strftime_l(text, sizeof text, "%x", &local, userLocale);
    if (userLocale != static_cast<locale_t>(0)) ::freelocale(userLocale);
    return std::string(text, length);
}

}  // namespace quellstone::platform
