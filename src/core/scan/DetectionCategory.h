#pragma once

#include <string_view>

namespace quellstone::scan {

// What kind of thing a detection name stands for, by its prefix, so that a
// scan can leave out what the user chose not to be told about.
enum class DetectionCategory { Malware, Adware, LessDangerous };

// `upperDetection`: the detection name as the walk reports it (upper-cased).
constexpr DetectionCategory CategoryOf(std::string_view upperDetection) {
    constexpr std::string_view kAdware[] = {"ADWARE.", "NOT-A-VIRUS:ADWARE"};
    constexpr std::string_view kLessDangerous[] = {"NOT-A-VIRUS:", "RISKTOOL.", "HACKTOOL.", "PUA.", "HOAX.", "JOKE."};
    for (const std::string_view prefix : kAdware) {
        if (upperDetection.starts_with(prefix)) return DetectionCategory::Adware;
    }
    for (const std::string_view prefix : kLessDangerous) {
        if (upperDetection.starts_with(prefix)) return DetectionCategory::LessDangerous;
    }
    return DetectionCategory::Malware;
}

// Which categories a scan reports; the rest it counts as ignored.
struct ReportedCategories {
    bool adware = true;
    bool lessDangerous = true;

    [[nodiscard]] constexpr bool Reports(std::string_view upperDetection) const {
        switch (CategoryOf(upperDetection)) {
            case DetectionCategory::Adware: return adware;
            case DetectionCategory::LessDangerous: return lessDangerous;
            case DetectionCategory::Malware: return true;
        }
        return true;
    }
};

}  // namespace quellstone::scan
