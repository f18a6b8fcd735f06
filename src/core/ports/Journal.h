#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quellstone::ports {

// One structured entry: field names (upper case letters, digits and "_") with
// their values, bytes as they are (a value may hold a newline or any byte).
using JournalFields = std::vector<std::pair<std::string, std::string>>;

// The system's log of structured entries, where an administrator collects
// what the program reports.
class Journal {
public:
    virtual ~Journal() = default;
    // False when the entry was not taken (no journal is running).
    virtual bool Send(const JournalFields& fields) = 0;
};

}  // namespace quellstone::ports
