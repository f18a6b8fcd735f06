#pragma once

#include <string>

namespace quellstone::ports {

// Today's date in the local time zone, as the program stores dates: "YYYY-MM-DD".
class Calendar {
public:
    virtual ~Calendar() = default;
    virtual std::string TodayIsoDate() = 0;
};

}  // namespace quellstone::ports
