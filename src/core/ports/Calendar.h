#pragma once

#include <string>

namespace quellstone::ports {

// Today's date as the user writes dates (the locale's short date form).
class Calendar {
public:
    virtual ~Calendar() = default;
    virtual std::string TodayShortDate() = 0;
};

}  // namespace quellstone::ports
