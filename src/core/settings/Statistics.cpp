#include "core/settings/Statistics.h"

#include <cmath>

#include "core/text/NumberText.h"

namespace quellstone::settings {

std::int64_t CountFromText(std::string_view text) {
    const double number = text::LeadingWholeNumber(text);
    // A count is never negative and never beyond what a counter can reach.
    if (!std::isfinite(number) || number < 0 || number > 9.0e15) return 0;
    return static_cast<std::int64_t>(number);
}

std::int64_t RaiseTotalScans(SettingsStore& store) {
    // Names match without regard to case: this reads "TotalScans" and writes
    // it back as it is spelt in the file, or as "Totalscans" when it is new.
    return store.RaiseCount(keys::kTotalScansWritten);
}

void ResetStatistics(SettingsStore& store) {
    store.Write(keys::kTotalScansWritten, "0");
    store.Write(keys::kTotalObjectsRemoved, "0");
    store.Write(keys::kLastSystemScan, "-");
}

}  // namespace quellstone::settings
