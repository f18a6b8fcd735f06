#pragma once

#include "core/ports/Calendar.h"

namespace quellstone::platform {

// Today's date in the local time zone (TZ, /etc/localtime) as "YYYY-MM-DD".
class LocaleCalendar final : public ports::Calendar {
public:
    std::string TodayIsoDate() override;
};

}  // namespace quellstone::platform
