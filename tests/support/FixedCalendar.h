#pragma once

#include <string>

#include "core/ports/Calendar.h"

namespace quellstone::testing {

// A calendar on which it is always 8 December 2026.
class FixedCalendar final : public ports::Calendar {
public:
    std::string TodayShortDate() override { return "08.12.2026"; }
};

}  // namespace quellstone::testing
