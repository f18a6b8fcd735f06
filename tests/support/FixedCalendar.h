#pragma once

#include <string>

#include "core/ports/Calendar.h"

namespace quellstone::testing {

// A calendar on which it is always 8 December 2026.
class FixedCalendar final : public ports::Calendar {
public:
    std::string TodayIsoDate() override { return "2026-12-08"; }
};

}  // namespace quellstone::testing
