#pragma once

#include "core/ports/Calendar.h"

namespace quellstone::platform {

// Today's date in the short form of the user's locale (LC_TIME, LC_ALL,
// LANG), as strftime's "%x" writes it.
class LocaleCalendar final : public ports::Calendar {
public:
    std::string TodayShortDate() override;
};

}  // namespace quellstone::platform
