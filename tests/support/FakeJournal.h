#pragma once

#include <vector>

#include "core/ports/Journal.h"

namespace quellstone::testing {

// A journal that keeps every entry sent to it, or refuses them all.
struct FakeJournal final : ports::Journal {
    std::vector<ports::JournalFields> entries;
    bool refuses = false;
    bool Send(const ports::JournalFields& fields) override {
        if (!refuses) entries.push_back(fields);
        return !refuses;
    }
};

}  // namespace quellstone::testing
